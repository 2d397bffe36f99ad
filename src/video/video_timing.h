// How frame indexes and times convert into each other, and the timing probe that decides
// whether a video file's positions are sought by time.
//
// Rounding. A video's clock and its frame indexes meet in three formulas that were written
// as "the value plus one half, made whole". For a frame time that is a ceiling-like rounding
// with halves to even (frame 3 at 25 fps is 120 ms, never 121), which keeps every computed
// time inside its own frame's interval. For an index, and for the one-decimal frame rate, the
// whole of (value + 0.5) is taken by truncation, i.e. the nearest index: a backend reports
// each frame's exact presentation time, and a halves-to-even rounding of (k + 0.5) would
// turn every odd frame k into k + 1, which makes regular files look as if they skipped a
// frame every other frame.
#pragma once

#include <cstdint>

namespace vx {

// Time in ms of frame index n of a stream of constant rate fps: round(n·1000/fps + 0.5),
// halves to even, in 64 bits. 0 when fps is not positive.
int64_t RateTimeMs(int64_t n, double fps);

// Index of the frame shown at time t (ms) of a stream of rate fps: the nearest whole frame.
int FrameIndexAtTime(double timeMs, double fps);

// FFMPEG with time seeking: the rate rounded to one decimal replaces the reported one when it
// is larger (29.97 becomes 30.0; 25.0 and 30.0003 stay).
double RoundRateUp(double fps);

// The timing probe over the first frames of a file (the caller grabs them one by one).
//
// Feed the reported time of every grabbed frame with Add until Done() or a grab fails (at most
// kMaxFrames frames); Add returns false when a time is smaller than the previous one, and the
// file must then be refused. Finish gives the verdict from the time reported after the probe.
class TimingProbe {
 public:
  static constexpr int kMaxFrames = 80;   // frames grabbed at most
  static constexpr int kEnoughFrames = 20;  // counted intervals that end the probe early
  static constexpr int kMinCounted = 10;    // fewer counted intervals: irregular timing

  explicit TimingProbe(double fps) : fps_(fps) {}

  bool Add(double timeMs);
  bool Done() const { return counted_ >= kEnoughFrames; }

  struct Verdict {
    bool refused = false;  // measured rate off by more than a factor 2
    int seekByTime = 2;    // 1: regular steps, times from the rate; 2: backend times
    double measuredFps = 0.0;  // 0 when it could not be measured
  };
  Verdict Finish(double endTimeMs) const;

  int counted() const { return counted_; }
  int longestRun() const { return longestRun_; }

 private:
  double fps_;
  int frames_ = 0;
  double previousTime_ = 0.0;
  int previousIndex_ = 0;
  int counted_ = 0;
  int step_ = -1;  // remembered step in ms; -1 unknown
  int run_ = 0;
  int longestRun_ = 0;
  double stretchStart_ = 0.0;
};

}  // namespace vx
