// The background of the arena computed from rendered frames and videos, compared with the
// rendered empty arena.
#include "analysis/arena_background.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cmath>

#include "support/rendered_capture.h"
#include "support/temp_dir.h"
#include "video/synthetic_animal.h"

namespace vx {
namespace {

// A small arena (320 × 240 frame, 2 mm per pixel) with a mouse-sized animal (about 10 cm²).
SceneLook SmallScene() {
  SceneLook scene = LightFloorScene(ArenaShape::Rectangle);
  scene.size = {320, 240};
  scene.arenaRect = {20, 10, 280, 220};
  return scene;
}

// The same with a camera's noise, different in every frame: without it the differences of two
// frames hold only two grey levels and Otsu's threshold says nothing moved.
SceneLook NoisyScene() {
  SceneLook scene = SmallScene();
  scene.noise = 2.0;
  return scene;
}

// Tolerance of a background made from noisy frames against the noise-free arena.
constexpr int kNoiseTolerance = 12;

DetectionContext ArenaContext(const SceneLook& scene) {
  DetectionContext context;
  context.method = kMethodAutomatic;
  context.arena = scene.arenaRect;
  context.scale = 2.0;
  context.minSize = 5;
  context.maxSize = 50;
  return context;
}

cv::Mat Grey(const cv::Mat& frame, const cv::Rect& region) {
  cv::Mat grey;
  cv::cvtColor(frame(region), grey, cv::COLOR_RGB2GRAY);
  return grey;
}

// Pixels of the background that differ from the empty arena by more than a visible amount.
int VisibleDifferences(const cv::Mat& background, const SceneLook& scene, int tolerance) {
  cv::Mat difference;
  SceneLook clean = scene;
  clean.noise = 0;
  cv::absdiff(background, Grey(RenderScene(clean), scene.arenaRect), difference);
  return cv::countNonZero(difference > tolerance);
}

// A tour of the arena: corner to corner along its edges, one lap over `frames` frames.
std::vector<AnimalPose> Tour(const SceneLook& scene, int frames) {
  const cv::Rect a = scene.arenaRect;
  const std::vector<cv::Point2d> corners = {{a.x + 40.0, a.y + 40.0},
                                            {a.x + a.width - 40.0, a.y + 40.0},
                                            {a.x + a.width - 40.0, a.y + a.height - 40.0},
                                            {a.x + 40.0, a.y + a.height - 40.0}};
  std::vector<AnimalPose> poses;
  const int leg = frames / 4;
  for (int c = 0; c < 4; ++c) {
    const std::vector<AnimalPose> part = StraightPath(corners[c], corners[(c + 1) % 4], leg + 1);
    poses.insert(poses.end(), part.begin(), part.end() - 1);
  }
  while (static_cast<int>(poses.size()) < frames) poses.push_back(poses.back());
  return poses;
}

GreyFrameReader ReaderOf(const SceneLook& scene, const AnimalLook& look,
                         const std::vector<AnimalPose>& poses, int* reads = nullptr) {
  return [=](int index, cv::Mat& grey) {
    if (reads) ++*reads;
    if (index < 0 || index >= static_cast<int>(poses.size())) return false;
    SceneLook frame = scene;
    frame.noiseSeed += index;
    grey = Grey(RenderAnimalFrame(frame, look, poses[index]), scene.arenaRect);
    return true;
  };
}

TEST(ArenaBackground, AnimalSidesFollowTheSizeBoundsAndTheScale) {
  DetectionContext context = ArenaContext(SmallScene());
  const AnimalSides sides = AnimalSidesOf(context);
  EXPECT_NEAR(sides.large, std::sqrt(50 * 100 * 5.0) / 2.0, 1e-9);  // 79.06 pixels
  EXPECT_NEAR(sides.small, std::sqrt(5 * 100.0) / 2.0, 1e-9);       // 11.18 pixels
  context.scale = 0;
  EXPECT_EQ(AnimalSidesOf(context).large, 0.0);
  context.scale = 2.0;
  context.minSize = context.maxSize = -1.0;  // no size filter
  EXPECT_EQ(AnimalSidesOf(context).small, 0.0);
  EXPECT_EQ(AnimalSidesOf(context).large, 0.0);
}

TEST(ArenaBackground, TheMarginIsTheLargestThatKeepsTheBoxesApart) {
  // Grown by m, the boxes overlap while 10 + m > 100 - m: m = 44 is the largest even margin
  // below 3 × 20 that keeps them apart.
  EXPECT_EQ(CompositeMargin({0, 0, 10, 10}, {100, 0, 10, 10}, 20.0), 44);
  // Far apart: the search starts at 3 × the large side.
  EXPECT_EQ(CompositeMargin({0, 0, 10, 10}, {1000, 0, 10, 10}, 20.0), 60);
  // Too close for half the boxes' larger side (5) to fit.
  EXPECT_EQ(CompositeMargin({0, 0, 10, 10}, {12, 0, 10, 10}, 20.0), -1);
  EXPECT_EQ(CompositeMargin({0, 0, 10, 10}, {5, 5, 10, 10}, 20.0), -1);
  // Unknown size: the boxes' own larger side stands in for the large side.
  EXPECT_EQ(CompositeMargin({0, 0, 10, 10}, {1000, 0, 10, 10}, 0.0), 30);
}

TEST(ArenaBackground, CompositesOfSamplesWithTheAnimalElsewhereGiveTheEmptyArena) {
  const SceneLook scene = SmallScene();
  const AnimalLook look = testing::SmallMouse();
  std::vector<BackgroundSample> samples;
  for (cv::Point2d at : {cv::Point2d(70, 60), cv::Point2d(230, 70), cv::Point2d(150, 180)}) {
    AnimalTruth truth;
    const cv::Mat frame = RenderAnimalFrame(scene, look, {at, 30.0}, &truth);
    samples.push_back({Grey(frame, scene.arenaRect), truth.bodyBox - scene.arenaRect.tl()});
  }
  const cv::Mat background = ComposeBackground(samples, 30.0);
  ASSERT_EQ(background.size(), scene.arenaRect.size());
  ASSERT_EQ(background.type(), CV_8UC1);
  EXPECT_EQ(VisibleDifferences(background, scene, 0), 0);
  // One sample, or samples whose animals overlap, compose nothing.
  EXPECT_TRUE(ComposeBackground({samples[0]}, 30.0).empty());
  EXPECT_TRUE(ComposeBackground({samples[0], samples[0]}, 30.0).empty());
}

TEST(ArenaBackground, ComputedFromAWalkHasNoAnimalInIt) {
  const SceneLook scene = NoisyScene();
  const std::vector<AnimalPose> poses = Tour(scene, 100);
  const ArenaBackground background = ComputeArenaBackground(
      ReaderOf(scene, testing::SmallMouse(), poses), scene.arenaRect, ArenaContext(scene), 0, 99);
  ASSERT_EQ(background.image.size(), scene.arenaRect.size());
  EXPECT_EQ(background.method, BackgroundMethod::kComposite);
  EXPECT_EQ(VisibleDifferences(background.image, scene, kNoiseTolerance), 0);
}

TEST(ArenaBackground, WithoutUsablePairsTheMiddleFrameIsPaintedOver) {
  // The animal sits in one corner at every sampling time (20%, 34%, 48%, 62%, 76% and the
  // frames after them) and visits the other corners in between: no two samples can be
  // combined, and the fallback must clean the middle frame.
  const SceneLook scene = NoisyScene();
  const std::vector<cv::Point2d> elsewhere = {{230, 60}, {230, 180}, {70, 180}};
  std::vector<AnimalPose> poses;
  for (int i = 0; i < 100; ++i) {
    const bool sampled = (i >= 20 && i <= 30) || (i >= 34 && i <= 44) || (i >= 48 && i <= 58) ||
                         (i >= 62 && i <= 72) || (i >= 76 && i <= 86);
    const cv::Point2d at = sampled ? cv::Point2d(70 + (i % 3), 60) : elsewhere[(i / 5) % 3];
    poses.push_back({at, 0.0});
  }
  const ArenaBackground background = ComputeArenaBackground(
      ReaderOf(scene, testing::SmallMouse(), poses), scene.arenaRect, ArenaContext(scene), 0, 99);
  ASSERT_EQ(background.image.size(), scene.arenaRect.size());
  EXPECT_EQ(VisibleDifferences(background.image, scene, kNoiseTolerance), 0);
}

TEST(ArenaBackground, AnAnimalRestingAtEverySampleGivesTheMedianAndSaysSo) {
  // The animal rests in one corner for most of the period: at every composite sample and the
  // frames after it, in the middle frame and in every frame the painted fallback compares it
  // with. It is elsewhere only in most of the frames spread evenly over the period (every 4th
  // from frame 2), so that the composite finds no pair and the painted middle frame keeps the
  // animal; the median of the spread frames is the empty arena.
  const SceneLook scene = NoisyScene();
  const std::vector<cv::Point2d> elsewhere = {{230, 60}, {230, 180}, {70, 180}};
  std::vector<AnimalPose> poses;
  for (int i = 0; i < 100; ++i) {
    const bool away = i % 4 == 2 && i != 22 && i != 50 && i != 86;
    poses.push_back({away ? elsewhere[(i / 4) % 3] : cv::Point2d(70, 60), 0.0});
  }
  const ArenaBackground background = ComputeArenaBackground(
      ReaderOf(scene, testing::SmallMouse(), poses), scene.arenaRect, ArenaContext(scene), 0, 99);
  ASSERT_EQ(background.image.size(), scene.arenaRect.size());
  EXPECT_EQ(background.method, BackgroundMethod::kTemporalMedian);
  EXPECT_EQ(VisibleDifferences(background.image, scene, kNoiseTolerance), 0);
  EXPECT_EQ(background.checkedFrames, 25);
  EXPECT_EQ(background.compositeFinds, 0);
  EXPECT_EQ(background.chosenFinds, 25);
}

TEST(ArenaBackground, TheMedianIsTakenPixelByPixel) {
  const cv::Mat a = (cv::Mat_<uint8_t>(1, 3) << 0, 200, 7);
  const cv::Mat b = (cv::Mat_<uint8_t>(1, 3) << 10, 100, 7);
  const cv::Mat c = (cv::Mat_<uint8_t>(1, 3) << 255, 0, 9);
  const cv::Mat median = TemporalMedian({a, b, c});
  EXPECT_EQ(cv::countNonZero(median != (cv::Mat_<uint8_t>(1, 3) << 10, 100, 7)), 0);
  EXPECT_TRUE(TemporalMedian({a, cv::Mat(2, 2, CV_8UC1)}).empty());  // sizes differ
  EXPECT_TRUE(TemporalMedian({}).empty());
}

TEST(ArenaBackground, AnUnreadableVideoGivesNothing) {
  const SceneLook scene = SmallScene();
  const GreyFrameReader none = [](int, cv::Mat&) { return false; };
  EXPECT_TRUE(
      ComputeArenaBackground(none, scene.arenaRect, ArenaContext(scene), 0, 99).image.empty());
  EXPECT_TRUE(
      ComputeArenaBackground(none, scene.arenaRect, ArenaContext(scene), 5, 4).image.empty());
}

}  // namespace
}  // namespace vx
