// A scripted frame stream standing in for the video library in video-source tests.
//
// Frames are small images whose first pixel spells their index, each with a scripted time.
// Seeking mimics OpenCV's readers: after Set(PosFrames, k) or Set(PosMsec, t) the next Read
// returns frame k (or the first frame whose time reaches t). PosMsec reports the time of the
// frame last grabbed, PosFrames the index of the next one. Faults can be injected.
#pragma once

#include <opencv2/core.hpp>

#include <memory>
#include <string>
#include <vector>

#include "video/capture.h"

namespace vx::testing {

struct CaptureScript {
  virtual ~CaptureScript() = default;
  // The image of frame index: by default a small frame whose first pixel spells its index.
  virtual void Render(int index, cv::Mat& image) const {
    image.create(size, CV_8UC3);
    image.setTo(cv::Scalar(index % 256, index / 256, 7));
  }

  std::vector<double> times;  // one per frame, ms
  double fps = 25.0;
  double frameCount = -1;     // reported count; -1: the number of frames
  cv::Size size{8, 6};
  std::vector<int> backends = {kBackendFfmpeg};  // back-ends that open the file or device
  double reportedStartPos = 0;  // PosFrames before the first grab
  bool failSeek = false;      // Set(Pos*) raises an error
  bool failRead = false;      // Read raises an error
  // Camera behaviour: the sizes the device accepts (others fall back to the first).
  std::vector<cv::Size> cameraSizes;

  // Records.
  std::vector<int> openAttempts;  // back-ends tried, in order
  std::vector<std::pair<CaptureProperty, double>> sets;
  int seeks = 0;
  int reads = 0;

  static std::shared_ptr<CaptureScript> Regular(int frames, double fps) {
    auto script = std::make_shared<CaptureScript>();
    script->fps = fps;
    for (int i = 0; i < frames; ++i) script->times.push_back(i * 1000.0 / fps);
    return script;
  }
};

// The index spelled by a frame made by FakeCapture.
inline int FrameNumberOf(const cv::Mat& image) {
  if (image.empty()) return -1;
  const cv::Vec3b pixel = image.at<cv::Vec3b>(0, 0);
  return pixel[0] + 256 * pixel[1];
}

class FakeCapture : public Capture {
 public:
  explicit FakeCapture(std::shared_ptr<CaptureScript> script) : script_(std::move(script)) {}

  bool OpenFile(const std::string&, int backend) override { return Open(backend); }
  bool OpenDevice(int, int backend) override {
    if (!Open(backend)) return false;
    if (!script_->cameraSizes.empty()) size_ = requested_ = script_->cameraSizes.front();
    return true;
  }
  bool IsOpened() const override { return open_; }
  void Release() override { open_ = false; }
  bool Grab() override {
    if (!open_ || next_ >= static_cast<int>(script_->times.size())) return false;
    last_ = next_++;
    return true;
  }
  CaptureStatus Retrieve(cv::Mat& image) override {
    if (last_ < 0) return CaptureStatus::NoData;
    script_->Render(last_, image);
    return CaptureStatus::Ok;
  }
  CaptureStatus Read(cv::Mat& image) override {
    ++script_->reads;
    if (script_->failRead) return CaptureStatus::Error;
    if (!Grab()) {
      image.release();
      return CaptureStatus::NoData;
    }
    return Retrieve(image);
  }
  double Get(CaptureProperty property) const override {
    switch (property) {
      case CaptureProperty::PosMsec: return last_ >= 0 ? script_->times[last_] : 0.0;
      case CaptureProperty::PosFrames: return next_ == 0 ? script_->reportedStartPos : next_;
      case CaptureProperty::FrameWidth: return size_.width;
      case CaptureProperty::FrameHeight: return size_.height;
      case CaptureProperty::Fps: return script_->fps;
      case CaptureProperty::FourCC: return FourCC('M', 'J', 'P', 'G');
      case CaptureProperty::FrameCount:
        return script_->frameCount >= 0 ? script_->frameCount
                                        : static_cast<double>(script_->times.size());
      case CaptureProperty::Backend: return backend_;
      case CaptureProperty::ConvertRgb: return 1;
    }
    return 0;
  }
  CaptureStatus Set(CaptureProperty property, double value) override {
    script_->sets.emplace_back(property, value);
    if (property == CaptureProperty::PosFrames || property == CaptureProperty::PosMsec) {
      if (script_->failSeek) return CaptureStatus::Error;
      ++script_->seeks;
      next_ = property == CaptureProperty::PosFrames ? static_cast<int>(value) : FirstAtTime(value);
      return CaptureStatus::Ok;
    }
    if (property == CaptureProperty::FrameWidth || property == CaptureProperty::FrameHeight) {
      (property == CaptureProperty::FrameWidth ? requested_.width : requested_.height) =
          static_cast<int>(value);
      for (const cv::Size& accepted : script_->cameraSizes) {
        if (accepted == requested_) size_ = requested_;
      }
    }
    return CaptureStatus::Ok;
  }

 private:
  bool Open(int backend) {
    script_->openAttempts.push_back(backend);
    for (int accepted : script_->backends) {
      if (accepted == backend) {
        open_ = true;
        backend_ = backend == kBackendAny ? kBackendV4l2 : backend;
        return true;
      }
    }
    return false;
  }
  int FirstAtTime(double t) const {
    for (size_t i = 0; i < script_->times.size(); ++i) {
      if (script_->times[i] >= t - 0.5) return static_cast<int>(i);
    }
    return static_cast<int>(script_->times.size());
  }

  std::shared_ptr<CaptureScript> script_;
  cv::Size size_ = script_->size;
  cv::Size requested_ = size_;
  bool open_ = false;
  int backend_ = 0;
  int next_ = 0;
  int last_ = -1;
};

inline CaptureFactory FakeCaptureFactory(std::shared_ptr<CaptureScript> script) {
  return [script] { return std::make_unique<FakeCapture>(script); };
}

}  // namespace vx::testing
