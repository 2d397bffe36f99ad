// The sample data of "velantrix demo": an open field filmed from above, with a mouse that
// walks from corner to corner, crosses the centre and pauses now and then, rendered by the
// synthetic animal renderer. Everything is deterministic: the same call gives the same frames.
//
// Units: pixels of a 640 × 480 frame; the arena is 440 pixels (50 cm) wide.
#pragma once

#include <string>
#include <vector>

#include "video/synthetic_animal.h"

namespace vx {

struct DemoZone {
  std::string name;
  cv::Rect rect;  // frame pixels
};

struct DemoLayout {
  cv::Size frame{640, 480};
  cv::Rect arena{100, 20, 440, 440};
  cv::Point rulerFrom{100, 470};  // along the arena's bottom wall
  cv::Point rulerTo{540, 470};
  int rulerMm = 500;
  std::vector<DemoZone> zones;  // the centre and the four corners
  double fps = 25.0;
};
DemoLayout DemoArena();

// The scene the video shows: a light floor in a darker room, with a camera's noise.
SceneLook DemoSceneLook(const DemoLayout& layout);

// The mouse's poses frame by frame for a video of `seconds` (the tour repeats as needed).
std::vector<AnimalPose> DemoPath(const DemoLayout& layout, double seconds);

// Writes the video (H.264 in an .mp4 file, or MPEG-4 when no H.264 encoder is available).
// False when no encoder can write path.
bool WriteDemoVideo(const std::string& path, const DemoLayout& layout,
                    const std::vector<AnimalPose>& poses);

}  // namespace vx
