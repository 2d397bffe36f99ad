#include "video/video_source.h"

#include <algorithm>
#include <cmath>

#include "base/text.h"
#include "video/video_timing.h"

namespace vx {

namespace {

// Camera interfaces in the order they are tried: V4L2 first, then whatever else the video
// library offers.
constexpr int kCameraBackends[] = {kBackendV4l2, kBackendAny};
constexpr int kDefaultCameraWidth = 640;
constexpr int kDefaultCameraHeight = 480;

bool IsOwnFormat(const std::string& path) {
  return path.size() >= 4 && ToLower(path.substr(path.size() - 4)) == ".vxf";
}

int RoundedProperty(const Capture& capture, CaptureProperty property) {
  return RoundHalfEven(std::max(0.0, capture.Get(property)));
}

}  // namespace

const char* VideoStatusText(VideoStatus status) {
  switch (status) {
    case VideoStatus::kOk: return "ok";
    case VideoStatus::kCannotOpen: return "the file cannot be read as a video";
    case VideoStatus::kBadFrameRate: return "the video reports no usable frame rate";
    case VideoStatus::kFirstGrabFailed: return "not even the first frame can be decoded";
    case VideoStatus::kTimesBackwards: return "the frame times go backwards";
    case VideoStatus::kRateMismatch:
      return "the frame times do not match the reported frame rate";
    case VideoStatus::kNotOpen: return "no video is open";
    case VideoStatus::kCaptureError: return "the video library failed to read the frame";
    case VideoStatus::kCameraNotFound: return "the camera is not connected";
    case VideoStatus::kCameraOpenFailed: return "the camera cannot be opened";
    case VideoStatus::kCameraSizeNotSupported:
      return "the camera does not deliver the requested frame size";
  }
  return "unknown error";
}

VideoSource::VideoSource(CaptureFactory factory, CameraList* cameras)
    : factory_(std::move(factory)), cameras_(cameras) {}

VideoSource::~VideoSource() { CloseSource(); }

// ---- Files ---------------------------------------------------------------------------------

VideoStatus VideoSource::OpenFile(const std::string& path, const FileOpenOptions& options) {
  ReleaseFile();
  seekByTime_ = IsOwnFormat(path) || options.ownRecording ? 0 : 1;
  frameTimes_ = options.frameTimes;

  std::vector<int> order;
  if (preferredBackend_ != 0) {
    order = {preferredBackend_};
  } else if (seekByTime_ != 0 && options.analysedWithFfmpeg) {
    order = {kBackendFfmpeg, kBackendMsmf, kBackendDshow};
  } else {
    order = {kBackendMsmf, kBackendFfmpeg, kBackendDshow};
  }
  VideoStatus status = OpenWithBackendOrder(path, order);
  if (status == VideoStatus::kOk) status = ReadStartAndTiming();
  if (status != VideoStatus::kOk) {
    ReleaseFile();
    return status;
  }
  ReadFileGeometry();
  ++openCount_;
  return VideoStatus::kOk;
}

VideoStatus VideoSource::OpenWithBackendOrder(const std::string& path,
                                              const std::vector<int>& order) {
  for (int backend : order) {
    std::unique_ptr<Capture> capture = factory_();
    if (capture && capture->OpenFile(path, backend) && capture->IsOpened()) {
      file_ = std::move(capture);
      backend_ = static_cast<int>(file_->Get(CaptureProperty::Backend));
      currentFrame_ = -1;
      return VideoStatus::kOk;
    }
  }
  return VideoStatus::kCannotOpen;
}

VideoStatus VideoSource::ReadStartAndTiming() {
  fps_ = file_->Get(CaptureProperty::Fps);
  if (!(fps_ > 0.0 && fps_ < 200.0)) return VideoStatus::kBadFrameRate;
  nominalFps_ = fps_;
  if (backend_ == kBackendFfmpeg && seekByTime_ != 0) fps_ = RoundRateUp(fps_);

  startFrame_ = RoundedProperty(*file_, CaptureProperty::PosFrames);
  startTimeMs_ = RoundedProperty(*file_, CaptureProperty::PosMsec);
  if (!file_->Grab()) return VideoStatus::kFirstGrabFailed;
  // Phone and camera files cut with an edit list present their first frame before the
  // stream's zero: that frame becomes the origin of every time, instead of a refusal.
  const double reportedFirst = file_->Get(CaptureProperty::PosMsec);
  if (reportedFirst < 0.0) originMs_ = reportedFirst;
  const double firstTime = Position();
  if (backend_ == kBackendMsmf) {
    startFrame_ = RoundedProperty(*file_, CaptureProperty::PosFrames);
    startTimeMs_ = RoundHalfEven(firstTime);
  } else if (FrameIndexAtTime(firstTime, fps_) > startFrame_) {
    startFrame_ = FrameIndexAtTime(firstTime, fps_);
    startTimeMs_ = RoundHalfEven(firstTime);
  }
  if (seekByTime_ == 0) return VideoStatus::kOk;

  // The first grabbed frame opens the probe; the others are grabbed one by one.
  TimingProbe probe(fps_);
  probe.Add(firstTime);
  for (int grabbed = 1; grabbed < TimingProbe::kMaxFrames && !probe.Done(); ++grabbed) {
    if (!file_->Grab()) break;
    if (!probe.Add(Position())) return VideoStatus::kTimesBackwards;
  }
  const TimingProbe::Verdict verdict = probe.Finish(Position());
  if (verdict.refused) return VideoStatus::kRateMismatch;
  seekByTime_ = verdict.seekByTime;
  measuredFps_ = verdict.measuredFps;
  return VideoStatus::kOk;
}

void VideoSource::ReadFileGeometry() {
  const double count = file_->Get(CaptureProperty::FrameCount);
  lastFrame_ = RoundHalfEven(std::max(1.0, count - 1.0));
  frameCount_ = RoundHalfEven(std::max(0.0, count));
  frameWidth_ = static_cast<int>(file_->Get(CaptureProperty::FrameWidth));
  frameHeight_ = static_cast<int>(file_->Get(CaptureProperty::FrameHeight));
  fourcc_ = static_cast<int>(file_->Get(CaptureProperty::FourCC));
  if (backend_ == kBackendMsmf) {
    convertFlag_ = static_cast<int>(file_->Get(CaptureProperty::ConvertRgb));
  }
}

bool VideoSource::IsFileOpen() const { return file_ != nullptr && file_->IsOpened(); }

VideoStatus VideoSource::GoToFrame(int n) {
  if (!IsFileOpen()) return VideoStatus::kNotOpen;
  n = std::min(n, lastFrame_ - startFrame_);
  if (n < 0) {
    file_->Set(CaptureProperty::PosFrames, 0);
    currentFrame_ = -1;
    SetBlackFrame();
    return VideoStatus::kOk;
  }
  // OpenCV's readers leave a seek just before the frame sought, so every seek is followed by
  // a read: the frame read is the one at the position set.
  if (currentFrame_ >= 0 && n == currentFrame_ + 1) return ReadInto(file_->Read(scratch_), n);
  CaptureStatus seek = CaptureStatus::Ok;
  if (seekByTime_ != 0) {
    seek = file_->Set(CaptureProperty::PosMsec, static_cast<double>(FrameTimeMs(n)) + originMs_);
  } else {
    seek = file_->Set(CaptureProperty::PosFrames, startFrame_ + n > 0 ? startFrame_ + n : 0);
  }
  if (seek == CaptureStatus::Error) return VideoStatus::kCaptureError;
  return ReadInto(file_->Read(scratch_), n);
}

VideoStatus VideoSource::ReadInto(CaptureStatus status, int requested) {
  if (status == CaptureStatus::Error) return VideoStatus::kCaptureError;
  if (status == CaptureStatus::NoData || scratch_.empty()) {
    SetBlackFrame();
    currentFrame_ = requested;
    return VideoStatus::kOk;
  }
  std::swap(current_, scratch_);
  const double time = PositionOfFrameRead(requested);
  currentFrame_ = std::max(0, FrameIndexAtTime(time, fps_) - startFrame_);
  return VideoStatus::kOk;
}

bool VideoSource::ReadNextFrame(cv::Mat& image, double& positionMs) {
  if (!IsFileOpen()) return false;
  if (file_->Read(image) != CaptureStatus::Ok || image.empty()) return false;
  return AfterRead(positionMs);
}

bool VideoSource::GrabNextFrame(double& positionMs) {
  if (!IsFileOpen() || !file_->Grab()) return false;
  return AfterRead(positionMs);
}

bool VideoSource::AfterRead(double& positionMs) {
  positionMs = PositionOfFrameRead(currentFrame_ + 1);
  currentFrame_ = std::max(0, FrameIndexAtTime(positionMs, fps_) - startFrame_);
  return true;
}

bool VideoSource::CountMatchesEnd() {
  if (!IsFileOpen() || frameCount_ < 1) return false;
  const int last = frameCount_ - 1;
  bool matches = file_->Set(CaptureProperty::PosFrames, last) == CaptureStatus::Ok &&
                 file_->Grab() &&
                 RoundHalfEven(file_->Get(CaptureProperty::PosFrames)) == frameCount_;
  matches = matches && !file_->Grab();
  GoToFrame(-1);
  return matches;
}

double VideoSource::Position() const { return file_->Get(CaptureProperty::PosMsec) - originMs_; }

double VideoSource::PositionOfFrameRead(int expected) const {
  const double reported = file_->Get(CaptureProperty::PosMsec);
  if (reported != 0.0 || expected < 1 || nominalFps_ <= 0) return reported - originMs_;
  return (startFrame_ + expected) * 1000.0 / nominalFps_;
}

void VideoSource::SetBlackFrame() {
  current_.create(std::max(frameHeight_, 1), std::max(frameWidth_, 1), CV_8UC3);
  current_.setTo(cv::Scalar::all(0));
}

int64_t VideoSource::FrameTimeMs(int n) const {
  if (n == -1) n = currentFrame_;
  if (n < 0 || static_cast<int64_t>(startFrame_) + n > lastFrame_) return 0;
  if (static_cast<size_t>(n) < frameTimes_.size()) return frameTimes_[n];
  return RateTimeMs(n, fps_);
}

void VideoSource::ReleaseFile() {
  if (file_) file_->Release();
  file_.reset();
  backend_ = -1;
  currentFrame_ = -1;
  fps_ = 0.0;
  measuredFps_ = 0.0;
  nominalFps_ = 0.0;
  originMs_ = 0.0;
  startFrame_ = 0;
  startTimeMs_ = 0;
  lastFrame_ = 1;
  frameCount_ = 0;
  frameWidth_ = frameHeight_ = 0;
  fourcc_ = convertFlag_ = 0;
}

VideoInfoFields VideoSource::InfoFields() const {
  VideoInfoFields fields;
  fields.backend = backend_;
  fields.timing = seekByTime_;
  fields.startFrame = startFrame_;
  fields.startTimeMs = static_cast<uint32_t>(startTimeMs_);
  fields.lastFrame = lastFrame_;
  fields.correction = 0;
  fields.version = PackedProgramVersion();
  return fields;
}

// ---- Cameras -------------------------------------------------------------------------------

bool VideoSource::OpenCameraDevice(int index) {
  const int device = cameras_ ? cameras_->Device(index) : index;
  for (int backend : kCameraBackends) {
    std::unique_ptr<Capture> capture = factory_();
    if (capture && capture->OpenDevice(device, backend) && capture->IsOpened()) {
      camera_ = std::move(capture);
      cameraIndex_ = index;
      ++openCount_;
      return true;
    }
  }
  return false;
}

void VideoSource::ReadCameraSize() {
  cameraWidth_ = camera_ ? static_cast<int>(camera_->Get(CaptureProperty::FrameWidth)) : 0;
  cameraHeight_ = camera_ ? static_cast<int>(camera_->Get(CaptureProperty::FrameHeight)) : 0;
}

void VideoSource::ReleaseCamera() {
  if (camera_) camera_->Release();
  camera_.reset();
  cameraIndex_ = -1;
  cameraWidth_ = cameraHeight_ = 0;
  cameraName_.clear();
  cameraRequestedFps_ = -1;
  skipFactor_ = 0;
}

bool VideoSource::OpenCamera(int index) {
  StopAcquisition();
  ReleaseCamera();
  if (!OpenCameraDevice(index)) return false;
  camera_->Set(CaptureProperty::FrameWidth, kDefaultCameraWidth);
  camera_->Set(CaptureProperty::FrameHeight, kDefaultCameraHeight);
  ReadCameraSize();
  cameraName_ = cameras_ ? cameras_->Name(index) : std::string();
  return true;
}

VideoStatus VideoSource::OpenCameraFor(const std::string& name, int fps, int width, int height) {
  if (camera_ && cameraName_ == name && cameraRequestedFps_ == fps && cameraWidth_ == width &&
      cameraHeight_ == height) {
    return VideoStatus::kOk;
  }
  StopAcquisition();
  ReleaseCamera();
  const int index = cameras_ ? cameras_->Find(name) : -1;
  if (index < 0) return VideoStatus::kCameraNotFound;
  const CaptureRate rate = CaptureRateFor(fps);
  if (!OpenCameraDevice(index)) return VideoStatus::kCameraOpenFailed;
  camera_->Set(CaptureProperty::FourCC, FourCC('M', 'J', 'P', 'G'));
  if (rate.rate >= 0) camera_->Set(CaptureProperty::Fps, rate.rate);
  camera_->Set(CaptureProperty::FrameWidth, width);
  camera_->Set(CaptureProperty::FrameHeight, height);
  ReadCameraSize();
  if (cameraWidth_ != width || cameraHeight_ != height) {
    ReleaseCamera();
    return VideoStatus::kCameraSizeNotSupported;
  }
  cameraName_ = name;
  cameraRequestedFps_ = fps;
  skipFactor_ = rate.skipFactor;
  if (loops_.grab || loops_.process) StartAcquisition();
  return VideoStatus::kOk;
}

bool VideoSource::TryCameraSize(int width, int height) {
  if (!camera_) return false;
  camera_->Set(CaptureProperty::FrameHeight, 0);
  camera_->Set(CaptureProperty::FrameWidth, width);
  camera_->Set(CaptureProperty::FrameHeight, height);
  ReadCameraSize();
  return cameraWidth_ == width && cameraHeight_ == height;
}

std::vector<cv::Size> VideoSource::ProbeCameraSizes(SettingsStore& settings,
                                                    const std::vector<cv::Size>& candidates) {
  std::vector<cv::Size> accepted;
  if (!camera_) return accepted;
  for (const cv::Size& size : candidates) {
    if (TryCameraSize(size.width, size.height)) accepted.push_back(size);
  }
  SaveCameraSizes(settings, cameraName_, accepted);
  return accepted;
}

// ---- Acquisition threads -------------------------------------------------------------------

void VideoSource::StartAcquisition() {
  StopAcquisition();
  stop_.Reset();
  if (loops_.grab) grabThread_ = std::thread([this] { loops_.grab(*this); });
  if (loops_.process) processThread_ = std::thread([this] { loops_.process(*this); });
}

void VideoSource::StopAcquisition() {
  stop_.Set();
  if (grabThread_.joinable()) grabThread_.join();
  if (processThread_.joinable()) processThread_.join();
}

void VideoSource::CloseSource() {
  StopAcquisition();
  ReleaseCamera();
  ReleaseFile();
}

}  // namespace vx
