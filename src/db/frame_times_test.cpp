#include "db/frame_times.h"

#include <gtest/gtest.h>

#include <random>

namespace vx {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(FrameTimes, ListedTimesStoreTheirSmallestStepOnce) {
  const Bytes blob = WriteFrameTimes(FrameTimes::FromList({0, 40, 80, 121}));
  EXPECT_EQ(blob, (Bytes{4, 40, 0, 0, 0, 1}));
  FrameTimes read;
  ASSERT_TRUE(ReadFrameTimes(blob, read));
  EXPECT_EQ(read.count, 4u);
  EXPECT_EQ(read.durationMs, 121u);
  EXPECT_EQ(read.times, (std::vector<uint32_t>{0, 40, 80, 121}));
}

TEST(FrameTimes, UniformFormHoldsCountAndDuration) {
  const Bytes blob = WriteFrameTimes(FrameTimes::Uniform(101, 4000));
  EXPECT_EQ(blob, (Bytes{101, 0xA0, 0x1F}));
  FrameTimes read;
  ASSERT_TRUE(ReadFrameTimes(blob, read));
  EXPECT_FALSE(read.Listed());
  EXPECT_EQ(read.count, 101u);
  EXPECT_EQ(read.durationMs, 4000u);
  int time = 0;
  ASSERT_TRUE(TimeOfFrame(read, 50, time));
  EXPECT_EQ(time, 2000);
  ASSERT_TRUE(TimeOfFrame(read, 1, time));
  EXPECT_EQ(time, 40);
  ASSERT_TRUE(TimeOfFrame(read, 100, time));
  EXPECT_EQ(time, 4000);
}

TEST(FrameTimes, UniformTimesRoundHalfUp) {
  // 3 frames over 5 ms: frame 1 is at 2.5 ms, shown as 3.
  int time = 0;
  ASSERT_TRUE(TimeOfFrame(FrameTimes::Uniform(3, 5), 1, time));
  EXPECT_EQ(time, 3);
}

TEST(FrameTimes, ListedTimeBeyondTheLastFrameIsAnError) {
  const FrameTimes times = FrameTimes::FromList({0, 33, 67});
  int time = 0;
  ASSERT_TRUE(TimeOfFrame(times, 2, time));
  EXPECT_EQ(time, 67);
  EXPECT_FALSE(TimeOfFrame(times, 3, time));
}

TEST(FrameTimes, CorruptBlobsAreRefused) {
  const Bytes invalid[] = {
      {0x05},                 // N without a second value
      {0x00, 0x10},           // N = 0
      {0x80},                 // value cut short
      {0x03, 0x28, 0x00, 0x00},  // three frames listed, two times
      {0x02, 0x28, 0x00, 0x80},  // last time cut short
  };
  for (const Bytes& blob : invalid) {
    FrameTimes read = FrameTimes::Uniform(5, 5);
    EXPECT_FALSE(ReadFrameTimes(blob, read)) << blob.size();
    EXPECT_EQ(read.count, 0u);
    EXPECT_TRUE(read.times.empty());
  }
}

TEST(FrameTimes, EveryCutOfAListedBlobIsRefusedOrReadsAsTheUniformForm) {
  const Bytes blob = WriteFrameTimes(FrameTimes::FromList({1000, 1040, 1080, 1121, 1161}));
  for (size_t cut = 1; cut < blob.size(); ++cut) {
    FrameTimes read;
    const bool valid = ReadFrameTimes(std::span(blob.data(), cut), read);
    // Cut right after N and d, the bytes are a uniform blob by construction of the format.
    EXPECT_EQ(valid, cut == 2) << cut;
    if (valid) {
      EXPECT_FALSE(read.Listed());
    }
  }
}

}  // namespace
}  // namespace vx
