#include "trajectory/trajectory_blob.h"

#include <gtest/gtest.h>

#include <tuple>

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

TEST(PointsBlob, RecordsStoreFrameStepsBoxOffsetsHeadsAndOutlines) {
  tMyPoint a = PointAt(3, 10, 20, 8, 17, 13, 24);
  a.headX = 8;  // on the box's corner: stored as 1, 1
  a.headY = 17;
  tMyPoint b = PointAt(7, 10, 20, 8, 17, 13, 24);  // no head
  b.contour = {{8, 17}, {13, 24}};
  // frame (then its step), x, y, box offsets, head + 1 (a single 0: none), outline count and
  // offsets from the box
  EXPECT_EQ(WritePoints(std::vector<tMyPoint>{a, b}, true),
            (Bytes{0x03, 0x0A, 0x14, 0x02, 0x03, 0x03, 0x04, 0x01, 0x01, 0x00,
                   0x04, 0x0A, 0x14, 0x02, 0x03, 0x03, 0x04, 0x00, 0x02, 0x00, 0x00, 0x05, 0x07}));
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

}  // namespace
}  // namespace vx
