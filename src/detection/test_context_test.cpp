// A test's context from its protocol's zones, and detection inside that arena.
#include "detection/test_context.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include "detection/detector.h"
#include "video/synthetic_animal.h"
#include "zones/draw_rect.h"

namespace vx {
namespace {

// A 640 × 480 protocol: a round arena over (100, 40)-(540, 440), a ruler of 310 pixels that
// is 31 cm long (1 mm per pixel) and a hidden shelter.
ZoneSet Protocol() {
  ZoneSet set;
  set.SetImageSize(640, 480, true, false);
  set.rulerLength = 31;
  set.rulerUnit = 0;
  set.SetMainArena(set.AddZone(std::make_unique<CDrawRect>(kKindEllipse, PixelRect{100, 40, 540, 440})));
  CDrawObj* shelter = set.AddZone(std::make_unique<CDrawRect>(kKindRectangle, PixelRect{380, 200, 440, 260}));
  shelter->hidden = 1;
  return set;
}

TEST(TestContext, TakesArenaMaskAndScaleFromTheProtocol) {
  DetectionSettings settings;
  settings.method = kMethodSubtraction;
  const DetectionContext context = MakeTestDetectionContext(settings, Protocol(), true, {5, 50});
  EXPECT_EQ(context.arena, cv::Rect(100, 40, 440, 400));
  ASSERT_EQ(context.detectionArea.size(), cv::Size(440, 400));
  EXPECT_EQ(context.detectionArea.at<uint8_t>(200, 220), 255);  // centre of the arena
  EXPECT_EQ(context.detectionArea.at<uint8_t>(2, 2), 0);        // outside the ellipse
  EXPECT_EQ(context.detectionArea.at<uint8_t>(230 - 40, 410 - 100), 0);  // in the shelter
  EXPECT_EQ(std::make_tuple(context.scale, context.headDetection, context.minSize, context.maxSize),
            std::make_tuple(1.0, true, 5.0, 50.0));
}

TEST(TestContext, SizeBoundsFollowTheAnimal) {
  const AnimalSizeSetting experiment;  // 5 .. 50 cm²
  CAnimal own;
  own.usesExperimentSize = false;
  own.minSize = 8;
  own.maxSize = 20;
  EXPECT_EQ(AnimalSizeOf(&own, experiment).minSize, 8);
  EXPECT_EQ(AnimalSizeOf(&own, experiment).maxSize, 20);
  CAnimal shared;
  EXPECT_EQ(AnimalSizeOf(&shared, experiment).maxSize, 50);
  EXPECT_EQ(AnimalSizeOf(nullptr, experiment).minSize, 5);
  DetectionSettings custom;
  custom.sizeMode = kSizeCustom;
  EXPECT_EQ(MakeTestDetectionContext(custom, Protocol(), false, {8, 20}).minSize, 10);
  custom.sizeMode = kSizeNone;
  EXPECT_EQ(MakeTestDetectionContext(custom, Protocol(), false, {8, 20}).minSize, -1.0);
}

TEST(TestContext, NothingOutsideTheArenaOrInAShelterIsTakenForTheAnimal) {
  SceneLook scene = LightFloorScene(ArenaShape::Circle);
  scene.arenaRect = cv::Rect(100, 40, 440, 400);
  DetectionSettings settings;
  settings.method = kMethodSubtraction;
  settings.differenceThreshold = 40;
  cv::cvtColor(RenderScene(scene)(cv::Rect(100, 40, 440, 400)), settings.referenceImage,
               cv::COLOR_RGB2GRAY);
  VideoSource source;
  Detector detector(source);
  detector.SetContext(MakeTestDetectionContext(settings, Protocol(), false, {5, 50}));
  AnimalTruth truth;
  cv::Mat frame = RenderAnimalFrame(scene, DarkAnimal(), {{250, 250}, 30}, &truth);
  DrawAnimal(frame, DarkAnimal(), {{410, 230}, 90});  // in the shelter
  DrawAnimal(frame, DarkAnimal(), {{590, 60}, 0});    // beyond the arena
  tMyPoint point;
  cv::Mat mask;
  BlobList blobs;
  DetectInFrame(detector, frame, mask, point, blobs, false);
  ASSERT_TRUE(point.HasAnimal());
  EXPECT_NEAR(point.rawX, truth.centreOfMass.x, 1.0);
  EXPECT_NEAR(point.rawY, truth.centreOfMass.y, 1.0);
  EXPECT_EQ(blobs.size(), 1u);
}

}  // namespace
}  // namespace vx
