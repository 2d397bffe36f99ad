// The image a heat map (measure 26) or a track image (27, 28) gives for one test: one grey
// channel at its displayed size. Reports cache it; the pictures of the programs colour it.
#pragma once

#include <cstdint>

#include <opencv2/core/mat.hpp>

namespace vx {

// Track-image levels: the track, the background of the canvas, outside the arena.
inline constexpr uint8_t kTrackLevel = 0;
inline constexpr uint8_t kTrackBackground = 100;
inline constexpr uint8_t kTrackOutside = 255;

struct ResultImage {
  int width = 0;
  int height = 0;
  int maximumMs = 0;  // heat map: the largest time spent on one pixel; unused by tracks
  cv::Mat pixels;     // CV_8UC1, height rows of width pixels
};

}  // namespace vx
