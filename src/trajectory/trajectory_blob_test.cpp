#include "trajectory/trajectory_blob.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "video/frame_times.h"
#include "db/varint.h"
#include "support/synthetic_trajectory.h"

namespace vx {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::SyntheticPath;
using testing::SyntheticPathOptions;

tMyPoint PointAt(int frame, int x, int y, int left, int top, int right, int bottom) {
  tMyPoint p;
  p.frame = frame;
  p.rawX = x;
  p.rawY = y;
  p.boxLeft = left;
  p.boxTop = top;
  p.boxRight = right;
  p.boxBottom = bottom;
  return p;
}

auto StoredFields(const tMyPoint& p) {
  return std::tuple(p.frame, p.rawX, p.rawY, p.boxLeft, p.boxTop, p.boxRight, p.boxBottom, p.contour);
}

// The stored fields of two points agree; without heads the read point has none.
void ExpectSameStoredFields(const tMyPoint& a, const tMyPoint& b, bool withHead) {
  EXPECT_EQ(StoredFields(a), StoredFields(b));
  EXPECT_EQ(std::pair(b.headX, b.headY), withHead ? std::pair(a.headX, a.headY) : std::pair(-1, -1));
}

TEST(PointsBlob, OnePointLaysOutItsFieldsInOrder) {
  tMyPoint p = PointAt(5, 10, 20, 8, 17, 13, 24);
  p.contour = {{8, 17}, {13, 24}};
  EXPECT_EQ(WritePoints(std::vector<tMyPoint>{p}, false),
            (Bytes{0x05, 0x0A, 0x14, 0x02, 0x03, 0x03, 0x04, 0x02, 0x00, 0x00, 0x05, 0x07}));
}

TEST(PointsBlob, LaterRecordsStoreTheFrameStepAndHeadsOffsetByOne) {
  tMyPoint a = PointAt(3, 10, 20, 8, 17, 13, 24);
  a.headX = 8;  // on the box's corner: stored as 1, 1
  a.headY = 17;
  tMyPoint b = PointAt(7, 10, 20, 8, 17, 13, 24);  // no head
  EXPECT_EQ(WritePoints(std::vector<tMyPoint>{a, b}, true),
            (Bytes{0x03, 0x0A, 0x14, 0x02, 0x03, 0x03, 0x04, 0x01, 0x01, 0x00,
                   0x04, 0x0A, 0x14, 0x02, 0x03, 0x03, 0x04, 0x00, 0x00}));
}

TEST(PointsBlob, NegativeValuesAreStoredAsZero) {
  tMyPoint atZero = PointAt(0, 0, 0, 0, 0, 4, 4);
  tMyPoint negative = PointAt(1, -3, -8, -3, -8, 4, 4);
  negative.contour = {{-5, -9}};
  const Bytes blob = WritePoints(std::vector<tMyPoint>{atZero, negative}, false);
  Trajectory read;
  ASSERT_TRUE(ReadTrajectory(read, blob, {}, false));
  ASSERT_EQ(read.size(), 2u);
  // x and y become 0; each offset from them is clamped on its own: right 4 - (-3) = 7 from x = 0.
  tMyPoint expected = PointAt(1, 0, 0, 0, 0, 7, 12);
  expected.contour = {{0, 0}};
  EXPECT_EQ(StoredFields(read[1]), StoredFields(expected));
}

TEST(PointsBlob, FramesGoingBackwardsAreStoredAsAStepOfZero) {
  const std::vector<tMyPoint> points = {PointAt(9, 5, 5, 5, 5, 5, 5),
                                        PointAt(4, 5, 5, 5, 5, 5, 5)};
  Trajectory read;
  ASSERT_TRUE(ReadTrajectory(read, WritePoints(points, false), {}, false));
  EXPECT_EQ(read[1].frame, 9);
}

TEST(PointsBlob, TimesComeFromTheVideo) {
  const std::vector<tMyPoint> points = {PointAt(0, 5, 5, 5, 5, 5, 5),
                                        PointAt(50, 5, 5, 5, 5, 5, 5),
                                        PointAt(100, 5, 5, 5, 5, 5, 5)};
  const Bytes blob = WritePoints(points, false);

  Trajectory uniform;
  ASSERT_TRUE(ReadTrajectory(uniform, blob, WriteFrameTimes(FrameTimes::Uniform(101, 4000)), false));
  EXPECT_EQ(std::tuple(uniform[0].time, uniform[1].time, uniform[2].time), std::tuple(0, 2000, 4000));
  EXPECT_EQ(std::pair(uniform.durationMs, uniform.frameCount), std::pair(4000u, 101u));

  std::vector<uint32_t> listed(101);
  for (uint32_t f = 0; f < listed.size(); ++f) listed[f] = 500 + f * 33 + f % 3;
  Trajectory recorded;
  ASSERT_TRUE(
      ReadTrajectory(recorded, blob, WriteFrameTimes(FrameTimes::FromList(listed)), false));
  EXPECT_EQ(recorded[1].time, static_cast<int>(listed[50]));
  EXPECT_EQ(std::pair(recorded.durationMs, recorded.frameCount), std::pair(listed.back(), 101u));

  Trajectory unknown;
  ASSERT_TRUE(ReadTrajectory(unknown, blob, {}, false));
  EXPECT_EQ(std::tuple(unknown[1].time, unknown.frameCount, unknown.durationMs), std::tuple(-1, 0u, 0u));
}

TEST(PointsBlob, FrameBeyondAListedVideoIsCorrupt) {
  const std::vector<tMyPoint> points = {PointAt(2, 5, 5, 5, 5, 5, 5),
                                        PointAt(3, 5, 5, 5, 5, 5, 5)};
  Trajectory read;
  EXPECT_FALSE(ReadTrajectory(read, WritePoints(points, false),
                              WriteFrameTimes(FrameTimes::FromList({0, 40, 80})), false));
  EXPECT_TRUE(read.empty());
  // The uniform form has no list to run past.
  EXPECT_TRUE(ReadTrajectory(read, WritePoints(points, false),
                             WriteFrameTimes(FrameTimes::Uniform(3, 80)), false));
  EXPECT_EQ(read[1].time, 120);
}

TEST(PointsBlob, FrameIndexBeyond32BitsIsCorrupt) {
  Bytes blob;
  for (uint32_t step : {0x7FFFFFFFu, 1u}) {
    for (uint32_t field : {step, 5u, 5u, 0u, 0u, 0u, 0u, 0u}) AppendVarint(blob, field);
  }
  Trajectory read;
  EXPECT_FALSE(ReadTrajectory(read, blob, {}, false));
  EXPECT_TRUE(read.empty());
  EXPECT_EQ(read.name, "Dummy");
}

// The format has no record count: a cut at a record boundary is a shorter trajectory, any
// other cut is corrupt. Either way nothing partial is kept.
TEST(PointsBlob, EveryCutGivesWholeRecordsOrNothing) {
  for (bool heads : {false, true}) {
    SyntheticPathOptions options;
    options.count = 12;
    options.heads = heads;
    options.maxGap = 300;  // multi-byte frame steps
    options.outlinePoints = 7;
    const std::vector<tMyPoint> points = SyntheticPath(options);
    std::vector<size_t> boundaries = {0};
    for (size_t i = 0; i < points.size(); ++i) {
      boundaries.push_back(
          WritePoints(std::vector<tMyPoint>(points.begin(), points.begin() + i + 1), heads)
              .size());
    }
    const Bytes blob = WritePoints(points, heads);
    for (size_t cut = 0; cut < blob.size(); ++cut) {
      Trajectory read;
      const bool valid = ReadTrajectory(read, std::span(blob.data(), cut), {}, heads);
      const auto at = std::find(boundaries.begin(), boundaries.end(), cut);
      if (at == boundaries.end()) {
        EXPECT_FALSE(valid) << cut;
        EXPECT_TRUE(read.empty()) << cut;
      } else {
        ASSERT_TRUE(valid) << cut;
        ASSERT_EQ(read.size(), static_cast<size_t>(at - boundaries.begin())) << cut;
        for (size_t i = 0; i < read.size(); ++i) ExpectSameStoredFields(points[i], read[i], heads);
      }
    }
  }
}

TEST(PointsBlob, ReadingReplacesWhatTheTrajectoryHeld) {
  const Bytes first = WritePoints(SyntheticPath({.count = 30}), false);
  const Bytes second = WritePoints(SyntheticPath({.count = 12, .seed = 9}), false);
  Trajectory read;
  ASSERT_TRUE(ReadTrajectory(read, first, {}, false));
  ASSERT_TRUE(ReadTrajectory(read, second, {}, false));
  EXPECT_EQ(read.size(), 12u);
}

}  // namespace
}  // namespace vx
