// What a video file says about itself, read through the video library (FFmpeg back-end): the
// facts the database stores with a video (frame count, duration, frame size).
#pragma once

#include <string>

#include "db/experiment_file.h"

namespace vx {

// Fills facts from the file at path: frame count (from the container, or by counting the
// frames when it announces none), duration in ms (frames x 1000 / fps, rounded; 0 when the
// frame rate is unknown), width and height in pixels, the frame rate and the back-end number
// (1900). Returns false, with facts untouched, when the file is missing or cannot be decoded.
// Never throws.
bool ProbeVideoFile(const std::string& path, VideoFileFacts& facts);

}  // namespace vx
