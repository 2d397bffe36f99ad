// What a video file says about itself, read through the video library: the facts the database
// stores with a video (frame count, duration, frame size, frame times).
#pragma once

#include <string>

#include "db/experiment_file.h"

namespace vx {

// Fills facts from the file at path (video/video_scan.h): the frames that decode, the time of
// the last one as the duration (ms, the first frame at 0), width and height in pixels, the
// announced rate, the back-end number and the frame-times blob the analysis will time the
// frames by. Returns false, with facts untouched, when the file is missing or cannot serve as
// a video. Never throws.
bool ProbeVideoFile(const std::string& path, VideoFileFacts& facts,
                    const VideoProbeProgress& progress = {});

}  // namespace vx
