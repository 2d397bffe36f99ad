// The list of reference images a detection view offers for the image-difference methods: the
// experiment's library images, and what the settings hold when it is not one of them.
//
// Ids: above 0 a library image; 0 "New image" (composed from the test's video by the settings'
// recipe); -1 "Unsaved image" (no recipe: an image not stored yet, or none); -2 "No image
// available" when the list would otherwise be empty; -3 "Image not found" when the settings
// name a library image that is not in the library.
#pragma once

#include <string>
#include <vector>

#include "detection/detection_settings.h"

namespace vx {

struct ReferenceChoice {
  int id = -1;
  std::string label;
};

inline constexpr int kNoImageAvailable = -2;
inline constexpr int kImageNotFound = -3;

// library: the (id, name) pairs of the images the method may use (colour images only for the
// advanced subtraction), in the order to show. chosen receives the position of the entry that
// stands for the settings' reference.
std::vector<ReferenceChoice> ReferenceChoices(const DetectionSettings& settings,
                                              const std::vector<ReferenceChoice>& library,
                                              int& chosen);

}  // namespace vx
