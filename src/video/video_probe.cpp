#include "video/video_probe.h"

#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

#include <cmath>
#include <filesystem>

namespace vx {

namespace {

// Counting by decoding is the last resort for containers that announce no frame count.
int CountFrames(cv::VideoCapture& capture) {
  int count = 0;
  while (capture.grab()) ++count;
  return count;
}

}  // namespace

bool ProbeVideoFile(const std::string& path, VideoFileFacts& facts) {
  std::error_code error;
  if (path.empty() || !std::filesystem::is_regular_file(path, error)) return false;
  try {
    cv::VideoCapture capture(path, cv::CAP_FFMPEG);
    if (!capture.isOpened()) return false;
    VideoFileFacts read;
    read.backend = cv::CAP_FFMPEG;
    read.width = static_cast<int>(capture.get(cv::CAP_PROP_FRAME_WIDTH));
    read.height = static_cast<int>(capture.get(cv::CAP_PROP_FRAME_HEIGHT));
    read.fps = capture.get(cv::CAP_PROP_FPS);
    const double announced = capture.get(cv::CAP_PROP_FRAME_COUNT);
    read.frameCount = announced >= 1 ? static_cast<int>(std::llround(announced))
                                     : CountFrames(capture);
    if (read.width <= 0 || read.height <= 0 || read.frameCount <= 0) return false;
    if (std::isfinite(read.fps) && read.fps > 0) {
      read.durationMs = static_cast<int>(std::llround(read.frameCount * 1000.0 / read.fps));
    } else {
      read.fps = 0;
    }
    facts = read;
    return true;
  } catch (const cv::Exception&) {
    return false;
  }
}

}  // namespace vx
