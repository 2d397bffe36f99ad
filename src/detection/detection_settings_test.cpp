#include "detection/detection_settings.h"

#include <gtest/gtest.h>

#include "support/data_table.h"
#include "support/fakes.h"

namespace vx {
namespace {

class DetectionSettingsText : public ::testing::Test {
 protected:
  DetectionSettings Parse(const std::string& text) { return ParseDetectionSettings(text, clock); }
  testing::FakeClock clock;
};

TEST_F(DetectionSettingsText, ReadingRulesOfEveryVersion) {
  const auto rows = testing::ReadDataTable("detection_texts.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    const DetectionSettings s = Parse(row[0]);
    EXPECT_EQ(FormatDetectionSettings(s), row[1]) << row[0];
    EXPECT_TRUE(s.referenceImage.empty());
  }
}

TEST(DetectionSettingsEquality, IgnoresStampAndImagesAndTheFlagOutsideMethodZero) {
  DetectionSettings a;
  DetectionSettings b;
  b.stamp = 42;
  b.referenceImage = cv::Mat(3, 3, CV_8U, cv::Scalar(9));
  EXPECT_EQ(a, b);
  b.backgroundFlag = false;
  EXPECT_NE(a, b);  // method 0
  a.method = b.method = kMethodGrayscale;
  EXPECT_EQ(a, b);
  b.referenceRecipe = "1;";
  EXPECT_NE(a, b);
  b.referenceRecipe.clear();
  b.customMaxSize = 31;
  EXPECT_NE(a, b);
}

}  // namespace
}  // namespace vx
