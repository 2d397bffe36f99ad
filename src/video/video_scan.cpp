#include "video/video_scan.h"

#include <cmath>

#include "base/text.h"

namespace vx {

namespace {

// The next whole-millisecond time, never at or before the previous one: the analysis needs
// every frame later than the one before it.
uint32_t NextTime(std::vector<uint32_t>& times, double positionMs) {
  const int64_t rounded = RoundHalfEven64(std::max(0.0, positionMs));
  const int64_t floor = times.empty() ? 0 : static_cast<int64_t>(times.back()) + 1;
  return static_cast<uint32_t>(std::max(rounded, floor));
}

bool TrustsAnnouncedCount(VideoSource& source) {
  return source.frameCount() > 0 && source.originMs() == 0.0 && source.startFrame() == 0 &&
         source.startTimeMs() == 0 && source.seekByTime() != 2 && source.CountMatchesEnd();
}

VideoStatus CountByDecoding(VideoSource& source, VideoScan& scan, const ScanProgress& progress) {
  source.GoToFrame(-1);
  double positionMs = 0.0;
  while (source.GrabNextFrame(positionMs)) {
    scan.times.push_back(NextTime(scan.times, positionMs));
    if (progress && scan.times.size() % 100 == 0 &&
        !progress(static_cast<int>(scan.times.size()), scan.announcedCount)) {
      return VideoStatus::kCaptureError;
    }
  }
  if (scan.times.empty()) return VideoStatus::kFirstGrabFailed;
  scan.counted = true;
  return VideoStatus::kOk;
}

}  // namespace

VideoStatus ScanVideoFile(const std::string& path, VideoScan& scan, const ScanProgress& progress,
                          CaptureFactory factory) {
  scan = VideoScan();
  VideoSource source(std::move(factory), nullptr);
  const VideoStatus opened = source.OpenFile(path);
  if (opened != VideoStatus::kOk) return opened;
  scan.width = source.frameWidth();
  scan.height = source.frameHeight();
  scan.fps = source.nominalFps();
  scan.backend = source.backend();
  scan.timing = source.seekByTime();
  scan.announcedCount = source.frameCount();
  if (TrustsAnnouncedCount(source)) {
    scan.times.reserve(scan.announcedCount);
    for (int k = 0; k < scan.announcedCount; ++k) {
      scan.times.push_back(NextTime(scan.times, k * 1000.0 / scan.fps));
    }
  } else if (const VideoStatus counted = CountByDecoding(source, scan, progress);
             counted != VideoStatus::kOk) {
    return counted;
  }
  scan.frameCount = static_cast<int>(scan.times.size());
  return VideoStatus::kOk;
}

FrameTimes RegisteredFrameTimes(const std::vector<uint32_t>& times) {
  if (times.empty()) return FrameTimes();
  const FrameTimes uniform =
      FrameTimes::Uniform(static_cast<uint32_t>(times.size()), times.back());
  if (times.size() < 2) return uniform;
  for (uint32_t k = 0; k < times.size(); ++k) {
    int time = -1;
    if (!TimeOfFrame(uniform, k, time) || static_cast<uint32_t>(time) != times[k]) {
      return FrameTimes::FromList(times);
    }
  }
  return uniform;
}

std::vector<uint32_t> ExpandFrameTimes(const FrameTimes& stored) {
  // A day at 200 frames per second; a larger count is a damaged header, not a video.
  constexpr uint32_t kMostFrames = 24u * 3600u * 200u;
  if (stored.Listed() || stored.count < 2 || stored.count > kMostFrames) return stored.times;
  std::vector<uint32_t> times;
  times.reserve(stored.count);
  for (uint32_t k = 0; k < stored.count; ++k) {
    int time = 0;
    TimeOfFrame(stored, k, time);
    times.push_back(static_cast<uint32_t>(time));
  }
  return times;
}

}  // namespace vx
