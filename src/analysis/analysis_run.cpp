#include "analysis/analysis_run.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <mutex>

#include "analysis/frame_reader.h"
#include "analysis/frame_tracker.h"
#include "analysis/reference_image.h"
#include "base/messages.h"
#include "base/text.h"
#include "video/video_timing.h"
#include "zones/adjustment_text.h"
#include "zones/calibration.h"

namespace vx {

Trajectory AnalysisSource::CopyTrajectory() {
  std::lock_guard<std::mutex> lock(video.DisplayMutex());
  return display.trajectory;
}

void PrepareSource(AnalysisSource& source, const TestJob& job, const ZoneSet& zones,
                   const DetectionSettings& settings) {
  const bool head = job.protocol.headDetection;
  source.detector.SetContext(
      MakeTestDetectionContext(settings, zones, head, job.sizes, job.test.idArena,
                               ParseAdjustment(job.test.adjustArena, zones).adjustment.angle));
  source.headDetection = head;
  source.recordingActive = false;
  source.stopRequested = false;
  source.currentIndex = -1;
  source.currentTime = 0;
  source.info = AnalysisInfo();
  std::lock_guard<std::mutex> lock(source.video.DisplayMutex());
  source.display.trajectory = Trajectory(job.smoothing, MmPerPixel(zones));
  source.display.point = tMyPoint();
  source.display.blobs.clear();
}

void SetReference(AnalysisSource& source, const cv::Mat& reference) {
  DetectionContext context = source.detector.Context();
  context.reference = reference;
  source.detector.SetContext(std::move(context));
}

namespace {

// The whole video: the frames it was registered with when it has stored times (the frames
// that decode), else as many as the file announces.
void SetWholePeriod(AnalysisSource& source) {
  const size_t registered = source.video.frameTimes().size();
  source.period.last = registered > 0 ? static_cast<int>(registered) - 1
                                      : source.video.lastFrame() - source.video.startFrame();
}

}  // namespace

VideoStatus OpenTestVideo(AnalysisSource& source, const TestJob& job) {
  const VideoStatus status = source.video.OpenFile(job.videoPath, job.openOptions);
  if (status == VideoStatus::kOk && !source.period.Known()) SetWholePeriod(source);
  return status;
}

namespace {

// The frame loop's state between two frames.
class FrameLoop {
 public:
  FrameLoop(AnalysisSource& source, FrameProgram& program, RunObserver& observer)
      : source_(source), tracker_(source, program), observer_(observer), video_(source.video) {}

  RunOutcome Run();

 private:
  enum class Step { kProcess, kSkip, kEnd };
  Step Place(const DecodedFrame& frame);
  void ReportProgress();

  AnalysisSource& source_;
  FrameTracker tracker_;
  RunObserver& observer_;
  VideoSource& video_;
  RunOutcome outcome_;
  int readIndex_ = -1;  // index of the frame read last (processed or skipped)
  int index_ = -1;      // index and time of the frame being placed
  int time_ = 0;
  bool havePrevious_ = false;
  int previousTime_ = INT_MIN;
  int periodStartTime_ = 0;
  int lastPercent_ = -1;
};

RunOutcome FrameLoop::Run() {
  AnalysisPeriod& period = source_.period;
  // Positioned so that the next read gives the period's first frame.
  video_.GoToFrame(period.first > 0 ? period.first - 1 : -1);
  tracker_.Start();

  FrameReader reader(video_, source_.decodeAhead);
  DecodedFrame frame;
  while (!source_.stopRequested) {
    if (observer_.Cancelled()) {
      outcome_.ending = RunEnding::kCancelled;
      break;
    }
    if (!reader.Next(frame)) {
      outcome_.videoEnded = true;
      break;
    }
    const Step step = Place(frame);
    if (step == Step::kEnd) break;
    if (step == Step::kProcess) {
      tracker_.Process(frame.image, index_, time_, time_ - periodStartTime_);
      ++outcome_.framesProcessed;
    }
    reader.Recycle(std::move(frame));
  }
  reader.Stop();
  tracker_.Finish();
  if (outcome_.ending != RunEnding::kCancelled) outcome_.ending = tracker_.ending();
  if (outcome_.videoEnded && source_.currentIndex >= 0) period.last = source_.currentIndex;
  AnalysisInfo& info = source_.info;
  info[run_info::kEndTime] = source_.currentTime;
  info[run_info::kLastFrame] = source_.currentIndex;
  info[run_info::kEnding] = static_cast<int>(outcome_.ending);
  return outcome_;
}

FrameLoop::Step FrameLoop::Place(const DecodedFrame& frame) {
  const std::vector<uint32_t>& listed = video_.frameTimes();
  const bool byIndex = video_.seekByTime() == 0;
  // Frames are read one after another: once the first is placed, the next is the next index.
  // (Indexes taken from the back-end's time at a rounded-up rate such as 30 for 29.97 would
  // skip one every few hundred frames.)
  if ((byIndex || !listed.empty()) && readIndex_ >= 0) {
    index_ = readIndex_ + 1;
  } else {
    index_ = std::max(0, FrameIndexAtTime(frame.positionMs, video_.fps()) - video_.startFrame());
  }
  readIndex_ = index_;
  const AnalysisPeriod& period = source_.period;
  if (period.Known() && period.last > 0) {
    const double share = (period.first + 1.0 + index_) / period.last * 100.0;
    const int percent = std::min(100, RoundHalfEven(share));
    if (percent != lastPercent_) {
      lastPercent_ = percent;
      observer_.Progress(percent);
    }
  }
  if (period.Known() && index_ > period.last) return Step::kEnd;
  if (!listed.empty()) {
    if (static_cast<size_t>(index_) >= listed.size()) return Step::kEnd;
    time_ = static_cast<int>(listed[index_]);
  } else {
    time_ = RoundHalfEven(frame.positionMs);
  }
  if (havePrevious_ && time_ <= previousTime_) {
    if (byIndex) return Step::kSkip;
    outcome_.videoEnded = true;  // no usable frame follows: the period ends where it got to
    return Step::kEnd;
  }
  if (!havePrevious_) periodStartTime_ = time_;
  havePrevious_ = true;
  previousTime_ = time_;
  source_.currentIndex = index_;
  source_.currentTime = time_;
  return Step::kProcess;
}

}  // namespace

RunOutcome RunFrames(AnalysisSource& source, const std::string& path,
                     const FileOpenOptions& options, FrameProgram& program,
                     RunObserver& observer) {
  RunOutcome outcome;
  outcome.status = source.video.OpenFile(path, options);
  if (outcome.status != VideoStatus::kOk) return outcome;
  if (!source.period.Known()) SetWholePeriod(source);
  // Set once: a retry runs over a period that the first attempt may have cut short.
  if (source.framesExpected <= 0) source.framesExpected = source.period.FrameCount();
  source.info[run_info::kFramesExpected] = source.framesExpected;
  SetVideoFields(source.info, source.video.InfoFields());
  return FrameLoop(source, program, observer).Run();
}

namespace {

constexpr int kBackgroundFactor = 100;

}  // namespace

RunEnding EndingOf(const AnalysisInfo& info) {
  return static_cast<RunEnding>(info[run_info::kEnding] % kBackgroundFactor);
}

BackgroundMethod BackgroundMethodOf(const AnalysisInfo& info) {
  const int64_t method = info[run_info::kEnding] / kBackgroundFactor;
  return method >= 1 && method <= 3 ? static_cast<BackgroundMethod>(method)
                                    : BackgroundMethod::kNone;
}

void SetBackgroundMethod(AnalysisInfo& info, BackgroundMethod method) {
  info[run_info::kEnding] =
      info[run_info::kEnding] % kBackgroundFactor + kBackgroundFactor * static_cast<int>(method);
}

float DetectionRate(int framesWithAnimal, int framesInPeriod) {
  if (framesInPeriod <= 0) return 0.0f;
  const float rate = static_cast<float>(framesWithAnimal) * 100.0f /
                     static_cast<float>(framesInPeriod) + 0.05f;
  return std::min(100.0f, rate);
}

namespace {

int ElapsedMs(const Services& services, uint32_t startTick) {
  return services.clock != nullptr ? static_cast<int>(services.clock->TickMs() - startTick) : 0;
}

// What the user is told when the background composed from pairs of frames was not clean and
// another was used; "" otherwise.
std::string BackgroundNotice(const ArenaBackground& background) {
  int name = 0;
  if (background.method == BackgroundMethod::kPaintedFrame) name = msg::kBackgroundPaintedFrame;
  if (background.method == BackgroundMethod::kTemporalMedian) name = msg::kBackgroundMedian;
  if (name == 0) return {};
  return Format(MessageText(msg::kBackgroundReplaced), background.compositeFinds,
                background.checkedFrames, MessageText(name), background.chosenFinds);
}

}  // namespace

AttemptResult AnalyseTestBatch(AnalysisSource& source, const TestJob& job, const ZoneSet& zones,
                               const DetectionSettings& settings, int attempt,
                               float minimumRate, FrameProgram& program, RunObserver& observer,
                               const Services& services) {
  AttemptResult result;
  result.settings = settings;
  PrepareSource(source, job, zones, result.settings);
  const uint32_t startTick = services.clock != nullptr ? services.clock->TickMs() : 0;

  ReferenceInputs inputs;
  inputs.source = &source.video;
  inputs.videoPath = job.videoPath;
  inputs.files = services.files;
  inputs.library = [&job](int id) { return job.LibraryImage(id); };
  inputs.context = source.detector.Context();
  inputs.firstFrame = source.period.first;
  inputs.lastFrame = source.period.last;
  ArenaBackground background;
  if (!PrepareReference(result.settings, inputs, &background)) {
    observer.Log(Format(MessageText(msg::kAttemptReferenceFailed), attempt + 1));
    result.referenceFailed = true;
    return result;
  }
  result.background = background.method;
  result.notice = BackgroundNotice(background);
  if (!result.notice.empty()) observer.Log(result.notice);
  SetReference(source, result.settings.referenceImage);
  const std::string& title = job.test.title;
  observer.Log(Format(MessageText(msg::kAnalysingTest), title.c_str()));

  source.detector.rejections = RejectionCounts();
  const RunOutcome outcome = RunFrames(source, job.videoPath, job.openOptions, program, observer);
  result.rejections = source.detector.rejections;
  result.videoStatus = outcome.status;
  result.cancelled = outcome.ending == RunEnding::kCancelled;
  if (result.cancelled || outcome.status != VideoStatus::kOk) return result;

  result.trajectory = source.CopyTrajectory();
  result.trajectory.FinishAppending();
  result.framesWithAnimal = static_cast<int>(result.trajectory.size());
  if (source.period.Known()) {
    result.framesInPeriod = source.period.FrameCount();
  } else if (!result.trajectory.empty()) {
    const std::vector<tMyPoint>& points = result.trajectory.points();
    result.framesInPeriod = points.back().frame - points.front().frame + 1;
  }
  result.rate = DetectionRate(result.framesWithAnimal, result.framesInPeriod);
  result.info = source.info;
  result.framesExpected = static_cast<int>(source.info[run_info::kFramesExpected]);
  result.info[run_info::kPeriodFrames] = result.framesInPeriod;
  result.info[run_info::kAnimalFrames] = result.framesWithAnimal;
  SetBackgroundMethod(result.info, result.background);
  result.elapsedMs = ElapsedMs(services, startTick);

  observer.Log(Format(MessageText(msg::kDetectionRate), title.c_str(), result.rate));
  observer.Log(Format(MessageText(msg::kElapsedTime), (result.elapsedMs + 500) / 1000));
  if (attempt > 0 || result.rate < minimumRate) {
    observer.Log(Format(MessageText(msg::kAttemptNumber), attempt + 1));
  }
  return result;
}

}  // namespace vx
