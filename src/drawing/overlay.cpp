#include "drawing/overlay.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

#include "drawing/track_drawing.h"
#include "drawing/zone_drawing.h"

namespace vx {

namespace {

cv::Mat AsBgr(const cv::Mat& picture) {
  cv::Mat bgr;
  if (picture.channels() == 1) {
    cv::cvtColor(picture, bgr, cv::COLOR_GRAY2BGR);
  } else {
    bgr = picture.clone();
  }
  return bgr;
}

// The first point at or after frame, starting the search at from (points are in frame order).
size_t PointAtOrAfter(const std::vector<tMyPoint>& points, size_t from, int frame) {
  while (from < points.size() && points[from].frame < frame) ++from;
  return from;
}

// The track of points[trackStart, next) and, when the last of them is frame n, the animal.
void DrawTrackUpTo(cv::Mat& frame, const std::vector<tMyPoint>& points, size_t trackStart, size_t next, int n) {
  DrawTrack(frame, points, trackStart, next);
  if (next > trackStart && points[next - 1].frame == n) DrawAnimalMarks(frame, points[next - 1]);
}

}  // namespace

void DrawAnnotatedFrame(cv::Mat& frame, const std::vector<tMyPoint>& points, const ZoneSet& zones, int n) {
  DrawZones(frame, zones);
  const auto next = std::upper_bound(points.begin(), points.end(), n,
                                     [](int frameIndex, const tMyPoint& p) { return frameIndex < p.frame; });
  DrawTrackUpTo(frame, points, 0, static_cast<size_t>(next - points.begin()), n);
}

cv::Mat DrawTrackPicture(const cv::Mat& picture, const std::vector<tMyPoint>& points,
                         const ZoneSet& zones) {
  cv::Mat image = AsBgr(picture);
  if (image.empty()) return image;
  DrawZones(image, zones);
  DrawTrack(image, points, 0, points.size());
  const auto first = std::find_if(points.begin(), points.end(), [](const tMyPoint& p) { return p.HasAnimal(); });
  const auto last = std::find_if(points.rbegin(), points.rend(), [](const tMyPoint& p) { return p.HasAnimal(); });
  if (first != points.end()) {
    cv::circle(image, {first->rawX, first->rawY}, 6, cv::Scalar(0, 200, 0), 2, cv::LINE_AA);
    const cv::Point end(last->rawX, last->rawY);
    cv::rectangle(image, end - cv::Point(5, 5), end + cv::Point(5, 5), cv::Scalar(0, 0, 255), 2);
  }
  return image;
}

OverlayResult WriteOverlayVideo(VideoSource& source, const std::vector<tMyPoint>& points,
                                const ZoneSet& zones, int first, int last, VideoFileWriter& writer,
                                const OverlayProgress& progress) {
  OverlayResult result;
  last = std::min(last, source.lastFrame() - source.startFrame());
  first = std::max(first, 0);
  const int total = std::max(0, last - first + 1);
  // The zones do not change from frame to frame: drawn once, then laid over each frame.
  cv::Mat zoneLayer(source.frameHeight(), source.frameWidth(), CV_8UC3, cv::Scalar(0, 0, 0));
  DrawZones(zoneLayer, zones);
  cv::Mat zoneMask;
  cv::cvtColor(zoneLayer, zoneMask, cv::COLOR_BGR2GRAY);

  const size_t trackStart = PointAtOrAfter(points, 0, first);
  size_t next = trackStart;
  cv::Mat frame;
  for (int n = first; n <= last; ++n) {
    bool read = false;
    if (n == first) {
      read = source.GoToFrame(first) == VideoStatus::kOk && !source.CurrentImage().empty();
      if (read) frame = source.CurrentImage().clone();
    } else {
      double positionMs = 0;
      read = source.ReadNextFrame(frame, positionMs);
      if (!read) break;  // the stream ended before the period did
    }
    if (!read) {
      result.status = OverlayStatus::kReadFailed;
      result.failedFrame = n;
      return result;
    }
    zoneLayer.copyTo(frame, zoneMask);
    next = PointAtOrAfter(points, next, n + 1);
    DrawTrackUpTo(frame, points, trackStart, next, n);
    if (!writer.Write(frame)) {
      result.status = OverlayStatus::kWriteFailed;
      result.failedFrame = n;
      return result;
    }
    ++result.framesWritten;
    if (progress && !progress(result.framesWritten, total)) {
      result.status = OverlayStatus::kCancelled;
      return result;
    }
  }
  return result;
}

}  // namespace vx
