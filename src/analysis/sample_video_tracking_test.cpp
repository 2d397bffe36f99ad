// Tracking on the real sample videos (skipped when they are absent): the background computed
// from each video, then detection with the automatic method on the frames labelled by hand in
// tests/data/head_labels.tsv. Each labelled frame is detected after the few frames before it,
// in tracking mode, as the analysis meets it; the centre must lie on the body (near the line
// from snout to tail base, not on the tail or a glare spot) and the head at the snout end.
#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <map>

#include "analysis/arena_background.h"
#include "base/text.h"
#include "detection/detector.h"
#include "support/data_table.h"
#include "support/temp_dir.h"

namespace vx {
namespace {

constexpr int kFramesBefore = 5;  // frames detected before each labelled one

struct SampleVideo {
  const char* file;
  cv::Rect arena;     // the arena's bounding rectangle
  bool ellipse;       // the arena is the ellipse inscribed in it
  double scale;       // mm per pixel, from the ruler
};

// The arenas and rulers the sample videos are analysed with everywhere.
const SampleVideo kVideos[] = {
    {"openfield-round-dark-mouse.mp4", {99, 25, 419, 419}, true, 600.0 / 419},
    {"openfield-rect-black-mouse-444.mp4", {10, 50, 620, 420}, false, 280.0 / 560},
};

struct Label {
  int frame;
  cv::Point2d snout;
  cv::Point2d tailBase;
};

std::map<std::string, std::vector<Label>> ReadLabels() {
  std::map<std::string, std::vector<Label>> labels;
  for (const std::vector<std::string>& row : testing::ReadDataTable("head_labels.tsv")) {
    if (row.size() != 6) continue;
    labels[row[0]].push_back({std::stoi(row[1]), {std::stod(row[2]), std::stod(row[3])},
                              {std::stod(row[4]), std::stod(row[5])}});
  }
  return labels;
}

DetectionContext AutomaticContext(const SampleVideo& video) {
  DetectionContext context;
  context.method = kMethodAutomatic;
  context.backgroundFlag = true;
  context.arena = video.arena;
  context.scale = video.scale;
  context.sizeMode = 2;  // a mouse, generously: 2 to 200 cm²
  context.minSize = 2;
  context.maxSize = 200;
  if (video.ellipse) {
    context.detectionArea = cv::Mat::zeros(video.arena.size(), CV_8UC1);
    const cv::Size half(video.arena.width / 2, video.arena.height / 2);
    cv::ellipse(context.detectionArea, cv::Point(half), half, 0, 0, 360, cv::Scalar(255),
                cv::FILLED);
  }
  return context;
}

// On the body: the centre projects between snout and tail base (with a tenth of the body's
// length to spare) and lies within 40% of that length of the line between them.
bool OnTheBody(cv::Point2d centre, const Label& label) {
  const cv::Point2d axis = label.tailBase - label.snout;
  const double length = std::hypot(axis.x, axis.y);
  const cv::Point2d offset = centre - label.snout;
  const double along = offset.dot(axis) / (length * length);
  const double across = std::abs(offset.x * axis.y - offset.y * axis.x) / length;
  return along >= -0.1 && along <= 1.1 && across <= 0.4 * length;
}

struct Tally {
  int frames = 0;    // frames detected
  int found = 0;     // of those, with the animal
  int labelled = 0;
  int onBody = 0;
  int headAtSnout = 0;
  std::string misses;  // the labelled frames whose head is elsewhere
};

Tally TrackLabelledFrames(const SampleVideo& video, const std::vector<Label>& labels,
                          const std::string& folder) {
  Tally tally;
  VideoSource source;
  EXPECT_EQ(source.OpenFile(folder + "/" + video.file), VideoStatus::kOk) << video.file;
  if (!source.IsFileOpen()) return tally;
  DetectionContext context = AutomaticContext(video);
  const ArenaBackground background =
      ComputeArenaBackground(source, context, 0, source.frameCount() - 1);
  EXPECT_FALSE(background.image.empty()) << video.file;
  context.reference = background.image;
  Detector detector(source);
  detector.SetContext(context);
  detector.trackingMode = true;
  cv::Mat mask;
  BlobList blobs;
  for (const Label& label : labels) {
    detector.ResetTracking();
    tMyPoint point;
    for (int frame = std::max(0, label.frame - kFramesBefore); frame <= label.frame; ++frame) {
      if (source.GoToFrame(frame) != VideoStatus::kOk) break;
      point = tMyPoint();
      point.frame = frame;
      point.time = static_cast<int>(source.FrameTimeMs(frame));
      DetectInFrame(detector, source.CurrentImage(), mask, point, blobs, true);
      ++tally.frames;
      tally.found += point.HasAnimal() ? 1 : 0;
    }
    ++tally.labelled;
    if (!point.HasAnimal()) continue;
    const cv::Point2d centre(point.rawX, point.rawY);
    const bool onBody = OnTheBody(centre, label);
    tally.onBody += onBody ? 1 : 0;
    EXPECT_TRUE(onBody) << video.file << " frame " << label.frame << ": centre " << centre;
    const cv::Point2d head(point.headX, point.headY);
    const bool atSnout =
        point.headX >= 0 && cv::norm(head - label.snout) < cv::norm(head - label.tailBase);
    tally.headAtSnout += atSnout ? 1 : 0;
    if (!atSnout) tally.misses += Format(" %s frame %d;", video.file, label.frame);
  }
  return tally;
}

TEST(SampleVideoTracking, TheAnimalIsFoundOnItsBodyWithItsHeadAtTheSnout) {
  const std::string folder = testing::SampleVideoFolder();
  if (folder.empty()) GTEST_SKIP() << "no sample videos";
  const std::map<std::string, std::vector<Label>> labels = ReadLabels();
  Tally all;
  for (const SampleVideo& video : kVideos) {
    const auto found = labels.find(video.file);
    ASSERT_NE(found, labels.end()) << video.file << " has no labels";
    const Tally tally = TrackLabelledFrames(video, found->second, folder);
    // Detection in every frame detected, the labelled and the ones before them alike.
    EXPECT_GE(tally.found * 100, tally.frames * 99) << video.file;
    all.labelled += tally.labelled;
    all.onBody += tally.onBody;
    all.headAtSnout += tally.headAtSnout;
    all.misses += tally.misses;
  }
  EXPECT_GE(all.labelled, 100);
  EXPECT_EQ(all.onBody, all.labelled);
  EXPECT_GE(all.headAtSnout * 100, all.labelled * 95) << "head elsewhere:" << all.misses;
}

}  // namespace
}  // namespace vx
