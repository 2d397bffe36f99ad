// The set-up checks at their edges: one pixel in or out, one pixel of animal more or less.
#include "zones/setup_checks.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(SetupChecks, ZonesAgainstTheImage) {
  const struct {
    PixelRect rect;
    SetupProblem expected;
  } cases[] = {
      {{0, 0, 639, 479}, SetupProblem::kNone},
      {{0, 0, 640, 479}, SetupProblem::kZonePartlyOutside},
      {{-1, 10, 20, 20}, SetupProblem::kZonePartlyOutside},
      {{640, 10, 700, 20}, SetupProblem::kZoneOutsideImage},
      {{-30, 5, -1, 20}, SetupProblem::kZoneOutsideImage},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CheckZoneInImage(c.rect, 640, 480), c.expected) << c.rect.left << "," << c.rect.right;
  }
  EXPECT_EQ(CheckZoneInImage({-5000, 0, -4000, 1}, 0, 0), SetupProblem::kNone);  // no size yet
  EXPECT_EQ(CheckCornersInOrder({300, 10, 100, 200}), SetupProblem::kCornersReversed);
  EXPECT_EQ(CheckCornersInOrder({10, 200, 100, 10}), SetupProblem::kCornersReversed);
  EXPECT_EQ(CheckCornersInOrder({5, 5, 5, 5}), SetupProblem::kNone);
}

TEST(SetupChecks, AnimalSizeAgainstTheCalibration) {
  // At 1 mm per pixel a cm² is 100 pixels: 0.3 cm² is the smallest animal told from noise.
  EXPECT_EQ(CheckAnimalSize(0.1, 0.29, 1.0, 640, 480), SetupProblem::kAnimalTooSmall);
  EXPECT_EQ(CheckAnimalSize(0.1, 0.3, 1.0, 640, 480), SetupProblem::kNone);
  EXPECT_EQ(CheckAnimalSize(1536, 2000, 1.0, 640, 480), SetupProblem::kNone);  // half the image
  EXPECT_EQ(CheckAnimalSize(1537, 2000, 1.0, 640, 480), SetupProblem::kAnimalTooLarge);
  EXPECT_EQ(CheckAnimalSize(5, 50, 0.0, 640, 480), SetupProblem::kNone);  // no calibration
  EXPECT_EQ(CheckVideoSize(640, 480, 1064, 1070), SetupProblem::kVideoSizeDiffers);
  EXPECT_EQ(CheckVideoSize(0, 0, 1064, 1070), SetupProblem::kNone);
}

}  // namespace
}  // namespace vx
