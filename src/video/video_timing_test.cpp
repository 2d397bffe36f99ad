#include "video/video_timing.h"

#include <gtest/gtest.h>

#include <vector>

namespace vx {
namespace {

TEST(RateTime, HalvesGoToEvenAfterAddingOneHalf) {
  const struct {
    int frame;
    double fps;
    int64_t ms;
  } cases[] = {{3, 25.0, 120},  // round(120.5) = 120
               {1, 25.0, 40},  {0, 25.0, 0}, {1, 30.0, 34},  // 33.33 + 0.5 = 33.83
               {3, 30.0, 100},  // round(100.5) = 100
               {100000, 25.0, 4000000}, {5, 0.0, 0}};
  for (const auto& c : cases) EXPECT_EQ(RateTimeMs(c.frame, c.fps), c.ms) << c.frame << " at " << c.fps;
}

TEST(FrameIndexAtTime, IsTheNearestFrame) {
  const struct {
    double ms, fps;
    int frame;
  } cases[] = {{0.0, 25.0, 0},       {40.0, 25.0, 1},  // an odd frame stays odd
               {80.0, 25.0, 2},      {33.3667, 29.97, 1}, {166.8335, 29.97, 5},
               {39.0, 25.0, 1}};     // a stamp a little early
  for (const auto& c : cases) EXPECT_EQ(FrameIndexAtTime(c.ms, c.fps), c.frame) << c.ms;
}

TimingProbe::Verdict Probe(const std::vector<double>& times, double fps, double endTime,
                           bool* refusedBackwards = nullptr) {
  TimingProbe probe(fps);
  for (double t : times) {
    if (probe.Done()) break;
    if (!probe.Add(t)) {
      if (refusedBackwards) *refusedBackwards = true;
      return {};
    }
  }
  return probe.Finish(endTime);
}

std::vector<double> Times(int count, double step, double start = 0.0) {
  std::vector<double> times;
  for (int i = 0; i < count; ++i) times.push_back(start + i * step);
  return times;
}

TEST(TimingProbe, VerdictsOnKnownStreams) {
  std::vector<double> alternating;
  for (int i = 0; i < 40; ++i) alternating.push_back(i * 40.0 + (i % 2) * 12.0);
  const struct {
    const char* what;
    std::vector<double> times;
    double fps, endTime;
    int seekByTime;
    bool refused;
  } cases[] = {
      {"fractional rate", Times(30, 1000.0 / 29.97), 29.97, 20 * 1000.0 / 29.97, 1, false},
      {"alternating steps", alternating, 25.0, alternating[20], 2, false},
      {"too few counted frames", Times(6, 40.0), 25.0, 200.0, 2, false},
      {"20 ms frames claiming 10 per second", Times(40, 20.0), 10.0, 400.0, 2, true},
      {"exactly twice the rate", Times(40, 50.0), 10.0, 1000.0, 1, false},
  };
  for (const auto& c : cases) {
    const TimingProbe::Verdict verdict = Probe(c.times, c.fps, c.endTime);
    EXPECT_EQ(verdict.refused, c.refused) << c.what;
    if (!c.refused) {
      EXPECT_EQ(verdict.seekByTime, c.seekByTime) << c.what;
    }
  }
  // An end time not after the stretch skips the rate check.
  const TimingProbe::Verdict unchecked = Probe(Times(40, 20.0), 10.0, 0.0);
  EXPECT_FALSE(unchecked.refused);
  EXPECT_EQ(unchecked.measuredFps, 0.0);
}

}  // namespace
}  // namespace vx
