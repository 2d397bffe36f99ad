#include "trajectory/trajectory_blob.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "db/frame_times.h"
#include "db/varint.h"

namespace vx {

namespace {

// Signed differences in 64 bits, then clamped: no overflow whatever the coordinates.
uint32_t Diff(int64_t a, int64_t b) { return ClampToVarint(a - b); }

void WriteRecord(std::vector<uint8_t>& out, const tMyPoint& p, int previousFrame, bool first,
                 bool withHead) {
  AppendVarint(out, first ? ClampToVarint(p.frame) : Diff(p.frame, previousFrame));
  AppendVarint(out, ClampToVarint(p.rawX));
  AppendVarint(out, ClampToVarint(p.rawY));
  AppendVarint(out, Diff(p.rawX, p.boxLeft));
  AppendVarint(out, Diff(p.rawY, p.boxTop));
  AppendVarint(out, Diff(p.boxRight, p.rawX));
  AppendVarint(out, Diff(p.boxBottom, p.rawY));
  if (withHead) {
    if (p.boxLeft <= p.headX && p.headY >= p.boxTop) {
      // The +1 keeps a head on the box's edge apart from the 0 that means "no head".
      AppendVarint(out, ClampToVarint(static_cast<int64_t>(p.headX) - p.boxLeft + 1));
      AppendVarint(out, ClampToVarint(static_cast<int64_t>(p.headY) - p.boxTop + 1));
    } else {
      out.push_back(0);
    }
  }
  AppendVarint(out, static_cast<uint32_t>(p.contour.size()));
  for (const cv::Point& c : p.contour) {
    AppendVarint(out, Diff(c.x, p.boxLeft));
    AppendVarint(out, Diff(c.y, p.boxTop));
  }
}

// Stored values are unsigned 32-bit; the coordinates they rebuild wrap to 32 bits the way the
// stored arithmetic does, rather than overflow.
int Wrap(int64_t value) { return static_cast<int>(static_cast<uint32_t>(value)); }

// Decodes one record into p; false when the record is cut short or its frame is out of range.
bool ReadRecord(VarintReader& reader, const FrameTimes& frameTimes, bool withHead,
                int64_t& frame, tMyPoint& p) {
  uint32_t step = 0, x = 0, y = 0, toLeft = 0, toTop = 0, toRight = 0, toBottom = 0;
  reader.Read(step);
  reader.Read(x);
  reader.Read(y);
  reader.Read(toLeft);
  reader.Read(toTop);
  reader.Read(toRight);
  reader.Read(toBottom);
  frame += step;
  if (reader.failed() || frame > INT_MAX) return false;
  p.frame = static_cast<int>(frame);
  p.rawX = Wrap(x);
  p.rawY = Wrap(y);
  p.boxLeft = Wrap(static_cast<int64_t>(p.rawX) - toLeft);
  p.boxTop = Wrap(static_cast<int64_t>(p.rawY) - toTop);
  p.boxRight = Wrap(static_cast<int64_t>(p.rawX) + toRight);
  p.boxBottom = Wrap(static_cast<int64_t>(p.rawY) + toBottom);
  if (withHead) {
    uint32_t h = 0;
    if (reader.Read(h) && h != 0) {
      uint32_t v = 0;
      reader.Read(v);
      p.headX = Wrap(static_cast<int64_t>(p.boxLeft) + h - 1);
      p.headY = Wrap(static_cast<int64_t>(p.boxTop) + v - 1);
    }
  }
  if (!TimeOfFrame(frameTimes, static_cast<uint32_t>(frame), p.time)) return false;
  uint32_t k = 0;
  if (!reader.Read(k)) return false;
  // Two bytes at least per outline point: a corrupt K cannot make us reserve more than that.
  p.contour.reserve(std::min<size_t>(k, reader.remaining() / 2));
  for (uint32_t i = 0; i < k; ++i) {
    uint32_t cx = 0, cy = 0;
    reader.Read(cx);
    if (!reader.Read(cy)) return false;
    p.contour.emplace_back(Wrap(static_cast<int64_t>(p.boxLeft) + cx),
                           Wrap(static_cast<int64_t>(p.boxTop) + cy));
  }
  return !reader.failed();
}

}  // namespace

std::vector<uint8_t> WritePoints(const std::vector<tMyPoint>& points, bool withHead) {
  std::vector<uint8_t> out;
  if (points.empty()) return out;
  // Ten bytes per field is more than a varint ever takes: the buffer is never regrown.
  const size_t perPoint = (withHead ? 1 : 0) + 4;
  size_t reserve = 0;
  for (const tMyPoint& p : points) reserve += perPoint * 10 + 10 * p.contour.size();
  out.reserve(reserve);
  int previousFrame = 0;
  bool first = true;
  for (const tMyPoint& p : points) {
    WriteRecord(out, p, previousFrame, first, withHead);
    previousFrame = p.frame;
    first = false;
  }
  return out;
}

std::vector<uint8_t> WritePoints(const Trajectory& trajectory, bool withHead) {
  return WritePoints(trajectory.points(), withHead);
}

bool ReadTrajectory(Trajectory& trajectory, std::span<const uint8_t> pointsBlob,
                    std::span<const uint8_t> timesBlob, bool withHead) {
  trajectory.Clear();
  FrameTimes frameTimes;
  if (!ReadFrameTimes(timesBlob, frameTimes)) return false;
  VarintReader reader(pointsBlob.data(), pointsBlob.size());
  // A trajectory has about one point per frame of its video, and a record takes at least
  // eight bytes: the smaller bound sizes the array once without trusting a corrupt header.
  trajectory.Reserve(std::min<size_t>(frameTimes.count, pointsBlob.size() / 8));
  int64_t frame = 0;
  while (!reader.AtEnd()) {
    tMyPoint p;
    if (!ReadRecord(reader, frameTimes, withHead, frame, p)) {
      trajectory.Clear();
      return false;
    }
    trajectory.Append(std::move(p), true);
  }
  trajectory.FinishAppending();
  trajectory.durationMs = frameTimes.durationMs;
  trajectory.frameCount = frameTimes.count;
  return true;
}

}  // namespace vx
