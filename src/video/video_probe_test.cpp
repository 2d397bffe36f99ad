// Reading a video's frame count, duration and size, on videos written here with known facts,
// and the upgrade of an old experiment whose test videos lie beside it.
#include "video/video_probe.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include "db/experiment_db.h"
#include "db/upgrade.h"
#include "support/experiment_fixture.h"
#include "support/schema_history.h"

namespace {

using vx::testing::TempDir;

// Writes frames of size width x height at fps with a moving square, as MJPG in an AVI file.
bool WriteVideo(const std::string& path, int frames, double fps, int width, int height) {
  cv::VideoWriter writer(path, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), fps,
                         cv::Size(width, height));
  if (!writer.isOpened()) return false;
  for (int i = 0; i < frames; ++i) {
    cv::Mat frame(height, width, CV_8UC3, cv::Scalar(200, 200, 200));
    cv::rectangle(frame, cv::Rect(i % (width - 8), height / 2, 8, 8), cv::Scalar(0, 0, 0),
                  cv::FILLED);
    writer.write(frame);
  }
  return true;
}

TEST(VideoProbe, ReadsFramesDurationAndSize) {
  TempDir dir;
  const std::string path = dir.File("clip.avi");
  ASSERT_TRUE(WriteVideo(path, 30, 25.0, 96, 64));
  vx::VideoFileFacts facts;
  ASSERT_TRUE(vx::ProbeVideoFile(path, facts));
  EXPECT_EQ(facts.frameCount, 30);
  EXPECT_EQ(facts.durationMs, 1200);
  EXPECT_EQ(facts.width, 96);
  EXPECT_EQ(facts.height, 64);
  EXPECT_DOUBLE_EQ(facts.fps, 25.0);
  EXPECT_EQ(facts.backend, 1900);
}

TEST(VideoProbe, DurationIsRounded) {
  TempDir dir;
  const std::string path = dir.File("clip.avi");
  ASSERT_TRUE(WriteVideo(path, 7, 30.0, 32, 32));  // 233.33 ms
  vx::VideoFileFacts facts;
  ASSERT_TRUE(vx::ProbeVideoFile(path, facts));
  EXPECT_EQ(facts.durationMs, 233);
}

TEST(VideoProbe, UnreadableFilesAreRefused) {
  TempDir dir;
  vx::VideoFileFacts facts;
  facts.frameCount = 77;
  EXPECT_FALSE(vx::ProbeVideoFile(dir.File("missing.avi"), facts));
  EXPECT_FALSE(vx::ProbeVideoFile("", facts));
  EXPECT_FALSE(vx::ProbeVideoFile(dir.path(), facts));  // a folder
  const std::string text = dir.File("notes.avi");
  vx::testing::WriteFileBytes(text, "RIFF but not really a video file at all");
  EXPECT_FALSE(vx::ProbeVideoFile(text, facts));
  EXPECT_EQ(facts.frameCount, 77);
}

TEST(VideoProbe, TruncatedVideoNeverCrashes) {
  TempDir dir;
  const std::string whole = dir.File("whole.avi");
  ASSERT_TRUE(WriteVideo(whole, 10, 25.0, 64, 48));
  const std::string bytes = vx::testing::ReadFileBytes(whole);
  for (size_t keep : {size_t{16}, size_t{200}, bytes.size() / 2}) {
    const std::string cut = dir.File("cut" + std::to_string(keep) + ".avi");
    vx::testing::WriteFileBytes(cut, bytes.substr(0, keep));
    vx::VideoFileFacts facts;
    if (vx::ProbeVideoFile(cut, facts)) {  // a readable prefix must still look like the video
      EXPECT_EQ(facts.width, 64) << keep;
      EXPECT_GT(facts.frameCount, 0) << keep;
    }
  }
}

TEST(VideoProbe, SampleVideoWhenPresent) {
  const std::string folder = vx::testing::SampleVideoFolder();
  if (folder.empty()) GTEST_SKIP() << "no sample videos";
  vx::VideoFileFacts facts;
  ASSERT_TRUE(vx::ProbeVideoFile(folder + "/openfield-round-dark-mouse.mp4", facts));
  EXPECT_EQ(facts.width, 640);
  EXPECT_EQ(facts.height, 480);
  EXPECT_NEAR(facts.frameCount, 10000, 2);
  EXPECT_NEAR(facts.durationMs, 333333, 100);
}

// An experiment of version 12 whose test video lies in its companion folder: the upgrade
// registers the video with the facts read from the file.
TEST(VideoProbe, UpgradeRegistersTheVideosOfOldTests) {
  TempDir dir;
  const std::string path = dir.File("old.vxdb");
  ASSERT_TRUE(vx::testing::CreateFileAtVersion(path, 12));
  vx::testing::ExecuteSql(path, "insert into Tests(Id, Title, Source) values (5, 't', 'cam 1');"
                                "insert into TestsPoints(Id) values (5);");
  std::filesystem::create_directories(dir.File("old_files"));
  // The writer picks its container by extension: write an AVI, then give it the old name.
  ASSERT_TRUE(WriteVideo(dir.File("clip.avi"), 20, 10.0, 80, 60));
  std::filesystem::rename(dir.File("clip.avi"), dir.File("old_files/Test_5.vxf"));

  vx::testing::TestServices services;
  vx::ExperimentFile file;
  file.path = path;
  file.services = services.Bundle();
  file.videoProbe = vx::ProbeVideoFile;
  SQLite::Database db;
  ASSERT_TRUE(vx::OpenExperimentDb(db, file, {.checkType = true}));
  ASSERT_TRUE(vx::UpgradeExperimentDb(db, file));
  ASSERT_EQ(db.lastError(), 0);
  db.Close();
  EXPECT_EQ(vx::testing::QueryRows(path, "select Id, File, NbFrames, Duration, Width, Height "
                                         "from Videos"),
            (std::vector<std::vector<std::string>>{{"5", "Test_5.vxf", "20", "2000", "80", "60"}}));
  EXPECT_EQ(vx::testing::QueryValue(path, "select Source from Tests where Id=5"), "5");
}

}  // namespace
