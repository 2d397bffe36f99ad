// What registering a video needs to know about its file: how many frames really decode and at
// which times the analysis will see them.
//
// A container's frame count is trusted only when it can be: a count is given, the first frame
// is at 0, the timing is regular and the announced last frame exists and ends the file (a cut
// with an edit list, B-frames counted twice or a damaged end all make these disagree).
// Otherwise the frames are counted by decoding them once, without converting their images.
//
// The times are those the analysis uses for each frame: the back-end's presentation time from
// the first presented frame (frames drained at the end follow on at the announced rate), or,
// for a trusted count, the announced rate's times; each time is made whole to the nearest
// millisecond and kept strictly increasing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "db/frame_times.h"
#include "video/video_source.h"

namespace vx {

struct VideoScan {
  int frameCount = 0;            // frames that decode
  std::vector<uint32_t> times;   // ms of each of them, the first at 0
  int width = 0, height = 0;     // pixels
  double fps = 0.0;              // the rate the file announces
  int backend = -1;
  int timing = -1;               // the source's seekByTime
  int announcedCount = 0;        // the container's count (0: none)
  bool counted = false;          // the frames were counted by decoding
};

// Called while frames are counted: frames so far, and the count the file announces (0: none).
// Returns false to stop (the scan then fails with kCaptureError).
using ScanProgress = std::function<bool(int frames, int announced)>;

// Scans the file at path (see above). kOk, or why the file cannot serve as a test's video.
VideoStatus ScanVideoFile(const std::string& path, VideoScan& scan,
                          const ScanProgress& progress = {},
                          CaptureFactory factory = OpenCvCaptureFactory());

// The stored form of the scanned times: the compact uniform form when it gives back every time
// exactly, the listed form otherwise (rates like 29.97 or 30.0003 whose times are not an even
// split of the last frame's time).
FrameTimes RegisteredFrameTimes(const std::vector<uint32_t>& times);

// Frame times in full, one per frame, from any stored form with at least two frames (the
// uniform form expanded); empty when nothing usable is stored.
std::vector<uint32_t> ExpandFrameTimes(const FrameTimes& stored);

}  // namespace vx
