// The analysis information text of every format version.
#include "db/analysis_info.h"

#include <gtest/gtest.h>

namespace {

TEST(AnalysisInfo, DefaultsAndVersionFiveText) {
  const vx::AnalysisInfo info;
  EXPECT_EQ(vx::FormatAnalysisInfo(info), "5|-1|0|0|-1|-1|0|0|-1|0|-1|0|1900|-1|-1|0|-1|0|-1|0");
  vx::AnalysisInfo filled;
  for (int i = 1; i <= 17; ++i) filled[i] = i * 10;
  filled[2] = 4000000000LL;  // unsigned fields keep values above 2^31
  filled[14] = 3000000000LL;
  filled.stamp = 1767225600123LL;
  const std::string text = vx::FormatAnalysisInfo(filled);
  EXPECT_EQ(text,
            "5|10|4000000000|30|40|50|60|70|80|1767225600123|90|100|110|120|130|3000000000|150|"
            "0|160|170");
  const vx::AnalysisInfo back = vx::ParseAnalysisInfo(text);
  EXPECT_EQ(back.values, filled.values);
  EXPECT_EQ(back.stamp, filled.stamp);
}

// Each text read, then written in the current version: the written text shows every value.
TEST(AnalysisInfo, OlderVersionsKeepDefaultsForWhatTheyLack) {
  const struct {
    const char* text;
    const char* written;
  } cases[] = {
      // Version 0: values 1..8 only.
      {"0|1|2|3|4|5|6|7|8|999|999", "5|1|2|3|4|5|6|7|8|0|-1|0|1900|-1|-1|0|-1|0|-1|0"},
      // Version 2: adds the stamp and values 9, 10.
      {"2|1|2|3|4|5|6|7|8|77|9|10|999", "5|1|2|3|4|5|6|7|8|77|9|10|1900|-1|-1|0|-1|0|-1|0"},
      // Version 4: the always-0 field is skipped, value 16 follows it; value 17 stays 0.
      {"4|1|2|3|4|5|6|7|8|77|9|10|1400|1|2|3|4|555|16", "5|1|2|3|4|5|6|7|8|77|9|10|1400|1|2|3|4|0|16|0"},
      // A missing promised field ends the reading and drops the stamp.
      {"3|1|2|3|4|5|6|7|8|77|9", "5|1|2|3|4|5|6|7|8|0|9|0|1900|-1|-1|0|-1|0|-1|0"},
      {"", "5|-1|0|0|-1|-1|0|0|-1|0|-1|0|1900|-1|-1|0|-1|0|-1|0"},
  };
  for (const auto& c : cases) EXPECT_EQ(vx::FormatAnalysisInfo(vx::ParseAnalysisInfo(c.text)), c.written) << c.text;
  EXPECT_EQ(vx::ParseAnalysisInfo("abc|||x")[1], 0);  // C-library reading of "x"
}

}  // namespace
