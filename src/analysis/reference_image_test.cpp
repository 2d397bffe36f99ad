// Reference images from the library, from the recipe replayed on the video, and from the
// background of the arena.
#include "analysis/reference_image.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include "base/system_platform.h"
#include "support/rendered_capture.h"
#include "support/temp_dir.h"

namespace vx {
namespace {

using testing::RenderedCaptureFactory;
using testing::RenderedScript;

SceneLook Scene() {
  SceneLook scene = LightFloorScene(ArenaShape::Rectangle);
  scene.size = {160, 120};
  scene.arenaRect = {20, 10, 120, 100};
  scene.noise = 2.0;  // a camera's noise, different in every frame
  return scene;
}

// Frame k shows the animal at x = 30 + 2k (or nowhere past the path).
std::shared_ptr<RenderedScript> Walk(int frames) {
  std::vector<AnimalPose> poses;
  for (int k = 0; k < frames; ++k) poses.push_back({{30.0 + 2 * k, 60.0}, 0.0});
  AnimalLook look;
  look.bodyLength = 16;
  look.bodyWidth = 8;
  look.headLength = 6;
  look.headWidth = 5;
  look.tailLength = 0;
  return RenderedScript::Regular(Scene(), look, poses, 25.0);
}

cv::Mat Frame(const RenderedScript& script, int k) { return script.FrameImage(k); }

cv::Mat EmptyArena() {
  SceneLook clean = Scene();
  clean.noise = 0;
  return RenderScene(clean)(clean.arenaRect);
}

cv::Mat Grey(const cv::Mat& frame) {
  cv::Mat grey;
  cv::cvtColor(frame, grey, cv::COLOR_RGB2GRAY);
  return grey;
}

double MaxDifference(const cv::Mat& a, const cv::Mat& b) {
  cv::Mat difference;
  cv::absdiff(a, b, difference);
  double most = 0;
  cv::minMaxLoc(difference.reshape(1), nullptr, &most);
  return most;
}

class ReferenceImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    script = Walk(40);
    testing::WriteFileBytes(dir.File("walk.avi"), "");  // the rendered stream stands in for it
    source = std::make_unique<VideoSource>(RenderedCaptureFactory(script));
    ASSERT_EQ(source->OpenFile(dir.File("walk.avi")), VideoStatus::kOk);
    inputs.source = source.get();
    inputs.videoPath = dir.File("walk.avi");
    inputs.files = &files;
    inputs.context.arena = Scene().arenaRect;
    inputs.context.scale = 2.0;
    inputs.context.minSize = 1;
    inputs.context.maxSize = 20;
    inputs.lastFrame = 39;
  }

  testing::TempDir dir;
  SystemFileSystem files;
  std::shared_ptr<RenderedScript> script;
  std::unique_ptr<VideoSource> source;
  ReferenceInputs inputs;
};

TEST(ReferenceRecipe, PastesEachPatchFromItsOwnFrame) {
  const auto script = Walk(10);
  const auto frame = [&](int k) { return k < 10 ? Frame(*script, k) : cv::Mat(); };
  const cv::Mat image = ReplayReferenceRecipe("3;8,0,0,80,120;", true, frame);
  ASSERT_EQ(image.size(), Scene().size);
  ASSERT_EQ(image.type(), CV_8UC1);
  EXPECT_EQ(MaxDifference(image(cv::Rect(0, 0, 80, 120)), Grey(Frame(*script, 8))(cv::Rect(0, 0, 80, 120))), 0);
  EXPECT_EQ(MaxDifference(image(cv::Rect(80, 0, 80, 120)), Grey(Frame(*script, 3))(cv::Rect(80, 0, 80, 120))), 0);
  // Colour, with a malformed patch and one from an unreadable frame left out.
  const cv::Mat colour = ReplayReferenceRecipe("2;1,2,3;50,0,0,10,10;", false, frame);
  ASSERT_EQ(colour.type(), CV_8UC3);
  EXPECT_EQ(MaxDifference(colour, Frame(*script, 2)), 0);
  // No whole frame, or an unreadable one: nothing.
  EXPECT_TRUE(ReplayReferenceRecipe("", true, frame).empty());
  EXPECT_TRUE(ReplayReferenceRecipe("x;", true, frame).empty());
  EXPECT_TRUE(ReplayReferenceRecipe("-1;", true, frame).empty());
  EXPECT_TRUE(ReplayReferenceRecipe("60;", true, frame).empty());
}

TEST_F(ReferenceImageTest, LibraryImagesAreTakenAsStoredAndCutToTheArena) {
  const cv::Mat stored(120, 160, CV_8UC1, cv::Scalar(77));
  inputs.library = [&](int id) { return id == 7 ? stored : cv::Mat(); };
  DetectionSettings settings;
  settings.method = kMethodSubtraction;
  settings.referenceImageId = 7;
  ASSERT_TRUE(PrepareReference(settings, inputs));
  EXPECT_EQ(settings.referenceImage.size(), cv::Size(120, 100));
  settings.method = kMethodAutomatic;
  settings.backgroundFlag = false;
  ASSERT_TRUE(PrepareReference(settings, inputs));
  EXPECT_EQ(settings.referenceImage.size(), cv::Size(160, 120));
  // An id the library does not have leaves no reference (detection then finds nothing).
  settings.referenceImageId = 8;
  EXPECT_TRUE(PrepareReference(settings, inputs));
  EXPECT_TRUE(settings.referenceImage.empty());
}

TEST_F(ReferenceImageTest, TheRecipeIsReplayedOnTheVideoAndPassesThroughJpeg) {
  DetectionSettings settings;
  settings.method = kMethodSubtractionAdvanced;
  settings.referenceImageId = 0;
  settings.referenceRecipe = "0;39,0,0,80,120;";
  source->GoToFrame(12);
  ASSERT_TRUE(PrepareReference(settings, inputs));
  EXPECT_EQ(source->currentFrame(), 12);  // position restored
  ASSERT_EQ(settings.referenceImage.type(), CV_8UC3);
  ASSERT_EQ(settings.referenceImage.size(), cv::Size(120, 100));
  // Frame 0 shows the animal at x = 30 and frame 39 at x = 108: the composite is the empty
  // arena, up to the JPEG encoding.
  EXPECT_LT(MaxDifference(settings.referenceImage, EmptyArena()), 40);
  cv::Mat original = Frame(*script, 0);
  Frame(*script, 39)(cv::Rect(0, 0, 80, 120)).copyTo(original(cv::Rect(0, 0, 80, 120)));
  EXPECT_GT(MaxDifference(settings.referenceImage, original(Scene().arenaRect)), 0);  // JPEG

  settings.method = kMethodSubtraction;
  ASSERT_TRUE(PrepareReference(settings, inputs));
  EXPECT_EQ(settings.referenceImage.type(), CV_8UC1);
}

TEST_F(ReferenceImageTest, AMissingVideoLeavesTheReferenceUnchanged) {
  DetectionSettings settings;
  settings.method = kMethodSubtraction;
  settings.referenceImageId = 0;
  settings.referenceRecipe = "0;";
  settings.referenceImage = cv::Mat(3, 3, CV_8UC1, cv::Scalar(5));
  inputs.videoPath = dir.File("moved.avi");
  EXPECT_FALSE(PrepareReference(settings, inputs));
  EXPECT_EQ(settings.referenceImage.size(), cv::Size(3, 3));
  // A recipe that names no frame cannot be replayed either.
  inputs.videoPath = dir.File("walk.avi");
  settings.referenceRecipe = "";
  EXPECT_FALSE(PrepareReference(settings, inputs));
}

TEST_F(ReferenceImageTest, TheAutomaticMethodTakesTheBackgroundOfTheArena) {
  // A lap round the arena, 7 pixels a frame.
  std::vector<AnimalPose> lap;
  const cv::Point2d corners[] = {{40, 30}, {120, 30}, {120, 90}, {40, 90}};
  for (int c = 0; c < 4; ++c) {
    const std::vector<AnimalPose> leg = StraightPath(corners[c], corners[(c + 1) % 4], 11);
    lap.insert(lap.end(), leg.begin(), leg.end() - 1);
  }
  *script = *RenderedScript::Regular(Scene(), script->look, lap, 25.0);
  DetectionSettings settings;
  settings.method = kMethodAutomatic;
  settings.backgroundFlag = true;
  ASSERT_TRUE(PrepareReference(settings, inputs));
  ASSERT_EQ(settings.referenceImage.size(), cv::Size(120, 100));
  EXPECT_LE(MaxDifference(settings.referenceImage, Grey(EmptyArena())), 12);
}

}  // namespace
}  // namespace vx
