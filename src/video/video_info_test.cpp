#include "video/video_info.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(VideoInfo, DescribesTheVideoFields) {
  const struct {
    int backend, timing, startFrame;
    uint32_t startTimeMs;
    int version;
    const char* text;
  } cases[] = {
      {1900, 1, 0, 0, PackVersion(1, 2, 3), "v 1.2.3, FFMPEG, Fps, 0 ( 0 ) -> 249, c = 0"},
      {1400, 2, 3, 4000000000u, PackVersion(1, 2, 3), "v 1.2.3, MSMF, mSec, 3 ( 4000000000 ) -> 249, c = 0"},
      {700, 0, 3, 0, PackVersion(1, 2, 3), "v 1.2.3, DSHOW, Vela, 3 ( 0 ) -> 249, c = 0"},
      {200, 7, 3, 0, PackVersion(1, 2, 3), "v 1.2.3, Unknown, Unknown, 3 ( 0 ) -> 249, c = 0"},
      {200, 7, 3, 0, 0, "Unknown"},
  };
  for (const auto& c : cases) {
    VideoInfoFields fields;
    fields.backend = c.backend;
    fields.timing = c.timing;
    fields.startFrame = c.startFrame;
    fields.startTimeMs = c.startTimeMs;
    fields.lastFrame = 249;
    fields.correction = 0;
    fields.version = c.version;
    EXPECT_EQ(DescribeInfo(fields), c.text);
  }
}

TEST(VideoInfo, TheVideoFieldsRideInTheWholeRecord) {
  AnalysisInfo info = ParseInfo("");
  info[1] = 42;  // a value of the analysis run: left alone
  VideoInfoFields fields;
  fields.backend = 1900;
  fields.timing = 2;
  fields.startFrame = 5;
  fields.startTimeMs = 200;
  fields.lastFrame = 99;
  fields.correction = 0;
  fields.version = PackVersion(0, 1, 0);
  SetVideoFields(info, fields);
  const std::string text = FormatInfo(info);
  EXPECT_EQ(text.substr(text.size() - 24), "|1900|2|5|200|99|0|0|256");
  const AnalysisInfo back = ParseInfo(text);
  EXPECT_EQ(back[1], 42);
  EXPECT_EQ(DescribeInfo(back), "v 0.1.0, FFMPEG, mSec, 5 ( 200 ) -> 99, c = 0");
  EXPECT_EQ(DescribeInfo(ParseInfo("")), "Unknown");  // no version recorded
}

}  // namespace
}  // namespace vx
