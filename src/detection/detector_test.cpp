// The per-frame detector on rendered animals with known positions.
#include "detection/detector.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cmath>

#include "video/synthetic_animal.h"

namespace vx {
namespace {

constexpr double kScale = 1.5;  // mm per pixel: the rendered animal is about 9 cm long

class DetectorTest : public ::testing::Test {
 protected:
  DetectorTest() : detector(source) {}

  SceneLook Scene(bool lightAnimal) const {
    return lightAnimal ? DarkFloorScene() : LightFloorScene();
  }
  AnimalLook Animal(bool lightAnimal) const { return lightAnimal ? LightAnimal() : DarkAnimal(); }

  // Grey band around the animal's level.
  DetectionContext GreyContext(bool lightAnimal) const {
    DetectionSettings settings;
    settings.method = kMethodGrayscale;
    settings.greyLow = lightAnimal ? 180 : 0;
    settings.greyHigh = lightAnimal ? 255 : 70;
    settings.sizeMode = kSizeAnimal;
    return MakeDetectionContext(settings, Inputs());
  }
  ContextInputs Inputs() const {
    ContextInputs inputs;
    inputs.arena = cv::Rect(40, 20, 560, 440);
    inputs.scale = kScale;
    inputs.animalMinSize = 5;
    inputs.animalMaxSize = 50;
    return inputs;
  }

  tMyPoint Detect(const cv::Mat& frame, int index = 0, bool head = false) {
    tMyPoint point;
    point.frame = index;
    point.time = index * 40;
    DetectInFrame(detector, frame, mask, point, blobs, head);
    return point;
  }

  VideoSource source;
  Detector detector;
  cv::Mat mask;
  BlobList blobs;
};

void ExpectAtTruth(const tMyPoint& point, const AnimalTruth& truth, const std::string& label) {
  ASSERT_TRUE(point.HasAnimal()) << label;
  EXPECT_LE(std::abs(point.rawX - truth.centreOfMass.x), 1.0) << label;
  EXPECT_LE(std::abs(point.rawY - truth.centreOfMass.y), 1.0) << label;
  // The box is the body and head, the tail cut off (a pixel or two of its root may stay).
  EXPECT_NEAR(point.boxLeft, truth.bodyBox.x, 3) << label;
  EXPECT_NEAR(point.boxTop, truth.bodyBox.y, 3) << label;
  EXPECT_NEAR(point.boxRight, truth.bodyBox.x + truth.bodyBox.width, 3) << label;
  EXPECT_NEAR(point.boxBottom, truth.bodyBox.y + truth.bodyBox.height, 3) << label;
  EXPECT_GE(point.contour.size(), 3u) << label;
  EXPECT_LE(point.contour.size(), kMaxOutlinePoints) << label;
  for (const cv::Point& p : point.contour) {
    EXPECT_TRUE(p.x >= point.boxLeft && p.x <= point.boxRight && p.y >= point.boxTop &&
                p.y <= point.boxBottom)
        << label;
  }
}

TEST_F(DetectorTest, FindsTheAnimalWhereItWasDrawnDarkOnLightAndLightOnDark) {
  for (bool light : {false, true}) {
    detector.SetContext(GreyContext(light));
    for (int heading = 0; heading < 360; heading += 25) {
      const AnimalPose pose{{150.0 + heading * 0.9, 120.0 + heading * 0.6}, double(heading)};
      AnimalTruth truth;
      const cv::Mat frame = RenderAnimalFrame(Scene(light), Animal(light), pose, &truth);
      const tMyPoint point = Detect(frame);
      ExpectAtTruth(point, truth, std::string(light ? "light " : "dark ") + std::to_string(heading));
      ASSERT_EQ(blobs.size(), 1u);
      EXPECT_TRUE(blobs[0].accepted);
      EXPECT_EQ(blobs[0].centreX, point.rawX);
      EXPECT_GT(cv::countNonZero(mask), truth.bodyPixels);  // the raw mask holds the tail too
    }
  }
}

TEST_F(DetectorTest, ReferenceMethodsAgainstTheEmptyArena) {
  // Subtraction with a fixed and an automatic threshold, and the automatic method with a
  // round detection area, each on a noisy scene whose empty arena is the reference.
  const struct {
    int method;
    bool automaticThreshold;
    SceneLook scene;
    AnimalLook animal;
    bool roundArea;
  } cases[] = {
      {kMethodSubtraction, false, LightFloorScene(), DarkAnimal(), false},
      {kMethodSubtraction, true, LightFloorScene(), DarkAnimal(), false},
      {kMethodAutomatic, false, DarkFloorScene(ArenaShape::Circle), LightAnimal(), true},
  };
  for (auto c : cases) {
    c.scene.noise = 3.0;
    DetectionSettings settings;
    settings.method = c.method;
    settings.differenceThreshold = 40;
    settings.automaticThreshold = c.automaticThreshold;
    ContextInputs inputs = Inputs();
    if (c.roundArea) {
      inputs.detectionArea = cv::Mat::zeros(inputs.arena.size(), CV_8U);
      cv::ellipse(inputs.detectionArea, cv::Point(280, 220), cv::Size(280, 220), 0, 0, 360, cv::Scalar(255),
                  cv::FILLED);
    }
    cv::cvtColor(RenderScene(c.scene)(inputs.arena), settings.referenceImage, cv::COLOR_RGB2GRAY);
    detector.SetContext(MakeDetectionContext(settings, inputs));
    for (int heading = 10; heading < 360; heading += 70) {
      AnimalTruth truth;
      c.scene.noiseSeed = heading;
      const cv::Mat frame =
          RenderAnimalFrame(c.scene, c.animal, {{320.0, 240.0 + heading / 10.0}, double(heading)}, &truth);
      ExpectAtTruth(Detect(frame), truth, "method " + std::to_string(c.method) + " at " + std::to_string(heading));
    }
  }
}

TEST_F(DetectorTest, NothingConfiguredMeansNothingFound) {
  const cv::Mat frame = RenderAnimalFrame(LightFloorScene(), DarkAnimal(), {{300, 200}, 0});
  const tMyPoint point = Detect(frame);
  EXPECT_FALSE(point.HasAnimal());
  EXPECT_EQ(point.boxLeft, -1);
  EXPECT_TRUE(point.contour.empty());
  EXPECT_EQ(mask.size(), frame.size());
  EXPECT_EQ(cv::countNonZero(mask), 0);
  detector.SetContext(GreyContext(false));
  EXPECT_TRUE(Detect(frame).HasAnimal());
  EXPECT_FALSE(Detect(cv::Mat()).HasAnimal());  // an empty frame
  detector.ClearContext();
  EXPECT_FALSE(Detect(frame).HasAnimal());
}

TEST_F(DetectorTest, SeveralAnimalsInPreviewAreNoAnimal) {
  detector.SetContext(GreyContext(false));
  cv::Mat frame = RenderAnimalFrame(LightFloorScene(), DarkAnimal(), {{150, 150}, 0});
  DrawAnimal(frame, DarkAnimal(), {{450, 300}, 90});
  EXPECT_FALSE(Detect(frame).HasAnimal());
  ASSERT_EQ(blobs.size(), 2u);
  EXPECT_TRUE(blobs[0].accepted);
  EXPECT_TRUE(blobs[1].accepted);
  EXPECT_EQ(blobs[0].centreX, -1);
  EXPECT_EQ(cv::countNonZero(mask), 0);  // no animal: no mask either
}

TEST_F(DetectorTest, ASingleLongContourWithoutSizeFilterIsTheAnimalInPreview) {
  DetectionSettings settings;
  settings.method = kMethodGrayscale;
  settings.greyHigh = 70;
  settings.sizeMode = kSizeNone;
  detector.SetContext(MakeDetectionContext(settings, Inputs()));
  cv::Mat frame(480, 640, CV_8UC3, cv::Scalar::all(200));
  frame(cv::Rect(200, 200, 120, 20)).setTo(cv::Scalar::all(30));  // 6 times longer than wide
  const tMyPoint point = Detect(frame);
  ASSERT_TRUE(point.HasAnimal());
  EXPECT_NEAR(point.rawX, 259.5, 1.0);
  EXPECT_NEAR(point.rawY, 209.5, 1.0);
  ASSERT_EQ(blobs.size(), 1u);
  EXPECT_FALSE(blobs[0].accepted);
  detector.trackingMode = true;  // tracking drops what the test rejects
  EXPECT_FALSE(Detect(frame, 1).HasAnimal());
}

TEST_F(DetectorTest, TrackingFollowsTheAnimalPastADistractor) {
  detector.SetContext(GreyContext(false));
  detector.trackingMode = true;
  const std::vector<AnimalPose> path = StraightPath({120, 240}, {240, 240}, 14);
  for (int i = 0; i < 12; ++i) {
    ASSERT_TRUE(Detect(RenderAnimalFrame(LightFloorScene(), DarkAnimal(), path[i]), i).HasAnimal());
  }
  EXPECT_EQ(detector.tracking.counter, 12);
  // A second dark shape far away: outside the tracking window, so the animal is still found.
  cv::Mat frame = RenderAnimalFrame(LightFloorScene(), DarkAnimal(), path[12]);
  DrawAnimal(frame, DarkAnimal(), {{520, 400}, 45});
  AnimalTruth truth;
  DrawAnimal(frame, DarkAnimal(), path[12], &truth);
  const tMyPoint point = Detect(frame, 12);
  ASSERT_TRUE(point.HasAnimal());
  EXPECT_NEAR(point.rawX, truth.centreOfMass.x, 1.0);
  EXPECT_LT(point.boxRight, 300);
  // Without the history the two shapes are two candidates: no animal.
  detector.ResetTracking();
  EXPECT_FALSE(Detect(frame, 13).HasAnimal());
  EXPECT_EQ(detector.tracking.counter, 0);
}

TEST_F(DetectorTest, AnAnimalTooFarFromTheLastOneIsIgnored) {
  DetectionContext context = GreyContext(false);
  context.scale = 1.0;  // 0.1 s at 1 m/s: 100 pixels
  context.minSize = context.maxSize = -1.0;
  detector.SetContext(context);
  detector.trackingMode = true;
  for (int i = 0; i < 10; ++i) {
    const cv::Mat frame = RenderAnimalFrame(LightFloorScene(), DarkAnimal(), {{120.0 + i, 200}, 0});
    ASSERT_TRUE(Detect(frame, i).HasAnimal());
  }
  ASSERT_EQ(detector.tracking.counter, 10);
  tMyPoint point;
  point.frame = 10;
  point.time = detector.tracking.last.time + 100;
  const cv::Mat jump = RenderAnimalFrame(LightFloorScene(), DarkAnimal(), {{480, 300}, 0});
  DetectInFrame(detector, jump, mask, point, blobs, false);
  EXPECT_FALSE(point.HasAnimal());
  EXPECT_EQ(detector.tracking.counter, 9);
  EXPECT_EQ(cv::countNonZero(mask), 0);
  // Once the counter is below 10 the check is off and the animal is found there.
  point.time += 40;
  DetectInFrame(detector, jump, mask, point, blobs, false);
  EXPECT_TRUE(point.HasAnimal());
  EXPECT_EQ(detector.tracking.counter, 10);
}

TEST_F(DetectorTest, JumpsAndReopeningStartTheMemoriesAgain) {
  detector.SetContext(GreyContext(false));
  const cv::Mat animal = RenderAnimalFrame(LightFloorScene(), DarkAnimal(), {{300, 200}, 0});
  for (int i = 5; i < 9; ++i) {
    detector.NoteFrame(i);
    Detect(animal, i);
  }
  EXPECT_EQ(detector.tracking.counter, 4);
  detector.NoteFrame(20);
  EXPECT_EQ(detector.tracking.counter, 0);
  EXPECT_EQ(detector.tracking.last.rawX, -1);
  Detect(animal, 20);
  detector.NoteFrame(0);
  EXPECT_EQ(detector.tracking.counter, 0);
}

}  // namespace
}  // namespace vx
