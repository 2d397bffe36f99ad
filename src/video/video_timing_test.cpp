#include "video/video_timing.h"

#include <gtest/gtest.h>

#include <vector>

namespace vx {
namespace {

TEST(RateTime, HalvesGoToEvenAfterAddingOneHalf) {
  EXPECT_EQ(RateTimeMs(3, 25.0), 120);   // round(120.5) = 120
  EXPECT_EQ(RateTimeMs(1, 25.0), 40);
  EXPECT_EQ(RateTimeMs(0, 25.0), 0);
  EXPECT_EQ(RateTimeMs(1, 30.0), 34);    // 33.33 + 0.5 = 33.83
  EXPECT_EQ(RateTimeMs(3, 30.0), 100);   // round(100.5) = 100
  EXPECT_EQ(RateTimeMs(100000, 25.0), 4000000);
  EXPECT_EQ(RateTimeMs(5, 0.0), 0);
}

TEST(FrameIndexAtTime, IsTheNearestFrame) {
  EXPECT_EQ(FrameIndexAtTime(0.0, 25.0), 0);
  EXPECT_EQ(FrameIndexAtTime(40.0, 25.0), 1);  // an odd frame stays odd
  EXPECT_EQ(FrameIndexAtTime(80.0, 25.0), 2);
  EXPECT_EQ(FrameIndexAtTime(33.3667, 29.97), 1);
  EXPECT_EQ(FrameIndexAtTime(166.8335, 29.97), 5);
  EXPECT_EQ(FrameIndexAtTime(39.0, 25.0), 1);  // a stamp a little early
}

TEST(RoundRateUp, TakesTheTenthOnlyWhenLarger) {
  EXPECT_DOUBLE_EQ(RoundRateUp(29.97), 30.0);
  EXPECT_DOUBLE_EQ(RoundRateUp(25.0), 25.0);
  EXPECT_DOUBLE_EQ(RoundRateUp(30.0003), 30.0003);
  EXPECT_DOUBLE_EQ(RoundRateUp(14.96), 15.0);
  EXPECT_DOUBLE_EQ(RoundRateUp(12.34), 12.34);
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

TEST(TimingProbe, RegularFramesAreSoughtByTheRate) {
  TimingProbe probe(25.0);
  const std::vector<double> times = Times(80, 40.0);
  size_t fed = 0;
  while (!probe.Done() && fed < times.size()) ASSERT_TRUE(probe.Add(times[fed++]));
  EXPECT_EQ(fed, 21u);  // the first frame and 20 counted intervals
  EXPECT_EQ(probe.counted(), 20);
  EXPECT_EQ(probe.longestRun(), 19);
  const TimingProbe::Verdict verdict = probe.Finish(times[fed - 1]);
  EXPECT_FALSE(verdict.refused);
  EXPECT_EQ(verdict.seekByTime, 1);
  EXPECT_NEAR(verdict.measuredFps, 25.0, 1e-9);
}

TEST(TimingProbe, FractionalRatesStillCountAsRegular) {
  const std::vector<double> times = Times(30, 1000.0 / 29.97);
  const TimingProbe::Verdict verdict = Probe(times, 29.97, times[20]);
  EXPECT_EQ(verdict.seekByTime, 1);
  EXPECT_FALSE(verdict.refused);
}

TEST(TimingProbe, AlternatingStepsUseTheBackendTimes) {
  std::vector<double> times;
  for (int i = 0; i < 40; ++i) times.push_back(i * 40.0 + (i % 2) * 12.0);
  const TimingProbe::Verdict verdict = Probe(times, 25.0, times[20]);
  EXPECT_EQ(verdict.seekByTime, 2);
  EXPECT_FALSE(verdict.refused);
}

TEST(TimingProbe, ASkippedFrameRestartsTheCount) {
  TimingProbe probe(25.0);
  for (double t : Times(8, 40.0)) ASSERT_TRUE(probe.Add(t));
  EXPECT_EQ(probe.counted(), 7);
  ASSERT_TRUE(probe.Add(7 * 40.0 + 80.0));  // frame 9 after frame 7
  EXPECT_EQ(probe.counted(), 0);
  ASSERT_TRUE(probe.Add(10 * 40.0));
  EXPECT_EQ(probe.counted(), 1);
}

TEST(TimingProbe, TooFewCountedFramesUseTheBackendTimes) {
  const std::vector<double> times = Times(6, 40.0);
  const TimingProbe::Verdict verdict = Probe(times, 25.0, times.back());
  EXPECT_EQ(verdict.seekByTime, 2);
  EXPECT_FALSE(verdict.refused);
}

TEST(TimingProbe, TimesGoingBackwardsRefuseTheFile) {
  bool backwards = false;
  Probe({0, 40, 80, 120, 60, 200}, 25.0, 200, &backwards);
  EXPECT_TRUE(backwards);
}

TEST(TimingProbe, AMeasuredRateOffByMoreThanTwiceIsRefused) {
  // Frames every 20 ms in a file that claims 10 frames per second.
  const std::vector<double> times = Times(40, 20.0);
  EXPECT_TRUE(Probe(times, 10.0, times[20]).refused);
  // Exactly twice the rate is still accepted.
  const std::vector<double> twice = Times(40, 50.0);
  EXPECT_FALSE(Probe(twice, 10.0, twice[20]).refused);
}

TEST(TimingProbe, AnEndTimeNotAfterTheStretchSkipsTheRateCheck) {
  const std::vector<double> times = Times(40, 20.0);
  const TimingProbe::Verdict verdict = Probe(times, 10.0, 0.0);
  EXPECT_FALSE(verdict.refused);
  EXPECT_EQ(verdict.measuredFps, 0.0);
}

}  // namespace
}  // namespace vx
