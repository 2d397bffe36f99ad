// Cameras without a camera: the device list from a fake sysfs tree, the rate rule, opening
// through scripted devices, the Webcams cache and the acquisition threads.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

#include "support/fake_capture.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "video/camera_list.h"
#include "video/video_source.h"

namespace vx {
namespace {

using testing::CaptureScript;
using testing::FakeCaptureFactory;

void AddNode(const std::string& root, const std::string& folder, const std::string& name,
             const std::string& index = "0") {
  const std::string dir = root + "/" + folder;
  std::filesystem::create_directories(dir);
  if (!name.empty()) testing::WriteFileBytes(dir + "/name", name + "\n");
  if (!index.empty()) testing::WriteFileBytes(dir + "/index", index + "\n");
}

TEST(CameraList, ListsCaptureNodesInDeviceOrder) {
  testing::TempDir root;
  AddNode(root.path(), "video2", "USB Camera B");
  AddNode(root.path(), "video0", "Integrated Webcam");
  AddNode(root.path(), "video1", "Integrated Webcam", "1");  // its metadata node
  AddNode(root.path(), "video10", "");                     // no name file
  AddNode(root.path(), "vbi0", "Teletext");
  CameraList cameras;
  ASSERT_EQ(cameras.Enumerate(root.path()), 3);
  EXPECT_EQ(std::make_tuple(cameras.Name(0), cameras.Name(1), cameras.Name(2)),
            std::make_tuple("Integrated Webcam", "USB Camera B", "video10"));
  EXPECT_EQ(cameras.Device(1), 2);
  EXPECT_EQ(cameras.Find("USB Camera B"), 1);
  EXPECT_EQ(cameras.Find("Nothing"), -1);
  EXPECT_EQ(cameras.Name(7), "");
  EXPECT_EQ(cameras.Device(7), 7);
}

TEST(CaptureRate, SlowRatesAreCapturedAtFiveFramesPerSecond) {
  struct Case { int requested, rate, skip; };
  for (const Case& c : {Case{0, 60, 0}, Case{1, 5, 5}, Case{2, 5, 3}, Case{3, 5, 2},
                        Case{4, 5, 0}, Case{5, 5, 0}, Case{30, 30, 0}}) {
    const CaptureRate rate = CaptureRateFor(c.requested);
    EXPECT_EQ(rate.rate, c.rate) << c.requested;
    EXPECT_EQ(rate.skipFactor, c.skip) << c.requested;
  }
}

class CameraSource : public ::testing::Test {
 protected:
  void SetUp() override {
    AddNode(root.path(), "video0", "Cam A");
    AddNode(root.path(), "video3", "Cam B");
    cameras.Enumerate(root.path());
    script = CaptureScript::Regular(1000, 30.0);
    script->backends = {kBackendV4l2};
    script->cameraSizes = {{320, 240}, {640, 480}, {1280, 720}};
    source = std::make_unique<VideoSource>(FakeCaptureFactory(script), &cameras);
  }
  testing::TempDir root;
  CameraList cameras;
  std::shared_ptr<CaptureScript> script;
  std::unique_ptr<VideoSource> source;
};

TEST_F(CameraSource, OpensAt640By480ThroughAnyInterfaceOrFails) {
  ASSERT_TRUE(source->OpenCamera(1));
  EXPECT_EQ(std::make_tuple(source->cameraIndex(), source->cameraWidth(), source->cameraHeight()),
            std::make_tuple(1, 640, 480));
  script->backends = {kBackendAny};
  script->openAttempts.clear();
  ASSERT_TRUE(source->OpenCamera(0));
  EXPECT_EQ(script->openAttempts, (std::vector<int>{kBackendV4l2, kBackendAny}));
  script->backends = {};
  EXPECT_FALSE(source->OpenCamera(0));
  EXPECT_EQ(std::make_tuple(source->cameraIndex(), source->cameraWidth(), source->cameraHeight()),
            std::make_tuple(-1, 0, 0));
}

TEST_F(CameraSource, ReportsAMissingCameraAndAnUnsupportedSize) {
  EXPECT_EQ(source->OpenCameraFor("Cam Z", 25, 640, 480), VideoStatus::kCameraNotFound);
  EXPECT_EQ(source->OpenCameraFor("Cam A", 25, 800, 600), VideoStatus::kCameraSizeNotSupported);
  EXPECT_EQ(source->CameraCapture(), nullptr);
  EXPECT_EQ(source->cameraIndex(), -1);
}

TEST_F(CameraSource, TriesSizesAndCachesTheAcceptedOnes) {
  ASSERT_TRUE(source->OpenCamera(0));
  EXPECT_TRUE(source->TryCameraSize(320, 240));
  EXPECT_FALSE(source->TryCameraSize(1024, 768));
  testing::MemorySettings settings;
  const std::vector<cv::Size> accepted = source->ProbeCameraSizes(settings, CandidateCameraSizes());
  EXPECT_EQ(accepted, (std::vector<cv::Size>{{320, 240}, {640, 480}, {1280, 720}}));
  EXPECT_EQ(LoadCameraSizes(settings, "Cam A"), accepted);
}

}  // namespace
}  // namespace vx
