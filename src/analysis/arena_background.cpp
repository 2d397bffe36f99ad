#include "analysis/arena_background.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <optional>

#include "detection/blob_shape.h"
#include "detection/detector.h"
#include "detection/foreground_mask.h"

namespace vx {

namespace {

constexpr int kMaxKeptSamples = 4;
constexpr int kMaxTriedSamples = 9;
constexpr int kFramesCompared = 10;  // frames after a sample searched for visible motion
constexpr double kMotionThreshold = 5.0;  // Otsu thresholds up to this: nothing moved
constexpr int kMarginStep = 2;
constexpr int kFallbackRounds = 10;
constexpr int kCheckedFrames = 25;  // frames spread over the period that check a background

// What one comparison of two grey regions shows: the binary difference after cleaning, or
// nothing when no motion is visible.
struct Difference {
  std::vector<Contour> contours;
};

class MotionFinder {
 public:
  MotionFinder(const DetectionContext& context, const cv::Rect& region, const AnimalSides& sides)
      : context_(context), region_(region), kernel_(MorphologyKernel(context.scale)) {
    const int close = static_cast<int>(sides.large / 2);
    if (sides.large > 0 && close >= 1) {
      closeKernel_ = cv::getStructuringElement(cv::MORPH_RECT, cv::Size(close, close));
    }
    if (context.detectionArea.size() == region.size()) mask_ = context.detectionArea;
  }

  // The cleaned contours of the difference of two regions; nullopt when nothing moved.
  std::optional<Difference> Compare(const cv::Mat& a, const cv::Mat& b) {
    cv::absdiff(a, b, difference_);
    if (!mask_.empty()) cv::bitwise_and(difference_, mask_, difference_);
    const double threshold =
        cv::threshold(difference_, binary_, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
    if (threshold <= kMotionThreshold) return std::nullopt;
    if (!closeKernel_.empty()) cv::morphologyEx(binary_, binary_, cv::MORPH_CLOSE, closeKernel_);
    if (!kernel_.empty()) cv::morphologyEx(binary_, binary_, cv::MORPH_OPEN, kernel_);
    Difference result;
    cv::findContours(binary_, result.contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
    if (result.contours.empty()) return std::nullopt;
    return result;
  }

  // Does detection against this background find exactly one animal-like blob in the frame?
  // The automatic method's own steps: difference, Otsu, cleaning, acceptance test.
  bool FindsOneAnimal(const cv::Mat& background, const cv::Mat& frame) {
    cv::absdiff(frame, background, difference_);
    if (!mask_.empty()) cv::bitwise_and(difference_, mask_, difference_);
    const double threshold =
        cv::threshold(difference_, binary_, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
    if (threshold < kMotionThreshold) return false;
    if (!kernel_.empty()) {
      cv::morphologyEx(binary_, binary_, cv::MORPH_CLOSE, kernel_);
      cv::morphologyEx(binary_, binary_, cv::MORPH_OPEN, kernel_);
    }
    Difference found;
    cv::findContours(binary_, found.contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
    return AcceptedBoxes(found).size() == 1;
  }

  // Contours that the detection's acceptance test would take for the animal.
  std::vector<cv::Rect> AcceptedBoxes(const Difference& difference) const {
    std::vector<cv::Rect> boxes;
    const SizeBounds bounds = BoundsOf(context_);
    for (const Contour& contour : difference.contours) {
      if (AcceptBlob(bounds, contour, cv::Rect(cv::Point(), region_.size()))) {
        boxes.push_back(cv::boundingRect(contour));
      }
    }
    return boxes;
  }

 private:
  const DetectionContext& context_;
  cv::Rect region_;
  cv::Mat kernel_;
  cv::Mat closeKernel_;
  cv::Mat mask_;
  cv::Mat difference_;
  cv::Mat binary_;
};

cv::Rect UnionOf(const std::vector<Contour>& contours) {
  cv::Rect box = cv::boundingRect(contours.front());
  for (const Contour& contour : contours) box |= cv::boundingRect(contour);
  return box;
}

bool PlausibleBox(const cv::Rect& box, const AnimalSides& sides) {
  if (sides.large > 0 && (box.width >= 2 * sides.large || box.height >= 2 * sides.large)) {
    return false;
  }
  if (sides.small > 0 && (box.width < sides.small || box.height < sides.small)) return false;
  return true;
}

cv::Rect Grown(const cv::Rect& box, int margin) {
  return {box.x - margin, box.y - margin, box.width + 2 * margin, box.height + 2 * margin};
}

int LargerSide(const cv::Rect& box) { return std::max(box.width, box.height); }

// Samples across the period, each with its animal's box (see the header).
std::vector<BackgroundSample> TakeSamples(const GreyFrameReader& frames, MotionFinder& finder,
                                          const AnimalSides& sides, int first, int last) {
  std::vector<BackgroundSample> kept;
  const int n = last - first + 1;
  const int step = std::max(1, static_cast<int>(n * 0.7 / 5));
  int offset = static_cast<int>(n * 0.2);
  cv::Mat next;
  for (int tried = 0; tried < kMaxTriedSamples && kept.size() < kMaxKeptSamples; ++tried) {
    const int index = first + offset % n;
    offset += step;
    BackgroundSample sample;
    if (!frames(index, sample.grey)) continue;
    std::optional<Difference> moved;
    for (int k = 1; k <= kFramesCompared && index + k <= last && !moved; ++k) {
      if (!frames(index + k, next)) break;
      moved = finder.Compare(sample.grey, next);
    }
    if (!moved) continue;
    sample.animal = UnionOf(moved->contours);
    if (PlausibleBox(sample.animal, sides)) kept.push_back(std::move(sample));
  }
  return kept;
}

// The fallback of the header: the middle frame with its animal painted over.
cv::Mat FallbackBackground(const GreyFrameReader& frames, MotionFinder& finder, int first,
                           int last) {
  const int n = last - first + 1;
  const int middle = first + n / 2;
  cv::Mat base;
  if (!frames(middle, base)) return {};
  const int spacing = std::max(1, n / (kFallbackRounds + 1));

  struct Round {
    cv::Mat grey;
    std::vector<cv::Rect> boxes;
  };
  std::vector<Round> rounds;
  for (int r = 1; r <= kFallbackRounds; ++r) {
    const int index = first + (n / 2 + r * spacing) % n;
    Round round;
    if (index == middle || !frames(index, round.grey)) continue;
    const std::optional<Difference> difference = finder.Compare(base, round.grey);
    if (!difference) continue;
    round.boxes = finder.AcceptedBoxes(*difference);
    if (!round.boxes.empty()) rounds.push_back(std::move(round));
  }

  // The base's animal shows in every difference at the same place; the other frames' animals
  // move around. Ties go to the smaller box (a box that merged both animals is larger).
  cv::Rect animal;
  int bestCount = 0;
  for (size_t i = 0; i < rounds.size(); ++i) {
    for (const cv::Rect& box : rounds[i].boxes) {
      int count = 0;
      for (size_t j = 0; j < rounds.size(); ++j) {
        if (j == i) continue;
        for (const cv::Rect& other : rounds[j].boxes) {
          if ((box & other).area() > 0) {
            ++count;
            break;
          }
        }
      }
      if (count > bestCount || (count == bestCount && count > 0 && box.area() < animal.area())) {
        bestCount = count;
        animal = box;
      }
    }
  }
  if (bestCount == 0) return base;

  const cv::Rect area = Grown(animal, LargerSide(animal) / 2) & cv::Rect(cv::Point(), base.size());
  cv::Mat sum = cv::Mat::zeros(area.size(), CV_64F);
  cv::Mat patch;
  int used = 0;
  for (const Round& round : rounds) {
    // Usable: the difference shows the base's animal alone in the area, and the frame's own
    // animal elsewhere (a frame whose animal barely moved from the base's shows only one).
    bool seesBase = false;
    bool seesOther = false;
    bool clear = true;
    for (const cv::Rect& box : round.boxes) {
      if ((box & animal).area() > 0 && box.area() * 2 <= animal.area() * 3) {
        seesBase = true;
      } else if ((box & area).area() > 0) {
        clear = false;
      } else {
        seesOther = true;
      }
    }
    if (!seesBase || !seesOther || !clear) continue;
    round.grey(area).convertTo(patch, CV_64F);
    sum += patch;
    ++used;
  }
  if (used == 0) return base;
  cv::Mat background = base.clone();
  sum.convertTo(background(area), CV_8U, 1.0 / used);
  return background;
}

// Grey work regions of frames spread evenly over the period (the middles of equal parts).
std::vector<cv::Mat> SpreadFrames(const GreyFrameReader& frames, int first, int last) {
  const int n = last - first + 1;
  const int count = std::min(n, kCheckedFrames);
  std::vector<cv::Mat> spread;
  for (int i = 0; i < count; ++i) {
    const int index = first + static_cast<int>((2LL * i + 1) * n / (2LL * count));
    cv::Mat grey;
    if (frames(index, grey)) spread.push_back(std::move(grey));
  }
  return spread;
}

int FramesWithOneAnimal(const cv::Mat& background, const std::vector<cv::Mat>& spread,
                        MotionFinder& finder) {
  if (background.empty()) return 0;
  int count = 0;
  for (const cv::Mat& grey : spread) count += finder.FindsOneAnimal(background, grey) ? 1 : 0;
  return count;
}

}  // namespace

cv::Mat TemporalMedian(const std::vector<cv::Mat>& greys) {
  if (greys.empty()) return {};
  const cv::Size size = greys.front().size();
  for (const cv::Mat& grey : greys) {
    if (grey.size() != size || grey.type() != CV_8UC1) return {};
  }
  cv::Mat median(size, CV_8UC1);
  const size_t count = greys.size();
  std::vector<uint8_t> values(count);
  for (int y = 0; y < size.height; ++y) {
    uint8_t* out = median.ptr<uint8_t>(y);
    for (int x = 0; x < size.width; ++x) {
      for (size_t k = 0; k < count; ++k) values[k] = greys[k].ptr<uint8_t>(y)[x];
      std::nth_element(values.begin(), values.begin() + count / 2, values.end());
      out[x] = values[count / 2];
    }
  }
  return median;
}

AnimalSides AnimalSidesOf(const DetectionContext& context) {
  AnimalSides sides;
  if (!(context.scale > 0)) return sides;
  if (context.maxSize > 0) sides.large = std::sqrt(context.maxSize * 100 * 5) / context.scale;
  if (context.minSize > 0) sides.small = std::sqrt(context.minSize * 100) / context.scale;
  return sides;
}

int CompositeMargin(const cv::Rect& a, const cv::Rect& b, double largeSide) {
  const int smallest = std::max(LargerSide(a), LargerSide(b)) / 2;
  const double reach = largeSide > 0 ? largeSide : std::max(LargerSide(a), LargerSide(b));
  for (int margin = static_cast<int>(3 * reach); margin >= smallest; margin -= kMarginStep) {
    if ((Grown(a, margin) & Grown(b, margin)).area() == 0) return margin;
  }
  return -1;
}

cv::Mat ComposeBackground(const std::vector<BackgroundSample>& samples, double largeSide) {
  if (samples.size() < 2) return {};
  const cv::Rect whole(cv::Point(), samples.front().grey.size());
  cv::Mat sum = cv::Mat::zeros(whole.size(), CV_64F);
  cv::Mat composite;
  cv::Mat asDouble;
  int count = 0;
  for (size_t i = 0; i < samples.size(); ++i) {
    for (size_t j = 0; j < samples.size(); ++j) {
      if (i == j) continue;
      const int margin = CompositeMargin(samples[i].animal, samples[j].animal, largeSide);
      if (margin < 0) continue;
      const cv::Rect area = Grown(samples[i].animal, margin) & whole;
      samples[i].grey.copyTo(composite);
      samples[j].grey(area).copyTo(composite(area));
      composite.convertTo(asDouble, CV_64F);
      sum += asDouble;
      ++count;
    }
  }
  if (count == 0) return {};
  cv::Mat background;
  sum.convertTo(background, CV_8U, count >= 2 ? 1.0 / count : 1.0);
  return background;
}

ArenaBackground ComputeArenaBackground(const GreyFrameReader& frames, const cv::Rect& region,
                                       const DetectionContext& context, int first, int last) {
  ArenaBackground result;
  if (last < first) return result;
  const AnimalSides sides = AnimalSidesOf(context);
  MotionFinder finder(context, region, sides);
  const std::vector<cv::Mat> spread = SpreadFrames(frames, first, last);
  const int checked = static_cast<int>(spread.size());
  result.checkedFrames = checked;
  // A candidate that misses the animal in one checked frame more than the best one is as good.
  const int slack = std::max(1, checked / 20);

  result.image = ComposeBackground(TakeSamples(frames, finder, sides, first, last), sides.large);
  result.compositeFinds = FramesWithOneAnimal(result.image, spread, finder);
  if (!result.image.empty()) {
    result.method = BackgroundMethod::kComposite;
    result.chosenFinds = result.compositeFinds;
    if (result.compositeFinds >= checked - slack) return result;
  }
  struct Candidate {
    cv::Mat image;
    BackgroundMethod method;
    int finds;
  };
  std::vector<Candidate> candidates;
  if (!result.image.empty()) {
    candidates.push_back({result.image, BackgroundMethod::kComposite, result.compositeFinds});
  }
  cv::Mat painted = FallbackBackground(frames, finder, first, last);
  if (!painted.empty()) {
    candidates.push_back({painted, BackgroundMethod::kPaintedFrame,
                          FramesWithOneAnimal(painted, spread, finder)});
  }
  cv::Mat median = TemporalMedian(spread);
  if (!median.empty()) {
    candidates.push_back({median, BackgroundMethod::kTemporalMedian,
                          FramesWithOneAnimal(median, spread, finder)});
  }
  int best = 0;
  for (const Candidate& candidate : candidates) best = std::max(best, candidate.finds);
  for (const Candidate& candidate : candidates) {
    if (candidate.finds >= best - slack) {
      result.image = candidate.image;
      result.method = candidate.method;
      result.chosenFinds = candidate.finds;
      break;
    }
  }
  return result;
}

ArenaBackground ComputeArenaBackground(VideoSource& source, const DetectionContext& context,
                                       int first, int last) {
  if (!source.IsFileOpen()) return {};
  const int restore = source.currentFrame();
  const cv::Rect region =
      SearchRectangle(context.arena, cv::Size(source.frameWidth(), source.frameHeight()));
  const GreyFrameReader frames = [&](int index, cv::Mat& out) {
    if (source.GoToFrame(index) != VideoStatus::kOk) return false;
    const cv::Mat& frame = source.CurrentImage();
    if (frame.empty() || (region & cv::Rect(cv::Point(), frame.size())) != region) return false;
    // The grey conversion detection applies, so that the background matches its frames.
    cv::cvtColor(frame(region), out, cv::COLOR_RGB2GRAY);
    return true;
  };
  ArenaBackground background;
  try {
    background = ComputeArenaBackground(frames, region, context, first, last);
  } catch (const cv::Exception&) {
    background = ArenaBackground();
  }
  source.GoToFrame(restore);
  return background;
}

}  // namespace vx
