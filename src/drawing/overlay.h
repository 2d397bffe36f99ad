// A test's trajectory drawn over its video: every frame of a period with the zones, the track
// so far and the animal of that frame (an annotated copy of the video), or the whole track
// over one still picture of the arena.
//
// Frames are matched with trajectory points by frame index (relative to the test's first
// frame), so frames without a detection show the track and the zones only.
#pragma once

#include <opencv2/core/mat.hpp>

#include <functional>
#include <vector>

#include "detection/my_point.h"
#include "video/video_source.h"
#include "video/video_writer.h"
#include "zones/zone_set.h"

namespace vx {

// The whole track over picture (8-bit grey or BGR, the video's size): zones, the track, the
// first position as a green circle and the last as a red square. Returns a BGR image.
cv::Mat DrawTrackPicture(const cv::Mat& picture, const std::vector<tMyPoint>& points,
                         const ZoneSet& zones);

// Frame n of a test (its picture, BGR, drawn on in place) as the annotated video shows it: the
// zones, the track from the first point up to n, and the animal of frame n when it was found.
void DrawAnnotatedFrame(cv::Mat& frame, const std::vector<tMyPoint>& points, const ZoneSet& zones, int n);

enum class OverlayStatus { kOk, kReadFailed, kWriteFailed, kCancelled };

struct OverlayResult {
  OverlayStatus status = OverlayStatus::kOk;
  int framesWritten = 0;
  int failedFrame = -1;  // the frame that could not be read or written
};

// Called after every frame written with (frames done, frames in the period); returning false
// stops the run (kCancelled). May be empty.
using OverlayProgress = std::function<bool(int done, int total)>;

// Writes frames first to last (inclusive, clamped to the video) of source, open on the test's
// video, into writer, opened at the video's size. The video is read forward from first, once.
// Ends early, with the frames written so far, at the end of the stream.
OverlayResult WriteOverlayVideo(VideoSource& source, const std::vector<tMyPoint>& points,
                                const ZoneSet& zones, int first, int last, VideoFileWriter& writer,
                                const OverlayProgress& progress = {});

}  // namespace vx
