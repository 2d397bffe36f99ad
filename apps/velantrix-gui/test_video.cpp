#include "test_video.h"

#include <QObject>

#include <algorithm>

namespace vx::gui {

QString TestVideo::Open(Experiment& experiment, int testId) {
  source_.reset();
  current_ = -1;
  switch (LoadTestJob(experiment, testId, std::string(), job_)) {
    case JobStatus::kTestUnreadable: return QObject::tr("There is no test %1 in this experiment.").arg(testId);
    case JobStatus::kNoVideo: return QObject::tr("Test %1 has no video.").arg(testId);
    case JobStatus::kVideoMissing:
      return QObject::tr("The video of test %1 is missing: %2").arg(testId).arg(QString::fromStdString(job_.videoPath));
    case JobStatus::kReady: break;
  }
  source_ = std::make_unique<VideoSource>();
  const VideoStatus status = source_->OpenFile(job_.videoPath, job_.openOptions);
  if (status != VideoStatus::kOk) {
    source_.reset();
    return QObject::tr("The video of test %1 cannot be read (%2): %3")
        .arg(testId)
        .arg(QString::fromUtf8(VideoStatusText(status)))
        .arg(QString::fromStdString(job_.videoPath));
  }
  return {};
}

int TestVideo::FrameCount() const {
  return IsOpen() ? std::max(1, source_->lastFrame() - source_->startFrame() + 1) : 0;
}

const cv::Mat& TestVideo::Frame(int n) {
  if (!IsOpen()) return empty_;
  n = std::clamp(n, 0, FrameCount() - 1);
  if (n != current_ || source_->CurrentImage().empty()) {
    if (source_->GoToFrame(n) != VideoStatus::kOk) return empty_;
    current_ = n;
  }
  return source_->CurrentImage();
}

}  // namespace vx::gui
