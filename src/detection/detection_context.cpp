#include "detection/detection_context.h"

namespace vx {

DetectionContext MakeDetectionContext(const DetectionSettings& settings,
                                      const ContextInputs& inputs) {
  DetectionContext context;
  context.method = settings.method;
  context.greyLow = settings.greyLow;
  context.greyHigh = settings.greyHigh;
  context.hue = settings.hue;
  context.saturation = settings.saturation;
  context.tolerance = settings.tolerance;
  context.hueLow = settings.hueLow;
  context.hueHigh = settings.hueHigh;
  context.saturationLow = settings.saturationLow;
  context.saturationHigh = settings.saturationHigh;
  context.valueLow = settings.valueLow;
  context.valueHigh = settings.valueHigh;
  context.differenceThreshold = settings.differenceThreshold;
  context.automaticThreshold = settings.automaticThreshold;
  context.colourChannel = settings.colourChannel;
  context.sizeMode = settings.sizeMode;
  switch (settings.sizeMode) {
    case kSizeCustom:
      context.minSize = settings.customMinSize;
      context.maxSize = settings.customMaxSize;
      break;
    case kSizeAnimal:
      context.minSize = inputs.animalMinSize;
      context.maxSize = inputs.animalMaxSize;
      break;
    default:
      context.minSize = context.maxSize = -1.0;
      break;
  }
  context.arena = inputs.arena;
  context.detectionArea = inputs.detectionArea;
  context.scale = inputs.scale;
  context.headDetection = inputs.headDetection;
  context.backgroundFlag = settings.backgroundFlag;
  context.reference = settings.referenceImage;
  return context;
}

}  // namespace vx
