// Checks of an experiment's set-up that catch the mistakes which would otherwise pass in
// silence and spoil an analysis: a video of another size than its protocol, no calibration,
// a zone off the image, a rectangle typed backwards, an animal size that cannot be right at
// the protocol's calibration. Each returns a problem code (kNone when fine); the command line
// and the desktop application put the codes into words.
#pragma once

#include "zones/pixel_rect.h"
#include "zones/zone_set.h"

namespace vx {

enum class SetupProblem {
  kNone,
  kVideoSizeDiffers,   // the video's frames are not the protocol's image size
  kNoRuler,            // no calibration: nothing can be measured in millimetres
  kZoneOutsideImage,   // no part of the zone lies on the image
  kZonePartlyOutside,  // the zone crosses the image's edge
  kCornersReversed,    // right left of left, or bottom above top
  kAnimalTooSmall,     // the largest allowed animal is a few pixels at this calibration
  kAnimalTooLarge,     // the smallest allowed animal covers most of the image
};

// A protocol without an image size (0 x 0) takes any video.
SetupProblem CheckVideoSize(int protocolWidth, int protocolHeight, int videoWidth,
                            int videoHeight);

SetupProblem CheckCalibration(const ZoneSet& zones);

// rect as typed, against the image of width x height pixels (no image size: any place).
SetupProblem CheckZoneInImage(const PixelRect& rect, int width, int height);

// Corners as typed: equal corners are allowed (a single point stands for a default shape).
SetupProblem CheckCornersInOrder(const PixelRect& rect);

// Sizes in cm² against the calibration (mm per pixel; 0: unknown, anything goes) and the
// image. An animal under kSmallestAnimalPixels cannot be told from noise; one over half the
// image is not an animal in an arena.
inline constexpr double kSmallestAnimalPixels = 30;
SetupProblem CheckAnimalSize(double minSizeCm2, double maxSizeCm2, double mmPerPixel, int width,
                             int height);

// The area in pixels of a size in cm² at a calibration (mm per pixel, above 0).
double PixelsOfArea(double sizeCm2, double mmPerPixel);

}  // namespace vx
