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
  EXPECT_EQ(back.backend, 1900);
  EXPECT_EQ(back.second, 299);
  EXPECT_EQ(vx::DescribeVideoReadInfo(back, 0), "FFMPEG, mSec, 0 -> 299, ");
  EXPECT_EQ(vx::DescribeVideoReadInfo(back, 300), "FFMPEG, mSec, 300 pts, 0 -> 299, ");
  info.backend = 700;
  info.timeBase = 0;
  EXPECT_EQ(vx::DescribeVideoReadInfo(info, 0), "DSHOW, Vela, 0 -> 299, ");
  info.backend = 1400;
  info.timeBase = 1;
  EXPECT_EQ(vx::DescribeVideoReadInfo(info, 0), "MSMF, Fps, 0 -> 299, ");
  info.backend = 5;
  info.timeBase = -1;
  EXPECT_EQ(vx::DescribeVideoReadInfo(info, 0), "Unknown, Unknown, 0 -> 299, ");
}

TEST(VideoReadInfo, MissingFieldsReadAsUnknown) {
  for (const char* text : {"", "0|1900|1|0|299", "garbage"}) {
    const vx::VideoReadInfo info = vx::ParseVideoReadInfo(text);
    EXPECT_EQ(info.backend, 0) << text;
    EXPECT_EQ(info.known, 0);
    EXPECT_EQ(info.first, -1);
    EXPECT_EQ(info.second, -1);
    EXPECT_EQ(info.timeBase, -1);
    EXPECT_EQ(vx::DescribeVideoReadInfo(info, 10), "Unknown");
  }
  EXPECT_EQ(vx::ParseVideoReadInfo("0|1900|1|0|299|7").timeBase, -1);
}

}  // namespace
