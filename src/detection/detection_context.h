// The prepared detection settings of one video source: what BuildForegroundMask and the blob
// choice read for every frame.
//
// Built from a test's DetectionSettings plus what the protocol and the animal give: the arena
// rectangle, the detection-area mask, the scale, the size bounds, the head flag. Replaced
// whole (under the source's context mutex) when the settings or the protocol change.
#pragma once

#include <opencv2/core/mat.hpp>

#include "detection/detection_settings.h"

namespace vx {

struct DetectionContext {
  int method = kMethodNone;  // 0..5, or 6 when nothing is configured
  int greyLow = 0, greyHigh = 255;
  int hue = 90, saturation = 127, tolerance = 50;
  int hueLow = 0, hueHigh = 179;
  int saturationLow = 0, saturationHigh = 255;
  int valueLow = 0, valueHigh = 255;
  // Bounding box of the protocol's arena in frame pixels (right and bottom exclusive); an empty
  // rectangle means the whole frame.
  cv::Rect arena;
  // 8-bit grey or colour. Method 0 without the background flag: frame coordinates; methods 4,
  // 5 and method 0 with the flag: the arena rectangle's coordinates. May be empty.
  cv::Mat reference;
  // 8-bit, the arena rectangle's size: 255 where detection is allowed. Empty: no masking.
  cv::Mat detectionArea;
  int differenceThreshold = 20;
  bool automaticThreshold = false;
  int colourChannel = kChannelAll;
  int sizeMode = kSizeAnimal;
  double minSize = -1.0;  // cm²; -1 when there is no size filter
  double maxSize = -1.0;
  double scale = 0.0;     // mm per pixel; 0 when unknown
  bool headDetection = false;
  bool backgroundFlag = true;
};

// What the protocol, the animal and the arena add to the settings.
struct ContextInputs {
  cv::Rect arena;            // empty: the whole frame
  cv::Mat detectionArea;     // empty: no masking (shared, not copied)
  double scale = 0.0;        // mm per pixel
  double animalMinSize = 0;  // cm², for size mode 1: the animal's own or the experiment default
  double animalMaxSize = 0;
  bool headDetection = false;
};

// The context for settings and inputs: fields map one to one, size bounds by the size mode
// (2: custom, 1: the animal's, 0: -1 and -1), the reference image shared with the settings.
DetectionContext MakeDetectionContext(const DetectionSettings& settings,
                                      const ContextInputs& inputs);

// The size bounds and scale copied out of a context for the blob test.
struct SizeBounds {
  int sizeMode = kSizeAnimal;
  double minSize = -1.0;
  double maxSize = -1.0;
  double scale = 0.0;
  // No filter when the minimum is not above 0 or the maximum is below the minimum.
  bool FilterOff() const { return !(minSize > 0.0) || maxSize < minSize; }
};
inline SizeBounds BoundsOf(const DetectionContext& context) {
  return {context.sizeMode, context.minSize, context.maxSize, context.scale};
}

}  // namespace vx
