// The renderer's truth, checked on the pixels it draws.
#include "video/synthetic_animal.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cmath>

#include "support/temp_dir.h"
#include "video/video_source.h"

namespace vx {
namespace {

TEST(SyntheticAnimal, TheHeadLiesAheadAlongTheHeading) {
  for (int heading = 0; heading < 360; heading += 45) {
    AnimalTruth truth;
    const AnimalPose pose{{320, 240}, double(heading)};
    RenderAnimalFrame(LightFloorScene(), DarkAnimal(), pose, &truth);
    const double a = heading * 3.14159265358979 / 180;
    const cv::Point2d forward(std::cos(a), std::sin(a));
    // Head tip: half the body, then the head minus its overlap, ahead of the centre.
    EXPECT_NEAR((truth.headTip - pose.centre).dot(forward), 22 + 18 - 0.35 * 18, 1e-9);
    // The head's mass pulls the centre of mass forward, the tail does not count.
    EXPECT_GT((truth.centreOfMass - pose.centre).dot(forward), 1.0);
    EXPECT_LT(std::abs((truth.centreOfMass - pose.centre).cross(forward)), 0.5);
    EXPECT_TRUE(truth.bodyBox.contains(cv::Point(pose.centre)));
    EXPECT_LT((truth.tailTip - pose.centre).dot(forward), -60);
  }
}

TEST(SyntheticAnimal, TruthCountsExactlyTheBodyPixelsDrawn) {
  AnimalLook look = DarkAnimal();
  look.tailLength = 0;
  AnimalTruth truth;
  const cv::Mat frame = RenderAnimalFrame(LightFloorScene(ArenaShape::None), look, {{100.3, 80.7}, 17}, &truth);
  cv::Mat animal;
  cv::inRange(frame, look.colour, look.colour, animal);
  EXPECT_EQ(cv::countNonZero(animal), truth.bodyPixels);
  const cv::Moments m = cv::moments(animal, true);
  EXPECT_NEAR(m.m10 / m.m00, truth.centreOfMass.x, 1e-9);
  EXPECT_NEAR(m.m01 / m.m00, truth.centreOfMass.y, 1e-9);
  EXPECT_EQ(cv::boundingRect(animal), truth.bodyBox);
  const cv::Mat empty = RenderScene(DarkFloorScene(ArenaShape::Circle));
  EXPECT_EQ(empty.at<cv::Vec3b>(240, 320), cv::Vec3b(30, 30, 30));  // floor
  EXPECT_EQ(empty.at<cv::Vec3b>(2, 2), cv::Vec3b(150, 150, 150));   // outside the arena
}

TEST(SyntheticAnimal, WritesAVideoOfThePath) {
  testing::TempDir dir;
  const std::vector<AnimalPose> poses = StraightPath({100, 100}, {300, 200}, 12);
  std::vector<AnimalTruth> truths;
  ASSERT_TRUE(WriteSyntheticVideo(dir.File("walk.avi"), "MJPG", 25, LightFloorScene(), DarkAnimal(), poses, &truths));
  EXPECT_EQ(truths.size(), poses.size());
  VideoSource source;
  ASSERT_EQ(source.OpenFile(dir.File("walk.avi")), VideoStatus::kOk);
  EXPECT_EQ(source.frameCount(), 12);
  EXPECT_FALSE(WriteSyntheticVideo(dir.File("bad.avi"), "MJP", 25, LightFloorScene(), DarkAnimal(), poses));
  EXPECT_FALSE(WriteSyntheticVideo(dir.path() + "/no/such/folder/x.avi", "MJPG", 25, LightFloorScene(), DarkAnimal(), poses));
}

}  // namespace
}  // namespace vx
