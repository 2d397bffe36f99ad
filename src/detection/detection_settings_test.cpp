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

TEST_F(DetectionSettingsText, TheEmptyTextGivesTheDefaultsStampedNow) {
  const DetectionSettings s = Parse("");
  EXPECT_EQ(s.method, kMethodAutomatic);
  EXPECT_EQ(s.greyLow, 0);
  EXPECT_EQ(s.greyHigh, 255);
  EXPECT_EQ(s.hue, 90);
  EXPECT_EQ(s.saturation, 127);
  EXPECT_EQ(s.tolerance, 50);
  EXPECT_EQ(s.hueHigh, 179);
  EXPECT_EQ(s.differenceThreshold, 20);
  EXPECT_EQ(s.referenceImageId, -1);
  EXPECT_EQ(s.referenceRecipe, "");
  EXPECT_EQ(s.stamp, clock.nowSeconds);
  EXPECT_EQ(s.colourChannel, kChannelAll);
  EXPECT_FALSE(s.automaticThreshold);
  EXPECT_EQ(s.sizeMode, kSizeAnimal);
  EXPECT_EQ(s.customMinSize, 10);
  EXPECT_EQ(s.customMaxSize, 30);
  EXPECT_TRUE(s.backgroundFlag);
  EXPECT_TRUE(s.referenceImage.empty());
}

TEST_F(DetectionSettingsText, AGreyBandTextFormatsBackUnchanged) {
  const std::string text = "5|1|0|90|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1";
  const DetectionSettings s = Parse(text);
  EXPECT_EQ(s.method, kMethodGrayscale);
  EXPECT_EQ(s.greyLow, 0);
  EXPECT_EQ(s.greyHigh, 90);
  EXPECT_EQ(s.stamp, 0);
  EXPECT_EQ(FormatDetectionSettings(s), text);
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

TEST_F(DetectionSettingsText, OlderVersionsKeepTheDefaultsOfLaterFields) {
  const DetectionSettings v3 = Parse("3|4|0|255|90|127|50|0|179|0|255|0|255|25|7||99|2|1");
  EXPECT_EQ(v3.method, kMethodSubtraction);
  EXPECT_EQ(v3.differenceThreshold, 25);
  EXPECT_EQ(v3.referenceImageId, 7);
  EXPECT_EQ(v3.stamp, 99);
  EXPECT_EQ(v3.colourChannel, kChannelRed);
  EXPECT_TRUE(v3.automaticThreshold);
  EXPECT_EQ(v3.sizeMode, kSizeAnimal);
  EXPECT_EQ(v3.customMinSize, 10);
  EXPECT_EQ(v3.customMaxSize, 30);
  EXPECT_TRUE(v3.backgroundFlag);

  const DetectionSettings v0 = Parse("0|2|0|255|45|127|50|0|179|0|255|0|255|20|-1|");
  EXPECT_EQ(v0.method, kMethodColorSimplified);
  EXPECT_EQ(v0.hue, 45);
  EXPECT_EQ(v0.stamp, 0);
  EXPECT_EQ(v0.colourChannel, kChannelAll);

  const DetectionSettings v1 = Parse("1|2|0|255|45|127|50|0|179|0|255|0|255|20|-1||");
  EXPECT_EQ(v1.stamp, 0);  // an empty stamp token reads as 0
}

TEST_F(DetectionSettingsText, MissingTokensStopTheReading) {
  const DetectionSettings s = Parse("5|1|30|");
  EXPECT_EQ(s.method, kMethodGrayscale);
  EXPECT_EQ(s.greyLow, 30);
  EXPECT_EQ(s.greyHigh, 0);  // present but empty
  EXPECT_EQ(s.hue, 90);
  EXPECT_EQ(s.stamp, clock.nowSeconds);
  const DetectionSettings cut = Parse("5|3|0|255|90|127|50|0|179|0|255|0|255|20|-1||12|3");
  EXPECT_EQ(cut.colourChannel, kChannelGreen);
  EXPECT_FALSE(cut.automaticThreshold);
  EXPECT_EQ(cut.sizeMode, kSizeAnimal);
}

TEST_F(DetectionSettingsText, OutOfRangeCodesKeepTheirDefaults) {
  EXPECT_EQ(Parse("5|7").method, kMethodAutomatic);
  EXPECT_EQ(Parse("5|-1").method, kMethodAutomatic);
  const std::string tail = "|0|255|90|127|50|0|179|0|255|0|255|20|-1||0|";
  EXPECT_EQ(Parse("5|1" + tail + "9|0|1|10|30|1").colourChannel, kChannelAll);
  EXPECT_EQ(Parse("5|1" + tail + "4|0|3|10|30|1").sizeMode, kSizeAnimal);
  EXPECT_EQ(Parse("5|1" + tail + "4|0|0|10|30|1").sizeMode, kSizeNone);
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

TEST(DetectionSettingsNames, ListMethodsAndChannels) {
  EXPECT_EQ(MethodNameId(0), 211);
  EXPECT_EQ(MethodNameId(5), 807);
  EXPECT_EQ(MethodNameId(6), -1);
  EXPECT_EQ(ChannelNameId(1), 808);
  EXPECT_EQ(ChannelNameId(4), 811);
  EXPECT_STREQ(MethodLabel(2), "Color ( Simplified )");
  EXPECT_STREQ(MethodLabel(4), "Image substraction");
  EXPECT_STREQ(ChannelLabel(1), "RVB");
  EXPECT_STREQ(ChannelLabel(4), "Bleu");
}

}  // namespace
}  // namespace vx
