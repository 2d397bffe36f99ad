#include "video/live_stream.h"

#include <algorithm>
#include <chrono>

namespace vx {

namespace {

using SteadyClock = std::chrono::steady_clock;

double MsSince(SteadyClock::time_point start) {
  return std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count();
}

// A camera opened by a video source, which holds the camera rules (interfaces, codec, rate and
// size checks, the slow-rate frame keeping).
class CameraStream : public LiveStream {
 public:
  CameraStream(std::unique_ptr<VideoSource> source, std::string name)
      : source_(std::move(source)), name_(std::move(name)) {}

  bool Next(cv::Mat& frame, double& timeMs, const StopEvent& stop) override {
    Capture* camera = source_->CameraCapture();
    // A rate of 1 to 3 frames per second is captured at 5, keeping one frame in a few.
    const int keepOneIn = std::max(1, source_->skipFactor());
    for (int read = 0; read < keepOneIn; ++read) {
      if (stop.IsSet() || camera == nullptr) return false;
      if (camera->Read(frame) != CaptureStatus::Ok || frame.empty()) return false;
    }
    const SteadyClock::time_point now = SteadyClock::now();
    if (!started_) start_ = now;
    const double stamp = camera->Get(CaptureProperty::PosMsec);
    if (!started_) firstStamp_ = stamp;
    // The driver's stamp tells when the frame was captured, before any queueing; a device
    // that gives none (or stamps that do not rise) is timed by the clock.
    const double fromStamp = stamp - firstStamp_;
    const double fromClock = MsSince(start_);
    timeMs = stamp > 0 && (!started_ || fromStamp > lastTime_) ? fromStamp : fromClock;
    started_ = true;
    lastTime_ = timeMs;
    return true;
  }
  cv::Size FrameSize() const override {
    return {source_->cameraWidth(), source_->cameraHeight()};
  }
  double Fps() const override {
    Capture* camera = source_->CameraCapture();
    const double fps = camera != nullptr ? camera->Get(CaptureProperty::Fps) : 0.0;
    return fps > 0 ? fps / std::max(1, source_->skipFactor()) : 30.0;
  }
  std::string Name() const override { return name_; }

 private:
  std::unique_ptr<VideoSource> source_;
  std::string name_;
  bool started_ = false;
  SteadyClock::time_point start_;
  double firstStamp_ = 0.0;
  double lastTime_ = 0.0;
};

// A video file played as a camera.
class StandInStream : public LiveStream {
 public:
  StandInStream(std::unique_ptr<VideoSource> source, std::string path, StreamPace pace)
      : source_(std::move(source)), path_(std::move(path)), pace_(pace) {}

  bool Next(cv::Mat& frame, double& timeMs, const StopEvent& stop) override {
    double position = 0.0;
    if (stop.IsSet() || !source_->ReadNextFrame(frame, position)) return false;
    if (!started_) {
      start_ = SteadyClock::now();
      firstPosition_ = position;
      started_ = true;
    }
    timeMs = position - firstPosition_;
    if (pace_ == StreamPace::kRealTime) {
      const double wait = timeMs - MsSince(start_);
      if (wait > 0 && stop.WaitFor(static_cast<int>(wait + 0.5))) return false;
    }
    return true;
  }
  cv::Size FrameSize() const override {
    return {source_->frameWidth(), source_->frameHeight()};
  }
  double Fps() const override { return source_->nominalFps(); }
  std::string Name() const override { return path_; }

 private:
  std::unique_ptr<VideoSource> source_;
  std::string path_;
  StreamPace pace_;
  bool started_ = false;
  SteadyClock::time_point start_;
  double firstPosition_ = 0.0;
};

}  // namespace

std::unique_ptr<LiveStream> OpenCameraStream(const CameraRequest& request, VideoStatus& status,
                                             CameraList& cameras, CaptureFactory factory) {
  if (cameras.Count() == 0) cameras.Enumerate();
  const std::string name = cameras.Name(request.index);
  if (name.empty()) {
    status = VideoStatus::kCameraNotFound;
    return nullptr;
  }
  auto source = std::make_unique<VideoSource>(std::move(factory), &cameras);
  status = source->OpenCameraFor(name, request.fps, request.size.width, request.size.height);
  if (status != VideoStatus::kOk) return nullptr;
  return std::make_unique<CameraStream>(std::move(source), name);
}

std::unique_ptr<LiveStream> OpenStandInStream(const std::string& path, StreamPace pace,
                                              VideoStatus& status, CaptureFactory factory) {
  auto source = std::make_unique<VideoSource>(std::move(factory), nullptr);
  status = source->OpenFile(path);
  if (status != VideoStatus::kOk) return nullptr;
  // Read from the first frame on: opening probed the timing by reading ahead.
  status = source->GoToFrame(-1);
  if (status != VideoStatus::kOk) return nullptr;
  return std::make_unique<StandInStream>(std::move(source), path, pace);
}

}  // namespace vx
