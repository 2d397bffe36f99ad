#include "detection/detection_fields.h"

#include <gtest/gtest.h>

#include "support/data_table.h"
#include "support/fakes.h"

namespace vx {
namespace {

const std::string kDefaults = "5|0|0|255|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1";

DetectionSettings Defaults() {
  DetectionSettings s;
  s.stamp = 0;
  return s;
}

// Named values written into the stored text, field by field as the stored layout places them.
TEST(DetectionFields, NamedValuesLandInTheirStoredFields) {
  const auto rows = testing::ReadDataTable("detection_fields.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    const std::string& name = row[0];
    const std::string& value = row[1];
    DetectionSettings s = Defaults();
    ASSERT_EQ(SetDetectionField(s, name, value), "") << name << "=" << value;
    EXPECT_EQ(FormatDetectionSettings(s), row[2]) << name << "=" << value;
    // Read back in words, the field gives the value it was set with.
    for (const NamedValue& v : DescribeDetectionSettings(s)) {
      if (v.name == name) {
        EXPECT_EQ(v.value, value);
      }
    }
  }
}

TEST(DetectionFields, RefusedValuesLeaveTheSettingsAlone) {
  const auto rows = testing::ReadDataTable("detection_fields_refused.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    DetectionSettings s = Defaults();
    EXPECT_NE(SetDetectionField(s, row[0], row[1]), "") << row[0] << "=" << row[1];
    EXPECT_EQ(FormatDetectionSettings(s), kDefaults) << row[0] << "=" << row[1];
  }
}

TEST(DetectionFields, StoredTextIsReadStrictly) {
  const auto rows = testing::ReadDataTable("detection_texts_strict.tsv");
  ASSERT_FALSE(rows.empty());
  testing::FakeClock clock;
  for (const auto& row : rows) {
    const bool accepted = row[1] == "1";
    DetectionSettings s;
    std::string problem;
    EXPECT_EQ(ParseDetectionSettingsStrictly(row[0], clock, s, problem), accepted) << row[0];
    EXPECT_EQ(problem.empty(), accepted) << row[0] << ": " << problem;
    if (accepted) {
      EXPECT_EQ(FormatDetectionSettings(s), row[2]);
    }
  }
}

}  // namespace
}  // namespace vx
