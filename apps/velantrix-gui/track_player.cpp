#include "track_player.h"

#include "base/text.h"
#include "drawing/overlay.h"
#include "image_label.h"

namespace vx::gui {

std::string TrackPlayer::Open(Experiment& experiment, int testId) {
  source_.CloseSource();
  current_ = -1;
  switch (LoadTestJob(experiment, testId, "", job_)) {
    case JobStatus::kTestUnreadable: return Format("There is no test %d.", testId);
    case JobStatus::kNoVideo: return Format("Test %d has no video yet.", testId);
    case JobStatus::kVideoMissing: return Format("The video of test %d is missing: '%s'.", testId, job_.videoPath.c_str());
    case JobStatus::kReady: break;
  }
  if (LoadTestMeasureData(experiment, testId, *data_) != TestDataStatus::kOk) {
    return Format("The trajectory of test %d cannot be read.", testId);
  }
  const VideoStatus status = source_.OpenFile(job_.videoPath, job_.openOptions);
  if (status != VideoStatus::kOk) {
    return Format("Cannot open the video '%s': %s.", job_.videoPath.c_str(), VideoStatusText(status));
  }
  return "";
}

int TrackPlayer::lastFrame() const { return IsOpen() ? source_.lastFrame() - source_.startFrame() : 0; }

double TrackPlayer::fps() const { return IsOpen() && source_.fps() > 0 ? source_.fps() : 25.0; }

int64_t TrackPlayer::FrameTimeMs(int frame) const { return IsOpen() ? source_.FrameTimeMs(frame) : 0; }

QImage TrackPlayer::Frame(int n) {
  if (!IsOpen() || n < 0 || n > lastFrame()) return {};
  bool read = false;
  if (n == current_ + 1 && current_ >= 0) {
    double positionMs = 0;
    read = source_.ReadNextFrame(frame_, positionMs);
  } else {
    read = source_.GoToFrame(n) == VideoStatus::kOk && !source_.CurrentImage().empty();
    if (read) source_.CurrentImage().copyTo(frame_);
  }
  if (!read) return {};
  current_ = n;
  DrawAnnotatedFrame(frame_, data_->trajectory.points(), data_->zones, n);
  return ToQImage(frame_);
}

}  // namespace vx::gui
