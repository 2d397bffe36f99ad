// The variable catalogue: numbering, filled title patterns and scopes.
#include "analysis/test_variables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vx {
namespace {

TEST(TestVariables, EveryNumberHasItsOwnEntry) {
  std::set<std::string> descriptions;
  for (int n = 0; n < kTestVariableCount; ++n) {
    const TestVariable& v = TestVariableInfo(n);
    EXPECT_EQ(v.number, n);
    EXPECT_FALSE(std::string(v.description).empty()) << n;
    descriptions.insert(v.description);
  }
  EXPECT_EQ(descriptions.size(), static_cast<size_t>(kTestVariableCount));
  EXPECT_EQ(TestVariableInfo(-1).number, 0);
  EXPECT_EQ(TestVariableInfo(39).number, 0);
}

TEST(TestVariables, TitlesWithPatternsAreFilled) {
  EXPECT_EQ(TestVariableTitle(10, 0), "Max acceleration ( mm/s\xC2\xB2 )");
  EXPECT_EQ(TestVariableTitle(10, 2), "Max acceleration ( m/s\xC2\xB2 )");
  EXPECT_EQ(TestVariableTitle(11), "Max speed raw");
  EXPECT_EQ(TestVariableTitle(18), "Distance [raw]");
  EXPECT_EQ(TestVariableTitle(19), "Speed [raw]");
  EXPECT_EQ(TestVariableTitle(20), "Total dist. [raw]");
  EXPECT_EQ(TestVariableTitle(25), "Total dist.");
  EXPECT_EQ(TestVariableTitle(30), "Activity ( % )");
  EXPECT_EQ(std::string(TestVariableInfo(28).description),
            "The first 256 characters of the Notes field. ");
}

TEST(TestVariables, FrameVariablesAreTwelveToTwentyFive) {
  for (int n = 0; n < kTestVariableCount; ++n) {
    const bool frame = n >= 12 && n <= 25;
    EXPECT_EQ(TestVariableInfo(n).scope == VariableScope::Frame, frame) << n;
  }
}

}  // namespace
}  // namespace vx
