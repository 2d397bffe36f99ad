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

TEST(AnalysisInfo, OlderVersionsKeepDefaultsForWhatTheyLack) {
  // Version 0: values 1..8 only.
  vx::AnalysisInfo v0 = vx::ParseAnalysisInfo("0|1|2|3|4|5|6|7|8|999|999");
  EXPECT_EQ(v0[8], 8);
  EXPECT_EQ(v0.stamp, 0);
  EXPECT_EQ(v0[9], -1);
  EXPECT_EQ(v0[11], 1900);
  // Version 2: adds the stamp and values 9, 10.
  vx::AnalysisInfo v2 = vx::ParseAnalysisInfo("2|1|2|3|4|5|6|7|8|77|9|10|999");
  EXPECT_EQ(v2.stamp, 77);
  EXPECT_EQ(v2[10], 10);
  EXPECT_EQ(v2[11], 1900);
  // Version 4: the always-0 field is skipped, value 16 follows it; value 17 stays 0.
  vx::AnalysisInfo v4 = vx::ParseAnalysisInfo("4|1|2|3|4|5|6|7|8|77|9|10|1400|1|2|3|4|555|16");
  EXPECT_EQ(v4[11], 1400);
  EXPECT_EQ(v4[15], 4);
  EXPECT_EQ(v4[16], 16);
  EXPECT_EQ(v4[17], 0);
}

TEST(AnalysisInfo, MissingPromisedFieldEndsReadingAndDropsTheStamp) {
  vx::AnalysisInfo info = vx::ParseAnalysisInfo("3|1|2|3|4|5|6|7|8|77|9");
  EXPECT_EQ(info[9], 9);
  EXPECT_EQ(info[10], 0);      // default
  EXPECT_EQ(info[11], 1900);   // default
  EXPECT_EQ(info.stamp, 0);    // reset
  const vx::AnalysisInfo empty = vx::ParseAnalysisInfo("");
  EXPECT_EQ(empty.values, vx::AnalysisInfo().values);
  const vx::AnalysisInfo garbage = vx::ParseAnalysisInfo("abc|||x");
  EXPECT_EQ(garbage[1], 0);  // C-library reading of "x"
}

}  // namespace
