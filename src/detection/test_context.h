// The detection context of a test: its detection settings, plus what its protocol and its
// animal say (arena rectangle and detection-area mask, calibration, head flag, animal size).
#pragma once

#include "db/animal.h"
#include "db/animal_size.h"
#include "detection/detection_context.h"
#include "zones/zone_set.h"

namespace vx {

// Size bounds of the "animal's size" mode (cm²): the animal's own minimum and maximum, the
// experiment's default size when the animal uses it, or that default when there is no animal.
struct AnimalSizeBounds {
  double minSize = 0;
  double maxSize = 0;
};
AnimalSizeBounds AnimalSizeOf(const CAnimal* animal, const AnimalSizeSetting& experimentDefault);

// The context for a test's settings under a protocol's zone set: the search covers the chosen
// arena's bounding rectangle (arenaIndex: Tests.IdArena, -1 the main arena) turned by the
// test's adjustment angle, with the pixels outside the arena and inside hidden zones masked
// out; the scale is the set's calibration (0 when it has none).
DetectionContext MakeTestDetectionContext(const DetectionSettings& settings, const ZoneSet& zones,
                                          bool headDetection, const AnimalSizeBounds& sizes,
                                          int arenaIndex = -1, int angle = 0);

}  // namespace vx
