#include "detection/test_context.h"

#include "zones/arena_mask.h"
#include "zones/calibration.h"

namespace vx {

AnimalSizeBounds AnimalSizeOf(const CAnimal* animal, const AnimalSizeSetting& experimentDefault) {
  if (animal != nullptr && !animal->usesExperimentSize) return {animal->minSize, animal->maxSize};
  return {static_cast<double>(experimentDefault.minSize),
          static_cast<double>(experimentDefault.maxSize)};
}

DetectionContext MakeTestDetectionContext(const DetectionSettings& settings, const ZoneSet& zones,
                                          bool headDetection, const AnimalSizeBounds& sizes,
                                          int arenaIndex, int angle) {
  const DetectionArea area = BuildDetectionArea(zones, arenaIndex, angle);
  const PixelRect rect = area.rect.Normalized();
  ContextInputs inputs;
  inputs.arena = rect.IsEmpty() ? cv::Rect()
                                : cv::Rect(rect.left, rect.top, static_cast<int>(rect.Width()),
                                           static_cast<int>(rect.Height()));
  inputs.detectionArea = area.mask;
  inputs.scale = MmPerPixel(zones);
  inputs.animalMinSize = sizes.minSize;
  inputs.animalMaxSize = sizes.maxSize;
  inputs.headDetection = headDetection;
  return MakeDetectionContext(settings, inputs);
}

}  // namespace vx
