// Head detection on rendered animals whose head end is known.
#include "detection/head_detection.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cmath>

#include "detection/detector.h"
#include "video/synthetic_animal.h"

namespace vx {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Where a head point lies on the rendered animal: at the front when it is nearer to the head
// tip than to the rear of the body.
bool AtFront(cv::Point head, const AnimalTruth& truth, const AnimalPose& pose,
             const AnimalLook& look) {
  const double a = pose.headingDeg * kPi / 180.0;
  const cv::Point2d rear = pose.centre - cv::Point2d(std::cos(a), std::sin(a)) * (look.bodyLength / 2);
  const cv::Point2d h(head);
  return cv::norm(h - truth.headTip) < cv::norm(h - rear);
}

struct HeadRun {
  int frames = 0;
  int withHead = 0;
  int atFront = 0;
  double Share() const { return frames ? static_cast<double>(atFront) / frames : 0.0; }
};

ContextInputs MouseInputs() {
  ContextInputs inputs;
  inputs.arena = cv::Rect(40, 20, 560, 440);
  inputs.scale = 1.5;
  inputs.animalMinSize = 5;
  inputs.animalMaxSize = 50;
  inputs.headDetection = true;
  return inputs;
}

// Tracks a rendered animal along poses with head detection on.
HeadRun TrackHeads(const std::vector<AnimalPose>& poses, const SceneLook& scene,
                   const AnimalLook& look, bool lightAnimal, std::vector<cv::Point>* heads = nullptr,
                   const ContextInputs& inputs = MouseInputs(), int frameMs = 40) {
  VideoSource source;
  Detector detector(source);
  DetectionSettings settings;
  settings.method = kMethodGrayscale;
  settings.greyLow = lightAnimal ? 180 : 0;
  settings.greyHigh = lightAnimal ? 255 : 70;
  detector.SetContext(MakeDetectionContext(settings, inputs));
  detector.trackingMode = true;
  HeadRun run;
  cv::Mat mask;
  BlobList blobs;
  for (size_t i = 0; i < poses.size(); ++i) {
    AnimalTruth truth;
    const cv::Mat frame = RenderAnimalFrame(scene, look, poses[i], &truth);
    tMyPoint point;
    point.frame = static_cast<int>(i);
    point.time = static_cast<int>(i) * frameMs;
    DetectInFrame(detector, frame, mask, point, blobs, true);
    ++run.frames;
    const cv::Point head(point.headX, point.headY);
    if (heads) heads->push_back(head);
    if (!point.HasHead()) continue;
    ++run.withHead;
    if (AtFront(head, truth, poses[i], look)) ++run.atFront;
  }
  return run;
}

// Wandering: a smooth random walk that turns, accelerates and slows down.
std::vector<AnimalPose> Wander(int frames, int seed) {
  cv::RNG rng(seed);
  std::vector<AnimalPose> poses;
  cv::Point2d p(320, 240);
  double heading = rng.uniform(0.0, 360.0);
  double speed = 3.0;
  for (int i = 0; i < frames; ++i) {
    heading += rng.gaussian(12.0);
    speed = std::clamp(speed + rng.gaussian(0.8), 1.0, 7.0);
    cv::Point2d step(std::cos(heading * kPi / 180) * speed, std::sin(heading * kPi / 180) * speed);
    cv::Point2d next = p + step;
    if (next.x < 110 || next.x > 530 || next.y < 90 || next.y > 390) {
      heading += 180;  // turn round at the walls
      step = -step;
      next = p + step;
    }
    p = next;
    poses.push_back({p, heading});
  }
  return poses;
}

TEST(HeadDetection, FindsTheFrontEndOfAMovingAnimalInNearlyEveryFrame) {
  struct Case {
    const char* name;
    std::vector<AnimalPose> poses;
  };
  const std::vector<Case> cases = {
      {"clockwise circle", CirclePath({320, 240}, 150, 120, 3.0)},
      {"anticlockwise circle", CirclePath({320, 240}, 120, 120, -4.0, 70)},
      {"diagonal", StraightPath({150, 120}, {500, 380}, 80)},
      {"leftwards", StraightPath({520, 300}, {120, 260}, 80)},
      {"wandering", Wander(300, 3)},
      {"wandering again", Wander(300, 11)},
  };
  int frames = 0;
  int atFront = 0;
  for (bool light : {false, true}) {
    for (const Case& c : cases) {
      const HeadRun run = TrackHeads(c.poses, light ? DarkFloorScene() : LightFloorScene(),
                                 light ? LightAnimal() : DarkAnimal(), light);
      EXPECT_GE(run.Share(), 0.9) << c.name << (light ? " light" : " dark") << ": "
                                  << run.atFront << " of " << run.frames;
      frames += run.frames;
      atFront += run.atFront;
    }
  }
  const double share = static_cast<double>(atFront) / frames;
  RecordProperty("HeadAtFrontPercent", std::to_string(share * 100));
  EXPECT_GE(share, 0.95) << atFront << " of " << frames;
}

TEST(HeadDetection, ASingleFrameWithoutHistoryIsReadFromTheShape) {
  for (bool light : {false, true}) {
    for (int heading = 0; heading < 360; heading += 5) {
      const std::vector<AnimalPose> pose = {{{320.0, 240.0}, double(heading)}};
      const HeadRun run = TrackHeads(pose, light ? DarkFloorScene() : LightFloorScene(),
                                     light ? LightAnimal() : DarkAnimal(), light);
      EXPECT_EQ(run.atFront, 1) << (light ? "light " : "dark ") << heading;
    }
  }
}

TEST(BodyEnd, TakesTheOuterPartOfEachEnd) {
  cv::Mat mask = cv::Mat::zeros(40, 100, CV_8U);
  mask(cv::Rect(20, 10, 60, 20)).setTo(255);
  const cv::RotatedRect box({49.5f, 19.5f}, {60.0f, 20.0f}, 0.0f);
  const cv::Mat start = BodyEnd(mask, box, kEndRegionFraction, true);
  const cv::Mat far = BodyEnd(mask, box, kEndRegionFraction, false);
  const cv::Point startPoint = EndPoint(start);
  const cv::Point farPoint = EndPoint(far);
  EXPECT_NEAR(cv::countNonZero(start), 0.3 * 60 * 20, 40);
  EXPECT_NEAR(cv::countNonZero(far), 0.3 * 60 * 20, 40);
  EXPECT_NEAR(startPoint.x, 29, 1);
  EXPECT_NEAR(farPoint.x, 70, 1);
  EXPECT_NEAR(startPoint.y, 19.5, 1);
  EXPECT_EQ(EndPoint(cv::Mat::zeros(5, 5, CV_8U)), cv::Point(-1, -1));
  // A tall box has its long axis downwards: the start end is at the top.
  const cv::RotatedRect tall({50.0f, 20.0f}, {8.0f, 30.0f}, 0.0f);
  cv::Mat column = cv::Mat::zeros(40, 100, CV_8U);
  column(cv::Rect(46, 5, 9, 31)).setTo(255);
  EXPECT_LT(EndPoint(BodyEnd(column, tall, kEndRegionFraction, true)).y, 15);
}

}  // namespace
}  // namespace vx
