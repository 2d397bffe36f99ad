// The analysis information text of every format version.
#include "db/analysis_info.h"

#include <gtest/gtest.h>

#include "support/data_table.h"

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
  const auto rows = vx::testing::ReadDataTable("analysis_info_texts.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    EXPECT_EQ(vx::FormatAnalysisInfo(vx::ParseAnalysisInfo(row[0])), row[1]) << row[0];
  }
  EXPECT_EQ(vx::ParseAnalysisInfo("abc|||x")[1], 0);  // C-library reading of "x"
}

}  // namespace
