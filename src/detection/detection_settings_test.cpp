#include "detection/detection_settings.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace vx {
namespace {

class DetectionSettingsText : public ::testing::Test {
 protected:
  DetectionSettings Parse(const std::string& text) { return ParseDetectionSettings(text, clock); }
  testing::FakeClock clock;
};

// Each text read, then written back in the current version: the written text shows every
// field, so a row checks the defaults of whatever the text lacks (the clock stamps 1767225600).
TEST_F(DetectionSettingsText, ReadingRulesOfEveryVersion) {
  const std::string tail = "|0|255|90|127|50|0|179|0|255|0|255|20|-1||0|";
  const struct {
    std::string text, written;
  } cases[] = {
      {"", "5|0|0|255|90|127|50|0|179|0|255|0|255|20|-1||1767225600|1|0|1|10|30|1"},  // the defaults
      {"5|1|0|90|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1",
       "5|1|0|90|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1"},  // unchanged
      // Older versions keep the defaults of later fields.
      {"3|4|0|255|90|127|50|0|179|0|255|0|255|25|7||99|2|1",
       "5|4|0|255|90|127|50|0|179|0|255|0|255|25|7||99|2|1|1|10|30|1"},
      {"0|2|0|255|45|127|50|0|179|0|255|0|255|20|-1|", "5|2|0|255|45|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1"},
      {"1|2|0|255|45|127|50|0|179|0|255|0|255|20|-1||",  // an empty stamp token reads as 0
       "5|2|0|255|45|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1"},
      // Missing tokens stop the reading; a present but empty one reads as 0.
      {"5|1|30|", "5|1|30|0|90|127|50|0|179|0|255|0|255|20|-1||1767225600|1|0|1|10|30|1"},
      {"5|3|0|255|90|127|50|0|179|0|255|0|255|20|-1||12|3", "5|3|0|255|90|127|50|0|179|0|255|0|255|20|-1||12|3|0|1|10|30|1"},
      // Out-of-range codes keep their defaults.
      {"5|7", "5|0|0|255|90|127|50|0|179|0|255|0|255|20|-1||1767225600|1|0|1|10|30|1"},
      {"5|-1", "5|0|0|255|90|127|50|0|179|0|255|0|255|20|-1||1767225600|1|0|1|10|30|1"},
      {"5|1" + tail + "9|0|1|10|30|1", "5|1" + tail + "1|0|1|10|30|1"},
      {"5|1" + tail + "4|0|3|10|30|1", "5|1" + tail + "4|0|1|10|30|1"},
      {"5|1" + tail + "4|0|0|10|30|1", "5|1" + tail + "4|0|0|10|30|1"},
  };
  for (const auto& c : cases) {
    const DetectionSettings s = Parse(c.text);
    EXPECT_EQ(FormatDetectionSettings(s), c.written) << c.text;
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

TEST_F(DetectionSettingsText, GarbageNeverFails) {
  for (const char* text : {"garbage", "|||||||", "5|x|y|z", "99|1|2|3|4|5|6|7|8|9|10|11|12|13|14"}) {
    const DetectionSettings s = Parse(text);
    EXPECT_GE(s.method, 0) << text;
    EXPECT_LE(s.method, 5) << text;
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
