#include "video/video_probe.h"

#include <filesystem>

#include "video/video_scan.h"

namespace vx {

bool ProbeVideoFile(const std::string& path, VideoFileFacts& facts,
                    const VideoProbeProgress& progress) {
  std::error_code error;
  if (path.empty() || !std::filesystem::is_regular_file(path, error)) return false;
  VideoScan scan;
  const ScanProgress report = [&progress](int frames, int announced) {
    if (progress) progress(frames, announced);
    return true;
  };
  if (ScanVideoFile(path, scan, report) != VideoStatus::kOk) return false;
  if (scan.width <= 0 || scan.height <= 0 || scan.frameCount <= 0) return false;
  VideoFileFacts read;
  read.backend = scan.backend;
  read.width = scan.width;
  read.height = scan.height;
  read.fps = scan.fps;
  read.frameCount = scan.frameCount;
  read.durationMs = static_cast<int>(scan.times.back());
  read.frameTimes = WriteFrameTimes(RegisteredFrameTimes(scan.times));
  read.counted = scan.counted;
  read.announcedCount = scan.announcedCount;
  facts = std::move(read);
  return true;
}

}  // namespace vx
