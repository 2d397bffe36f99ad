// How a video was read (Videos.Infos) and its description text.
#include "db/video_file.h"

#include <gtest/gtest.h>

namespace {

TEST(VideoReadInfo, RoundTripAndDescription) {
  vx::VideoReadInfo info;
  info.backend = 1900;
  info.known = 1;
  info.first = 0;
  info.second = 299;
  info.timeBase = 2;
  EXPECT_EQ(vx::FormatVideoReadInfo(info), "0|1900|1|0|299|2");
  const vx::VideoReadInfo back = vx::ParseVideoReadInfo("0|1900|1|0|299|2");
  EXPECT_EQ(vx::FormatVideoReadInfo(back), "0|1900|1|0|299|2");
  EXPECT_EQ(vx::DescribeVideoReadInfo(back, 300), "FFMPEG, mSec, 300 pts, 0 -> 299, ");
  const struct {
    int backend, timeBase;
    const char* text;
  } cases[] = {{1900, 2, "FFMPEG, mSec, 0 -> 299, "}, {700, 0, "DSHOW, Vela, 0 -> 299, "},
               {1400, 1, "MSMF, Fps, 0 -> 299, "},    {5, -1, "Unknown, Unknown, 0 -> 299, "}};
  for (const auto& c : cases) {
    info.backend = c.backend;
    info.timeBase = c.timeBase;
    EXPECT_EQ(vx::DescribeVideoReadInfo(info, 0), c.text);
  }
}

TEST(VideoReadInfo, MissingFieldsReadAsUnknown) {
  for (const char* text : {"", "0|1900|1|0|299", "garbage"}) {
    const vx::VideoReadInfo info = vx::ParseVideoReadInfo(text);
    EXPECT_EQ(std::make_tuple(info.backend, info.known, info.first, info.second, info.timeBase),
              std::make_tuple(0, 0, -1, -1, -1)) << text;
    EXPECT_EQ(vx::DescribeVideoReadInfo(info, 10), "Unknown");
  }
  EXPECT_EQ(vx::ParseVideoReadInfo("0|1900|1|0|299|7").timeBase, -1);
}

}  // namespace
