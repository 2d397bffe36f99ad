#include "base/time_text.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(ParseTimeText, ReadsUnitsAndClockFormsAndRefusesGuesses) {
  const struct {
    const char* text;
    bool ok;
    int64_t ms;
  } cases[] = {
      {"250ms", true, 250},     {"90s", true, 90000},     {"1.5s", true, 1500},
      {"5min", true, 300000},   {"1h", true, 3600000},    {" 2:30 ", true, 150000},
      {"1:02:03.5", true, 3723500}, {"0.0004s", true, 0},
      {"90", false, 0},         {"-5s", false, 0},        {"nans", false, 0},
      {"infs", false, 0},       {"5 mins", false, 0},     {"1:60", false, 0},
      {"1.5:30", false, 0},     {"s", false, 0},          {"", false, 0},
      {"1:2:3:4", false, 0},    {"1e300h", false, 0},
  };
  for (const auto& c : cases) {
    int64_t ms = -1;
    EXPECT_EQ(ParseTimeText(c.text, ms), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(ms, c.ms) << c.text;
    }
  }
}

}  // namespace
}  // namespace vx
