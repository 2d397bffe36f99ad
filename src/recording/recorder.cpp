#include "recording/recorder.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "video/video_writer.h"

namespace vx {

namespace {

constexpr int kPollMs = 100;
constexpr int kPicturePollMs = 66;  // about fifteen pictures a second
constexpr double kFallbackFps = 30.0;  // a stream that announces no rate

struct GrabbedFrame {
  cv::Mat image;
  double timeMs = 0.0;
};

// The state the two loops share, and the work of each.
class Acquisition {
 public:
  Acquisition(LiveStream& stream, const RecordingPlan& plan, VideoSource& video,
              FrameTracker* tracker, FrameProgram& program, VideoFileWriter& writer)
      : stream_(stream), plan_(plan), video_(video), tracker_(tracker), program_(program),
        writer_(writer) {}

  void GrabLoop();
  void ProcessLoop();
  // Ends the acquisition (any thread): both loops return soon after.
  void RequestStop();
  // Waits at most timeoutMs for the processing loop to end; true when it has.
  bool WaitFinished(int timeoutMs);
  RecordingProgress Progress() const;
  void KeepPictures() { picturesWanted_ = true; }
  // The latest picture when it is newer than the last one taken.
  bool TakePicture(LivePicture& picture);
  // The end the caller saw (cancel) unless the processing thread settled one first.
  void SettleEnd(RecordingEnd end);
  RecordingResult& result() { return result_; }

 private:
  bool TakeFrame(GrabbedFrame& frame);
  bool Handle(const GrabbedFrame& frame);
  bool Write(const GrabbedFrame& frame);
  bool ActOn(const std::vector<FrameAction>& actions);
  void KeepPicture(const cv::Mat& frame, int index, bool tracked);

  LiveStream& stream_;
  const RecordingPlan& plan_;
  VideoSource& video_;
  FrameTracker* tracker_;
  FrameProgram& program_;
  VideoFileWriter& writer_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<GrabbedFrame> queue_;
  bool streamEnded_ = false;
  bool stopping_ = false;
  bool endSettled_ = false;
  RecordingResult result_;  // counters under mutex_; times owned by the processing thread

  bool started_ = false;
  bool haveFirst_ = false;
  double firstMs_ = 0.0;
  bool finished_ = false;  // under mutex_
  std::atomic<int> countdownMs_{0};
  std::atomic<int> elapsedMs_{0};
  std::atomic<int> written_{0};
  std::atomic<int> points_{0};

  bool picturesWanted_ = false;  // set before the threads start
  std::mutex pictureMutex_;
  LivePicture picture_;
  bool pictureNew_ = false;
};

void Acquisition::GrabLoop() {
  const StopEvent& stop = video_.StopSignal();
  GrabbedFrame frame;
  while (!stop.IsSet()) {
    if (!stream_.Next(frame.image, frame.timeMs, stop)) break;
    std::unique_lock<std::mutex> lock(mutex_);
    if (stopping_) break;
    ++result_.grabbed;
    if (queue_.size() >= plan_.queueLength) {
      if (!plan_.waitForRoom) {
        ++result_.dropped;
        continue;
      }
      changed_.wait(lock, [this] { return queue_.size() < plan_.queueLength || stopping_; });
      if (stopping_) {
        --result_.grabbed;  // after the stop: never part of the recording
        break;
      }
    }
    queue_.push_back(std::move(frame));
    frame = GrabbedFrame();
    changed_.notify_all();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  streamEnded_ = true;
  changed_.notify_all();
}

bool Acquisition::TakeFrame(GrabbedFrame& frame) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !queue_.empty() || streamEnded_ || stopping_; });
  if (stopping_ || queue_.empty()) return false;
  frame = std::move(queue_.front());
  queue_.pop_front();
  changed_.notify_all();
  return true;
}

void Acquisition::ProcessLoop() {
  if (tracker_ != nullptr) {
    tracker_->Start();
  } else {
    program_.Start();
  }
  GrabbedFrame frame;
  bool going = true;
  while (going && TakeFrame(frame)) going = Handle(frame);
  if (going) SettleEnd(RecordingEnd::kStreamEnded);  // unless the caller stopped it first
  if (tracker_ != nullptr) {
    tracker_->Finish();
    result_.trackingEnding = tracker_->ending();
  }
  RequestStop();
  std::lock_guard<std::mutex> lock(mutex_);
  finished_ = true;
  changed_.notify_all();
}

bool Acquisition::WaitFinished(int timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return finished_; });
}

bool Acquisition::Handle(const GrabbedFrame& frame) {
  if (!haveFirst_) {
    haveFirst_ = true;
    firstMs_ = frame.timeMs;
  }
  if (!started_) {
    const double waited = frame.timeMs - firstMs_;
    if (waited < plan_.delayMs) {
      countdownMs_.store(static_cast<int>(std::ceil(plan_.delayMs - waited)));
      KeepPicture(frame.image, -1, false);
      std::lock_guard<std::mutex> lock(mutex_);
      ++result_.shownOnly;
      return true;
    }
    started_ = true;
    countdownMs_.store(0);
    result_.startMs = std::llround(frame.timeMs);
  }
  return Write(frame);
}

bool Acquisition::Write(const GrabbedFrame& frame) {
  std::vector<uint32_t>& times = result_.frameTimes;
  const int64_t fromStart = std::llround(frame.timeMs) - result_.startMs;
  if (plan_.durationMs > 0 && fromStart >= plan_.durationMs) {
    SettleEnd(RecordingEnd::kDuration);
    std::lock_guard<std::mutex> lock(mutex_);
    --result_.grabbed;  // the first frame after the recording
    return false;
  }
  // Times rise strictly, so that no written frame is taken for a repeat of the one before.
  const int64_t time = times.empty() ? 0 : std::max<int64_t>(fromStart, times.back() + 1);
  if (!writer_.Write(frame.image)) {
    SettleEnd(RecordingEnd::kWriteFailed);
    return false;
  }
  times.push_back(static_cast<uint32_t>(time));
  const int index = static_cast<int>(times.size()) - 1;
  const int t = static_cast<int>(time);
  written_.store(index + 1);
  elapsedMs_.store(t);
  std::vector<FrameAction> actions;
  const bool tracking = tracker_ != nullptr && tracker_->ending() == RunEnding::kPeriodEnded;
  if (tracking) {
    actions = tracker_->Process(frame.image, index, t, t);
    points_.store(tracker_->Recorded());
  }
  KeepPicture(frame.image, index, tracking);
  if (!tracking) {
    // Not tracking, or tracking stopped: the program still times the recording.
    tMyPoint nothing;
    nothing.frame = index;
    nothing.time = t;
    actions = program_.Evaluate(nothing, t);
  }
  return ActOn(actions);
}

bool Acquisition::ActOn(const std::vector<FrameAction>& actions) {
  for (const FrameAction& action : actions) {
    const bool onVideo = action.id < 0 || plan_.videoStopIds.count(action.id) > 0;
    if (action.kind != FrameAction::kStop || !onVideo) continue;
    SettleEnd(action.id < 0 ? RecordingEnd::kMaximumDuration : RecordingEnd::kStopAction);
    return false;
  }
  return true;
}

void Acquisition::KeepPicture(const cv::Mat& frame, int index, bool tracked) {
  if (!picturesWanted_) return;
  std::lock_guard<std::mutex> lock(pictureMutex_);
  picture_.frame = frame;  // a reference: each grabbed frame has its own pixels
  picture_.index = index;
  picture_.tracked = tracked;
  picture_.point = tracked ? tracker_->LastPoint() : tMyPoint();
  if (tracked) {
    picture_.blobs = tracker_->LastBlobs();
  } else {
    picture_.blobs.clear();
  }
  pictureNew_ = true;
}

bool Acquisition::TakePicture(LivePicture& picture) {
  std::lock_guard<std::mutex> lock(pictureMutex_);
  if (!pictureNew_) return false;
  picture = picture_;
  pictureNew_ = false;
  return true;
}

void Acquisition::RequestStop() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!stopping_) {
    // Frames still queued were grabbed after the recording's last frame.
    result_.grabbed -= static_cast<int>(queue_.size());
    queue_.clear();
  }
  stopping_ = true;
  changed_.notify_all();
}

void Acquisition::SettleEnd(RecordingEnd end) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (endSettled_) return;
  endSettled_ = true;
  result_.end = end;
}

RecordingProgress Acquisition::Progress() const {
  RecordingProgress progress;
  progress.countdownMs = countdownMs_.load();
  progress.elapsedMs = elapsedMs_.load();
  progress.frames = written_.load();
  progress.points = points_.load();
  std::lock_guard<std::mutex> lock(mutex_);
  progress.dropped = result_.dropped;
  return progress;
}

}  // namespace

RecordingResult Record(LiveStream& stream, const RecordingPlan& plan, VideoSource& video,
                       FrameTracker* tracker, FrameProgram& program,
                       RecordingObserver& observer) {
  RecordingResult failed;
  failed.end = RecordingEnd::kWriterUnavailable;
  failed.size = stream.FrameSize();
  failed.fps = stream.Fps() > 0 ? stream.Fps() : kFallbackFps;
  VideoFileWriter writer;
  if (plan.format == nullptr ||
      !writer.OpenWithCodec(plan.path, plan.format->fourcc, failed.fps, failed.size)) {
    return failed;
  }
  Acquisition acquisition(stream, plan, video, tracker, program, writer);
  const bool pictures = observer.WantsPictures();
  if (pictures) acquisition.KeepPictures();
  video.SetAcquisitionLoops({[&acquisition](VideoSource&) { acquisition.GrabLoop(); },
                             [&acquisition](VideoSource&) { acquisition.ProcessLoop(); }});
  video.StartAcquisition();
  LivePicture picture;
  while (!acquisition.WaitFinished(pictures ? kPicturePollMs : kPollMs)) {
    if (observer.Cancelled()) {
      acquisition.SettleEnd(RecordingEnd::kCancelled);
      acquisition.RequestStop();
    }
    if (pictures && acquisition.TakePicture(picture)) observer.Picture(picture);
    observer.Progress(acquisition.Progress());
  }
  video.StopAcquisition();
  video.SetAcquisitionLoops({});
  writer.Close();
  observer.Progress(acquisition.Progress());
  RecordingResult result = std::move(acquisition.result());
  result.size = failed.size;
  result.fps = failed.fps;
  return result;
}

}  // namespace vx
