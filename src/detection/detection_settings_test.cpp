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

TEST_F(DetectionSettingsText, EveryFieldSurvivesARoundTrip) {
  DetectionSettings s;
  s.method = kMethodSubtractionAdvanced;
  s.greyLow = 12;
  s.greyHigh = 200;
  s.hue = 5;
  s.saturation = 230;
  s.tolerance = 75;
  s.hueLow = 170;
  s.hueHigh = 10;
  s.saturationLow = 40;
  s.saturationHigh = 250;
  s.valueLow = 3;
  s.valueHigh = 254;
  s.differenceThreshold = 33;
  s.referenceImageId = 0;
  s.referenceRecipe = "12;3,10,20,30,40;7,0,0,5,5;";
  s.stamp = 5000000000LL;
  s.colourChannel = kChannelGreen;
  s.automaticThreshold = true;
  s.sizeMode = kSizeCustom;
  s.customMinSize = 4;
  s.customMaxSize = 60;
  s.backgroundFlag = false;
  const std::string text = FormatDetectionSettings(s);
  EXPECT_EQ(text, "5|5|12|200|5|230|75|170|10|40|250|3|254|33|0|12;3,10,20,30,40;7,0,0,5,5;|"
                  "5000000000|3|1|2|4|60|0");
  const DetectionSettings back = Parse(text);
  EXPECT_EQ(back, s);
  EXPECT_EQ(back.stamp, s.stamp);
  EXPECT_FALSE(back.backgroundFlag);
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

TEST(DetectionSettingsCopy, CopiesTheReferenceImageDeeply) {
  DetectionSettings a;
  a.referenceImage = cv::Mat(4, 4, CV_8U, cv::Scalar(1));
  DetectionSettings b = a;
  b.referenceImage.setTo(cv::Scalar(200));
  EXPECT_EQ(a.referenceImage.at<uint8_t>(0, 0), 1);
  DetectionSettings c;
  c = a;
  EXPECT_NE(c.referenceImage.data, a.referenceImage.data);
}

TEST(DetectionSettingsReset, TakesTheClockAndClearsTheImage) {
  testing::FakeClock clock;
  DetectionSettings s;
  s.method = 3;
  s.referenceImage = cv::Mat(2, 2, CV_8U);
  s.Reset(clock);
  EXPECT_EQ(s.method, 0);
  EXPECT_EQ(s.stamp, clock.nowSeconds);
  EXPECT_TRUE(s.referenceImage.empty());
}

}  // namespace
}  // namespace vx
