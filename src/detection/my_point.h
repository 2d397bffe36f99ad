// One frame of a trajectory in which the animal was found.
//
// Detection fills the raw fields (centre, head, box, outline) for the frame whose index and
// time the caller set; the trajectory code derives the analysis position (after the
// minimum-displacement filter), the smoothed position and the cumulative distances.
#pragma once

#include <opencv2/core/types.hpp>

#include <vector>

namespace vx {

struct tMyPoint {
  int frame = 0;    // frame index in the video, 0-based
  int time = 0;     // ms from the start of the video; -1 when the frame times are unknown
  int rawX = -1;    // detected centre, pixels; -1 when no animal
  int rawY = -1;
  int headX = -1;   // detected head, pixels; -1 when none
  int headY = -1;
  int posX = -1;    // analysis position, pixels (raw position after the displacement filter)
  int posY = -1;
  double smoothX = -1.0;  // smoothed position, mm; -1 until computed
  double smoothY = -1.0;
  double cumDist = 0.0;     // path length along smoothed positions, mm
  double cumRawDist = 0.0;  // path length along raw positions, mm
  int boxLeft = -1;   // bounding box of the outline; right = left + width
  int boxTop = -1;
  int boxRight = -1;
  int boxBottom = -1;
  std::vector<cv::Point> contour;  // outline, absolute pixel coordinates, at most ~40 points

  bool HasAnimal() const { return rawX >= 0; }
  bool HasHead() const { return headX >= 0 && headY >= 0; }

  // Back to "nothing found": time 0, positions -1, smoothed -1.0, distance 0, no outline.
  void Reset() {
    const int keepFrame = frame;
    *this = tMyPoint();
    frame = keepFrame;
  }
};

}  // namespace vx
