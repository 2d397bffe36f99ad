// The background of the arena computed from a test's own video: an image of the empty arena,
// for the automatic detection method, made from frames in which the animal is elsewhere.
//
// Main method. Samples are taken across the analysed period (at 20% of it, then every 14%,
// wrapping round, until 4 samples are kept or 9 were tried). For each sample the animal is
// located by comparing the sample with the frames that follow it: the first of the next 10
// frames that differs visibly (Otsu threshold above 5) gives a difference image, which is
// closed, opened and boxed. A sample whose box is implausible for the animal's size is
// discarded. Then, for every ordered pair of kept samples whose animals lie apart, sample i
// with its animal's area (grown by a margin) replaced by the same area of sample j is one
// composite; the background is the average of the composites, summed in double precision.
//
// Margin. For a pair (i, j) the margin is the largest one, searched downwards in steps of 2
// pixels from 3 × the animal's large side, for which the two grown boxes no longer overlap;
// it must stay at least half the larger side of the two boxes, so that the tail and the blur
// around a box are covered too. A pair that needs a smaller margin is not used.
//
// Fallback (when no pair is usable): the frame in the middle of the period is the base; up to
// 10 other frames, spread evenly over the period (every n / 11 frames, wrapping round), are
// compared with it; the box found at the same place in most of those differences is the
// base's animal; its area, grown by half its larger side, is replaced by the average (in
// double precision) of that area in every compared frame whose own animal lies outside it.
// When no frame qualifies, the base is returned as it is.
//
// Check and last resort. Real footage defeats both often enough (uneven light and glare make
// every difference noisy, an animal that rests for minutes never shows a clean pair), and a
// background that keeps the animal makes detection fail in almost every frame. So every
// candidate is checked on frames spread evenly over the period: a clean background finds
// exactly one animal-like blob in each of them. The composite is kept when it finds the animal
// about as often as the best candidate, then the painted middle frame; otherwise the per-pixel
// median of the spread frames (the floor wherever the animal spends less than half the time)
// is used, and the caller says so.
//
// Units: pixels; frame indexes relative to the test's first frame. The result is 8-bit grey,
// the size of the work region (the arena's bounding rectangle within the frame), and its
// pixel (0, 0) is that rectangle's top-left corner.
#pragma once

#include <opencv2/core/mat.hpp>

#include <functional>
#include <vector>

#include "detection/detection_context.h"
#include "video/video_source.h"

namespace vx {

// The animal's extent in pixels from the context's size bounds (cm²) and scale (mm/pixel):
// large side sqrt(max × 100 × 5) / scale (a body five times longer than wide), small side
// sqrt(min × 100) / scale. A side is 0 when it cannot be told (no scale, no size bound); the
// rules that use it are then skipped.
struct AnimalSides {
  double large = 0.0;
  double small = 0.0;
};
AnimalSides AnimalSidesOf(const DetectionContext& context);

// How the background was made, as recorded in the analysis information.
enum class BackgroundMethod {
  kNone = 0,            // no background computed from the video
  kComposite = 1,       // composites of samples whose animals lie apart
  kPaintedFrame = 2,    // the middle frame with its animal painted over
  kTemporalMedian = 3,  // the per-pixel median of frames spread over the period
};

struct ArenaBackground {
  cv::Mat image;  // empty only when not even the middle frame can be read
  BackgroundMethod method = BackgroundMethod::kNone;
  int checkedFrames = 0;  // frames spread over the period that the candidates were checked on
  int compositeFinds = 0;  // of those, frames in which the composite finds one animal
  int chosenFinds = 0;     // the same for the background chosen
};

// The grey work region of frame index (frame coordinates cut to the region); false when the
// frame cannot be read.
using GreyFrameReader = std::function<bool(int index, cv::Mat& grey)>;

// One kept sample: its grey work region and the animal's box in it (region coordinates).
struct BackgroundSample {
  cv::Mat grey;
  cv::Rect animal;
};

// The margin by which two animal boxes are grown for a composite (see above); -1 when the
// boxes lie too close together.
int CompositeMargin(const cv::Rect& a, const cv::Rect& b, double largeSide);

// The average of the composites of every usable ordered pair; empty when no pair is usable.
cv::Mat ComposeBackground(const std::vector<BackgroundSample>& samples, double largeSide);

// The per-pixel median of grey images of one size (the upper median for an even count).
cv::Mat TemporalMedian(const std::vector<cv::Mat>& greys);

// The background of the period [first, last] read through frames; region is the work region
// (frame coordinates) the reader cuts.
ArenaBackground ComputeArenaBackground(const GreyFrameReader& frames, const cv::Rect& region,
                               const DetectionContext& context, int first, int last);

// The same on an open video source; the capture position is restored at the end.
ArenaBackground ComputeArenaBackground(VideoSource& source, const DetectionContext& context, int first,
                               int last);

}  // namespace vx
