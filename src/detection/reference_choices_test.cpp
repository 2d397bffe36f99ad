#include "detection/reference_choices.h"

#include <gtest/gtest.h>

namespace {

TEST(ReferenceChoices, TheSettingsReferenceIsAlwaysShown) {
  const std::vector<vx::ReferenceChoice> library = {{3, "Empty arena"}, {5, "Evening"}};
  vx::DetectionSettings recipe;
  recipe.referenceImageId = 0;
  recipe.referenceRecipe = "12;";
  vx::DetectionSettings lost;
  lost.referenceImageId = 9;
  vx::DetectionSettings unsaved;
  unsaved.referenceImage = cv::Mat(2, 2, CV_8UC1);
  vx::DetectionSettings stored;
  stored.referenceImageId = 5;
  struct Case {
    const vx::DetectionSettings* settings;
    std::vector<vx::ReferenceChoice> library;
    std::vector<int> ids;
    int chosen;
  } cases[] = {
      {&recipe, library, {3, 5, 0}, 2},
      {&lost, library, {3, 5, vx::kImageNotFound}, 2},
      {&unsaved, {}, {-1}, 0},
      {&stored, library, {3, 5}, 1},
      {&lost, {}, {vx::kNoImageAvailable, vx::kImageNotFound}, 1},
  };
  for (const Case& c : cases) {
    int chosen = -5;
    std::vector<int> ids;
    for (const auto& choice : vx::ReferenceChoices(*c.settings, c.library, chosen)) ids.push_back(choice.id);
    EXPECT_EQ(ids, c.ids);
    EXPECT_EQ(chosen, c.chosen);
  }
}

}  // namespace
