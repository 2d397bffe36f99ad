#include "detection/detector.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace vx {

namespace {

// Seconds since the last detection, from the unsigned difference of the two frame times.
double SecondsSinceLast(const tMyPoint& point, const tMyPoint& last) {
  const uint32_t elapsed = static_cast<uint32_t>(point.time) - static_cast<uint32_t>(last.time);
  return elapsed / 1000.0;
}

// How far (pixels) an animal running at 1 m/s gets in that time at that scale.
double ReachPixels(double seconds, double scale) { return seconds * (1000.0 / scale); }

bool TouchesBorder(const cv::Rect& box, const cv::Rect& region) {
  return box.x <= 0 || box.y <= 0 || box.x + box.width >= region.width ||
         box.y + box.height >= region.height;
}

void ClearPoint(tMyPoint& point) {
  point.rawX = point.rawY = -1;
  point.headX = point.headY = -1;
  point.boxLeft = point.boxTop = point.boxRight = point.boxBottom = -1;
  point.smoothX = point.smoothY = -1.0;
  point.cumDist = 0.0;
  point.contour.clear();
}

// The centre of mass of the foreground inside box (region coordinates), each coordinate
// rounded as floor(mean + 0.5); the box centre when the box holds no foreground.
cv::Point CentreOfMass(const cv::Mat& foreground, const cv::Rect& box) {
  const cv::Moments m = cv::moments(foreground(box), true);
  if (m.m00 <= 0) return {box.x + box.width / 2, box.y + box.height / 2};
  return {box.x + static_cast<int>(std::floor(m.m10 / m.m00 + 0.5)),
          box.y + static_cast<int>(std::floor(m.m01 / m.m00 + 0.5))};
}

}  // namespace

cv::Rect SearchRectangle(const cv::Rect& arena, cv::Size frame) {
  const int left = std::max(0, arena.x);
  const int top = std::max(0, arena.y);
  const int right = std::min(frame.width, arena.x + arena.width);
  const int bottom = std::min(frame.height, arena.y + arena.height);
  if (arena.empty() || right <= left || bottom <= top) return {0, 0, frame.width, frame.height};
  return {left, top, right - left, bottom - top};
}

Detector::Detector(VideoSource& source) : source_(source), seenOpenCount_(source.OpenCount()) {}

void Detector::SetContext(DetectionContext context) {
  std::lock_guard<std::mutex> lock(source_.ContextMutex());
  context_ = std::move(context);
}

void Detector::ClearContext() { SetContext(DetectionContext()); }

DetectionContext Detector::Context() const {
  std::lock_guard<std::mutex> lock(source_.ContextMutex());
  return context_;
}

void Detector::ResetTracking() {
  tracking.Reset();
  head.Reset();
}

void Detector::NoteFrame(int frame) {
  if (frame == 0 || frame != lastFrame_ + 1) ResetTracking();
  lastFrame_ = frame;
}

void Detector::FollowSource() {
  if (source_.OpenCount() == seenOpenCount_) return;
  seenOpenCount_ = source_.OpenCount();
  lastFrame_ = -1;
  ResetTracking();
}

void DetectInFrame(Detector& source, const cv::Mat& frame, cv::Mat& maskOut, tMyPoint& point,
                   BlobList& blobs, bool headEnabled) {
  source.FollowSource();
  ClearPoint(point);
  blobs.clear();
  if (frame.empty()) {
    maskOut.release();
    return;
  }
  maskOut.create(frame.size(), CV_8U);
  maskOut.setTo(0);
  int method = kMethodNone;
  cv::Rect arena;
  double scale = 0.0;
  {
    std::lock_guard<std::mutex> lock(source.source_.ContextMutex());
    method = source.context_.method;
    arena = source.context_.arena;
    scale = source.context_.scale;
  }
  if (method == kMethodNone) return;

  const cv::Rect search = SearchRectangle(arena, frame.size());
  const TrackingMemory& memory = source.tracking;
  const double seconds = SecondsSinceLast(point, memory.last);
  bool found = false;
  if (memory.counter >= kTrackingCount && scale > 0 && seconds > 0) {
    const double reach = std::min(ReachPixels(seconds, scale), 1e6);
    const int margin = static_cast<int>(reach);
    const cv::Rect last(memory.last.boxLeft, memory.last.boxTop,
                        memory.last.boxRight - memory.last.boxLeft,
                        memory.last.boxBottom - memory.last.boxTop);
    const cv::Rect window =
        cv::Rect(last.x - margin, last.y - margin, last.width + 2 * margin,
                 last.height + 2 * margin) &
        search;
    if (!window.empty()) found = DetectAnimal(source, frame, maskOut, point, blobs, window, headEnabled);
    if (!found && window != search) {
      maskOut.setTo(0);
      blobs.clear();
      found = DetectAnimal(source, frame, maskOut, point, blobs, search, headEnabled);
    }
  } else {
    found = DetectAnimal(source, frame, maskOut, point, blobs, search, headEnabled);
  }
  if (!found) {
    maskOut.setTo(0);
    // Once per frame without the animal, however many attempts were made.
    if (source.trackingMode) source.tracking.counter = std::max(0, source.tracking.counter - 1);
  }
}

namespace {

// The head of the animal found in region (search-region coordinates), moved to frame
// coordinates and clamped into the animal's box; (-1, -1) when none.
cv::Point FindHead(HeadMemory& memory, const cv::Mat& foreground, const Contour& animal,
                   cv::Point centre, const cv::Rect& box, const cv::Rect& rect,
                   const SizeBounds& bounds, cv::Mat& headMask, std::vector<Contour>& contours) {
  const bool touches = TouchesBorder(box, rect);
  // First attempt: the animal alone in a region 1.4 times its box.
  const cv::Rect region =
      cv::Rect(box.x - box.width / 5, box.y - box.height / 5, box.width * 7 / 5,
               box.height * 7 / 5) &
      cv::Rect(0, 0, foreground.cols, foreground.rows);
  cv::Point head(-1, -1);
  cv::Point origin = rect.tl();
  if (!region.empty()) {
    cv::findContours(foreground(region), contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
    contours.erase(std::remove_if(contours.begin(), contours.end(),
                                  [&](const Contour& c) { return !AcceptBlob(bounds, c, region); }),
                   contours.end());
    if (contours.size() == 1) {
      headMask = cv::Mat::zeros(region.size(), CV_8U);
      cv::drawContours(headMask, contours, 0, cv::Scalar(255), cv::FILLED, cv::LINE_8);
      head = DetectHead(memory, headMask, contours[0], centre - region.tl(),
                        {rect.tl() + region.tl(), touches, true});
      origin = rect.tl() + region.tl();
    }
  }
  if (head.x < 0 || head.y < 0) {
    head = DetectHead(memory, foreground, animal, centre, {rect.tl(), touches, false});
    origin = rect.tl();
  }
  if (head.x < 0 || head.y < 0) return {-1, -1};
  const cv::Rect frameBox = box + rect.tl();
  head += origin;
  return {std::clamp(head.x, frameBox.x, frameBox.x + frameBox.width),
          std::clamp(head.y, frameBox.y, frameBox.y + frameBox.height)};
}

void CountRejection(RejectionCounts& counts, BlobVerdict verdict) {
  switch (verdict) {
    case BlobVerdict::kWrongShape: ++counts.wrongShape; break;
    case BlobVerdict::kTooSmall: ++counts.tooSmall; break;
    case BlobVerdict::kTooLarge: ++counts.tooLarge; break;
    case BlobVerdict::kAccepted: break;
  }
}

}  // namespace

bool DetectAnimal(Detector& source, const cv::Mat& frame, cv::Mat& maskOut, tMyPoint& point,
                  BlobList& blobs, const cv::Rect& rect, bool headEnabled) {
  cv::Mat& foreground = source.foreground_;
  foreground = ViewOfStore(source.foregroundStore_, rect.size(), CV_8U);
  SizeBounds bounds;
  {
    std::lock_guard<std::mutex> lock(source.source_.ContextMutex());
    if (!BuildForegroundMask(source.context_, frame(rect), foreground, rect, &source.buffers_)) {
      return false;
    }
    bounds = BoundsOf(source.context_);
  }
  foreground.copyTo(maskOut(rect));

  const cv::Mat kernel = MorphologyKernel(bounds.scale);
  if (!kernel.empty()) {
    const cv::Scalar border = cv::morphologyDefaultBorderValue();
    cv::morphologyEx(foreground, foreground, cv::MORPH_CLOSE, kernel, cv::Point(-1, -1), 1,
                     cv::BORDER_CONSTANT, border);
    cv::morphologyEx(foreground, foreground, cv::MORPH_OPEN, kernel, cv::Point(-1, -1), 1,
                     cv::BORDER_CONSTANT, border);
  }
  std::vector<Contour>& contours = source.contours_;
  cv::findContours(foreground, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
  cv::drawContours(foreground, contours, -1, cv::Scalar(255), cv::FILLED, cv::LINE_8);

  // Choose the animal's contour.
  const int count = static_cast<int>(contours.size());
  int chosen = -1;
  TrackingMemory& memory = source.tracking;
  if (!source.trackingMode) {
    int accepted = 0;
    for (int i = count - 1; i >= 0; --i) {
      const cv::Rect box = cv::boundingRect(contours[i]) + rect.tl();
      const bool ok = AcceptBlob(bounds, contours[i], rect);
      blobs.push_back({box.x, box.y, box.x + box.width, box.y + box.height, -1, -1,
                       cv::contourArea(contours[i]), ok});
      if (ok) {
        ++accepted;
        chosen = i;
      }
    }
    if (accepted != 1) chosen = -1;
    if (count == 1 && bounds.FilterOff()) chosen = 0;
  } else {
    const double seconds = SecondsSinceLast(point, memory.last);
    const bool checkSpeed = memory.counter >= kTrackingCount && bounds.scale > 0 && seconds > 0;
    const cv::Point2d lastCentre(memory.last.rawX, memory.last.rawY);
    int remaining = 0;
    BlobVerdict largestRefused = BlobVerdict::kAccepted;
    double largestRefusedArea = -1;
    for (int i = count - 1; i >= 0; --i) {
      if (const BlobVerdict verdict = JudgeBlob(bounds, contours[i], rect);
          verdict != BlobVerdict::kAccepted) {
        const double area = cv::contourArea(contours[i]);
        if (area > largestRefusedArea) largestRefusedArea = area, largestRefused = verdict;
        continue;
      }
      if (checkSpeed) {
        const cv::Rect box = cv::boundingRect(contours[i]) + rect.tl();
        const cv::Point2d centre(box.x + box.width * 0.5f, box.y + box.height * 0.5f);
        const cv::Point2d step = centre - lastCentre;
        if (std::hypot(step.x, step.y) > ReachPixels(seconds, bounds.scale)) continue;
      }
      ++remaining;
      chosen = i;
    }
    if (remaining != 1) chosen = -1;
    if (remaining == 0) CountRejection(source.rejections, largestRefused);
  }
  if (chosen < 0) return false;

  Contour animal = contours[chosen];
  const double area = cv::contourArea(animal);
  TrimThinParts(animal, bounds.scale);
  const cv::Rect box = cv::boundingRect(animal) & cv::Rect(0, 0, foreground.cols, foreground.rows);
  const cv::Point centre = CentreOfMass(foreground, box);
  const cv::Rect frameBox = box + rect.tl();
  const cv::Point frameCentre = centre + rect.tl();
  if (!source.trackingMode) {
    tMyBlob& blob = blobs[static_cast<size_t>(count - 1 - chosen)];
    blob.centreX = frameCentre.x;
    blob.centreY = frameCentre.y;
  } else {
    blobs.push_back({frameBox.x, frameBox.y, frameBox.x + frameBox.width,
                     frameBox.y + frameBox.height, frameCentre.x, frameCentre.y, area, true});
  }
  point.rawX = frameCentre.x;
  point.rawY = frameCentre.y;
  point.boxLeft = frameBox.x;
  point.boxTop = frameBox.y;
  point.boxRight = frameBox.x + frameBox.width;
  point.boxBottom = frameBox.y + frameBox.height;
  if (memory.counter < kMaxDetectionCount) ++memory.counter;

  if (headEnabled) {
    const cv::Point head = FindHead(source.head, foreground, animal, centre, box, rect, bounds,
                                    source.headMask_, source.headContours_);
    point.headX = head.x;
    point.headY = head.y;
  }
  point.contour.clear();
  for (const cv::Point& p : SimplifyOutline(animal)) point.contour.push_back(p + rect.tl());
  memory.last = point;
  return true;
}

}  // namespace vx
