#include "detection/detection_fields.h"

#include <gtest/gtest.h>

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
  const struct {
    const char* name;
    const char* value;
    const char* stored;
  } cases[] = {
      {"method", "subtract-advanced", "5|5|0|255|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1"},
      {"grey", "12,90", "5|0|12|90|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1"},
      {"hue", "179", "5|0|0|255|179|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1"},
      {"saturation", "3", "5|0|0|255|90|3|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1"},
      {"tolerance", "100", "5|0|0|255|90|127|100|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1"},
      {"hue_band", "170,10", "5|0|0|255|90|127|50|170|10|0|255|0|255|20|-1||0|1|0|1|10|30|1"},
      {"saturation_band", "40,200", "5|0|0|255|90|127|50|0|179|40|200|0|255|20|-1||0|1|0|1|10|30|1"},
      {"value_band", "0,60", "5|0|0|255|90|127|50|0|179|0|255|0|60|20|-1||0|1|0|1|10|30|1"},
      {"threshold", "35", "5|0|0|255|90|127|50|0|179|0|255|0|255|35|-1||0|1|0|1|10|30|1"},
      {"threshold", "auto", "5|0|0|255|90|127|50|0|179|0|255|0|255|20|-1||0|1|1|1|10|30|1"},
      {"channel", "green", "5|0|0|255|90|127|50|0|179|0|255|0|255|20|-1||0|3|0|1|10|30|1"},
      {"reference", "none", "5|0|0|255|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|0"},
      {"reference", "7", "5|0|0|255|90|127|50|0|179|0|255|0|255|20|7||0|1|0|1|10|30|0"},
      {"reference", "recipe:10;250,40,30,60,50;",
       "5|0|0|255|90|127|50|0|179|0|255|0|255|20|0|10;250,40,30,60,50;|0|1|0|1|10|30|0"},
      {"size_filter", "none", "5|0|0|255|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|0|10|30|1"},
      {"size_filter", "2,200", "5|0|0|255|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|2|2|200|1"},
  };
  for (const auto& c : cases) {
    DetectionSettings s = Defaults();
    ASSERT_EQ(SetDetectionField(s, c.name, c.value), "") << c.name << "=" << c.value;
    EXPECT_EQ(FormatDetectionSettings(s), c.stored) << c.name << "=" << c.value;
    // Read back in words, the field gives the value it was set with.
    for (const NamedValue& v : DescribeDetectionSettings(s)) {
      if (v.name == c.name) {
        EXPECT_EQ(v.value, c.value);
      }
    }
  }
}

TEST(DetectionFields, RefusedValuesLeaveTheSettingsAlone) {
  const struct {
    const char* name;
    const char* value;
  } cases[] = {
      {"method", "Automatic"}, {"method", "6"},       {"grey", "90,12"},     {"grey", "0,256"},
      {"grey", "10"},          {"grey", "1,2,3"},     {"hue", "180"},        {"hue", "nan"},
      {"hue", "1e3"},          {"tolerance", "-1"},   {"hue_band", "0,180"}, {"threshold", "Auto"},
      {"threshold", "9999999999"}, {"channel", "rgb"}, {"reference", "0"},  {"reference", "recipe:"},
      {"reference", "recipe:10;1,2,3,0,5;"}, {"reference", "recipe:10"}, {"size_filter", "30,10"},
      {"size_filter", "5,5"},  {"size_filter", "5.5,9"}, {"colour", "x"},
  };
  for (const auto& c : cases) {
    DetectionSettings s = Defaults();
    EXPECT_NE(SetDetectionField(s, c.name, c.value), "") << c.name << "=" << c.value;
    EXPECT_EQ(FormatDetectionSettings(s), kDefaults) << c.name << "=" << c.value;
  }
}

TEST(DetectionFields, StoredTextIsReadStrictly) {
  testing::FakeClock clock;
  const std::string tail = "|0|255|90|127|50|0|179|0|255|0|255|20|-1||";
  const struct {
    std::string text;
    bool accepted;
    std::string normalised;
  } cases[] = {
      {kDefaults, true, kDefaults},
      {"0|1|0|90|90|127|50|0|179|0|255|0|255|20|-1|", true,  // version 0: no stamp, defaults after
       "5|1|0|90|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1"},
      {"3|4" + tail + "99|2|1", true, "5|4" + tail + "99|2|1|1|10|30|1"},
      {" 5 | 1 " + tail + "0|1|0|1|10|30|1", true, "5|1" + tail + "0|1|0|1|10|30|1"},
      {"", false, ""},
      {"garbage", false, ""},
      {"6" + tail + "0|1|0|1|10|30|1", false, ""},              // unknown version
      {kDefaults + "|", false, ""},                              // a field too many
      {"5|1|30|", false, ""},                                    // truncated
      {"5|7" + tail + "0|1|0|1|10|30|1", false, ""},            // method out of range
      {"5|1|x|255|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1", false, ""},
      {"5|1|200|100|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1", false, ""},
      {"5|1" + tail + "0|5|0|1|10|30|1", false, ""},            // channel 5
      {"5|1" + tail + "0|1|2|1|10|30|1", false, ""},            // boolean 2
      {"5|1" + tail + "0|1|0|1|30|10|1", false, ""},            // sizes backwards
      {"5|1" + tail + "1e3|1|0|1|10|30|1", false, ""},          // stamp
      {"5|0|0|255|90|127|50|0|179|0|255|0|255|20|0|10;x;|0|1|0|1|10|30|0", false, ""},
  };
  for (const auto& c : cases) {
    DetectionSettings s;
    std::string problem;
    EXPECT_EQ(ParseDetectionSettingsStrictly(c.text, clock, s, problem), c.accepted) << c.text;
    EXPECT_EQ(problem.empty(), c.accepted) << c.text << ": " << problem;
    if (c.accepted) {
      EXPECT_EQ(FormatDetectionSettings(s), c.normalised);
    }
  }
}

}  // namespace
}  // namespace vx
