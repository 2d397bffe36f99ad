// Annotated videos and track pictures decoded back: every frame of the period is there, and the
// marks sit where the rendered animal and the zones are.
#include "drawing/overlay.h"

#include <gtest/gtest.h>

#include <opencv2/videoio.hpp>

#include "drawing/track_drawing.h"
#include "support/temp_dir.h"
#include "video/synthetic_animal.h"
#include "zones/draw_rect.h"

namespace vx {
namespace {

constexpr uint32_t kZoneColour = 0x0000FF;  // pure red (0x00BBGGRR)

bool IsRed(const cv::Vec3b& p) { return p[2] > 170 && p[1] < 90 && p[0] < 90; }

// Red pixels within radius of a point: the centre cross, or a red zone's outline.
int RedPixelsNear(const cv::Mat& image, cv::Point at, int radius) {
  int count = 0;
  for (int y = at.y - radius; y <= at.y + radius; ++y) {
    for (int x = at.x - radius; x <= at.x + radius; ++x) {
      if (x >= 0 && y >= 0 && x < image.cols && y < image.rows && IsRed(image.at<cv::Vec3b>(y, x))) ++count;
    }
  }
  return count;
}

class OverlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scene = LightFloorScene(ArenaShape::Rectangle);
    scene.size = {320, 240};
    scene.arenaRect = {20, 20, 280, 200};
    poses = StraightPath({60, 120}, {260, 120}, 30);
    video = dir.File("walk.avi");
    ASSERT_TRUE(WriteSyntheticVideo(video, "MJPG", 25, scene, DarkAnimal(), poses, &truths));
    for (size_t i = 0; i < truths.size(); ++i) {
      if (i % 10 == 9) continue;  // a few frames without a detection
      tMyPoint p;
      p.frame = static_cast<int>(i);
      p.rawX = static_cast<int>(truths[i].centreOfMass.x);
      p.rawY = static_cast<int>(truths[i].centreOfMass.y);
      points.push_back(p);
    }
    zones.SetImageSize(320, 240, false, false);
    auto zone = std::make_unique<CDrawRect>(kKindRectangle, PixelRect{100, 40, 200, 90});
    zone->pen.color = kZoneColour;
    zones.AddZone(std::move(zone));
  }

  testing::TempDir dir;
  SceneLook scene;
  std::vector<AnimalPose> poses;
  std::vector<AnimalTruth> truths;
  std::string video;
  std::vector<tMyPoint> points;
  ZoneSet zones;
};

TEST_F(OverlayTest, VideoHoldsThePeriodWithCentresAndZones) {
  VideoSource source;
  ASSERT_EQ(source.OpenFile(video), VideoStatus::kOk);
  VideoFileWriter writer;
  const std::string out = dir.File("overlay.mp4");
  ASSERT_TRUE(writer.Open(out, source.fps(), {320, 240}));
  const OverlayResult result = WriteOverlayVideo(source, points, zones, 5, 24, writer);
  writer.Close();
  ASSERT_EQ(result.status, OverlayStatus::kOk);
  EXPECT_EQ(result.framesWritten, 20);

  cv::VideoCapture decoded(out, cv::CAP_FFMPEG);
  ASSERT_TRUE(decoded.isOpened());
  cv::Mat frame;
  int n = 0;
  while (decoded.read(frame)) {
    const int index = 5 + n++;
    const cv::Point centre(truths[index].centreOfMass);
    const bool detected = index % 10 != 9;
    // The centre cross where the animal was found, nothing red on an undetected animal.
    EXPECT_EQ(RedPixelsNear(frame, centre, 3) > 5, detected) << "frame " << index;
    EXPECT_GT(RedPixelsNear(frame, {150, 40}, 2), 3) << "zone outline, frame " << index;
  }
  EXPECT_EQ(n, 20);
}

TEST_F(OverlayTest, PictureShowsTheWholeTrack) {
  const cv::Mat picture = DrawTrackPicture(RenderScene(scene), points, zones);
  ASSERT_EQ(picture.size(), cv::Size(320, 240));
  const TrackColours colours;
  int trackPixels = 0;
  for (int x = 80; x <= 240; ++x) {
    for (int y = 116; y <= 124; ++y) {
      const cv::Vec3b p = picture.at<cv::Vec3b>(y, x);
      trackPixels += cv::norm(cv::Vec3d(p[0], p[1], p[2]) - cv::Vec3d(colours.track[0], colours.track[1], colours.track[2])) < 60;
    }
  }
  EXPECT_GT(trackPixels, 150);  // a line all along the walk
  EXPECT_GT(RedPixelsNear(picture, {150, 90}, 2), 3);
}

TEST_F(OverlayTest, StopsWithTheFramesItCouldWriteWhenTheWriterFails) {
  VideoSource source;
  ASSERT_EQ(source.OpenFile(video), VideoStatus::kOk);
  VideoFileWriter closed;  // never opened: every write fails
  const OverlayResult result = WriteOverlayVideo(source, points, zones, 0, 29, closed);
  EXPECT_EQ(result.status, OverlayStatus::kWriteFailed);
  EXPECT_EQ(result.failedFrame, 0);
  VideoFileWriter writer;
  EXPECT_FALSE(writer.Open(dir.File("overlay.gif"), 25, {320, 240}));
  EXPECT_FALSE(writer.Open(dir.File("no/such/folder/x.mp4"), 25, {320, 240}));
}

}  // namespace
}  // namespace vx
