// A deterministic renderer of a rodent-like animal seen from above, for tests, benchmarks and
// the demo: a body ellipse, a smaller head ellipse in front of it and a thin tail behind, on a
// plain background with an optional arena floor. Every quantity a detector should recover
// (centre of mass of body and head, head tip, bounding box) comes with the frame as truth,
// measured on the very pixels drawn.
//
// Units: pixels, image coordinates (x right, y down). A heading is in degrees, 0 pointing to
// +x and 90 to +y (clockwise on screen). Colours are BGR.
#pragma once

#include <opencv2/core/mat.hpp>

#include <string>
#include <vector>

namespace vx {

struct AnimalPose {
  cv::Point2d centre;        // centre of the body ellipse
  double headingDeg = 0.0;   // where the head points
};

struct AnimalLook {
  double bodyLength = 44.0;  // body ellipse, full axes
  double bodyWidth = 24.0;
  double headLength = 18.0;  // head ellipse, in front of the body, overlapping it a little
  double headWidth = 13.0;
  double tailLength = 40.0;  // 0 for no tail
  int tailWidth = 2;
  double tailBend = 0.15;    // sideways swing of the tail, as a fraction of its length
  cv::Scalar colour{35, 35, 35};
};

enum class ArenaShape { None, Rectangle, Circle };

struct SceneLook {
  cv::Size size{640, 480};
  cv::Scalar background{90, 90, 90};  // outside the arena (or everywhere without one)
  ArenaShape arena = ArenaShape::None;
  cv::Rect arenaRect{40, 20, 560, 440};  // the floor: the rectangle, or the ellipse inside it
  cv::Scalar floor{205, 205, 205};
  double noise = 0.0;   // standard deviation of a reproducible grey noise, 0 for none
  int noiseSeed = 1;
};

// Light animal on a dark floor, and dark on light: ready-made looks for tests.
AnimalLook DarkAnimal();
AnimalLook LightAnimal();
SceneLook LightFloorScene(ArenaShape arena = ArenaShape::Rectangle);
SceneLook DarkFloorScene(ArenaShape arena = ArenaShape::Rectangle);

// What was drawn, measured on the drawn pixels.
struct AnimalTruth {
  cv::Point2d centreOfMass;  // of body and head pixels (the tail left out)
  cv::Point2d headTip;       // front end of the head ellipse
  cv::Point2d headCentre;
  cv::Point2d tailTip;       // rear end of the tail (of the body without a tail)
  cv::Rect bodyBox;          // bounding box of body and head pixels
  int bodyPixels = 0;
};

// The empty scene (background, arena floor, noise).
cv::Mat RenderScene(const SceneLook& scene);
// The scene with the animal drawn at pose, as an 8-bit 3-channel BGR image.
cv::Mat RenderAnimalFrame(const SceneLook& scene, const AnimalLook& look, const AnimalPose& pose,
                          AnimalTruth* truth = nullptr);
// Draws the animal over an image; truth as above.
void DrawAnimal(cv::Mat& image, const AnimalLook& look, const AnimalPose& pose,
                AnimalTruth* truth = nullptr);

// A path round a circle (heading along the motion, clockwise on screen when degreesPerFrame is
// positive), starting at angle startDeg.
std::vector<AnimalPose> CirclePath(cv::Point2d centre, double radius, int frames,
                                   double degreesPerFrame, double startDeg = 0.0);
// A straight walk from a to b in `frames` steps (heading from a to b); frames >= 2.
std::vector<AnimalPose> StraightPath(cv::Point2d from, cv::Point2d to, int frames);

// Writes the animal along poses as a video (one frame per pose). fourcc is a four-character
// code such as "MJPG", "mp4v" or "avc1" (H.264). False when the writer cannot be opened.
bool WriteSyntheticVideo(const std::string& path, const std::string& fourcc, double fps,
                         const SceneLook& scene, const AnimalLook& look,
                         const std::vector<AnimalPose>& poses,
                         std::vector<AnimalTruth>* truths = nullptr);

}  // namespace vx
