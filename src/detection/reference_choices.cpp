#include "detection/reference_choices.h"

namespace vx {

std::vector<ReferenceChoice> ReferenceChoices(const DetectionSettings& settings,
                                              const std::vector<ReferenceChoice>& library,
                                              int& chosen) {
  std::vector<ReferenceChoice> choices = library;
  if (!settings.referenceRecipe.empty()) {
    choices.push_back({0, "New image"});
  } else if (!settings.referenceImage.empty() && settings.referenceImageId <= 0) {
    choices.push_back({-1, "Unsaved image"});
  }
  if (choices.empty()) choices.push_back({kNoImageAvailable, "No image available"});
  const int wanted = settings.referenceRecipe.empty() || settings.referenceImageId > 0 ? settings.referenceImageId : 0;
  chosen = -1;
  for (size_t i = 0; i < choices.size(); ++i) {
    if (choices[i].id == wanted) chosen = static_cast<int>(i);
  }
  if (chosen < 0 && wanted > 0) {
    choices.push_back({kImageNotFound, "Image not found"});
    chosen = static_cast<int>(choices.size()) - 1;
  }
  if (chosen < 0) chosen = 0;
  return choices;
}

}  // namespace vx
