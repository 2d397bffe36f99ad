#include "video/capture.h"

#include <opencv2/core/utils/logger.hpp>
#include <opencv2/videoio.hpp>
#include <opencv2/videoio/registry.hpp>

#include <cstdlib>
#include <mutex>

namespace vx {

namespace {

int OpenCvProperty(CaptureProperty property) {
  switch (property) {
    case CaptureProperty::PosMsec: return cv::CAP_PROP_POS_MSEC;
    case CaptureProperty::PosFrames: return cv::CAP_PROP_POS_FRAMES;
    case CaptureProperty::FrameWidth: return cv::CAP_PROP_FRAME_WIDTH;
    case CaptureProperty::FrameHeight: return cv::CAP_PROP_FRAME_HEIGHT;
    case CaptureProperty::Fps: return cv::CAP_PROP_FPS;
    case CaptureProperty::FourCC: return cv::CAP_PROP_FOURCC;
    case CaptureProperty::FrameCount: return cv::CAP_PROP_FRAME_COUNT;
    case CaptureProperty::Backend: return cv::CAP_PROP_BACKEND;
    case CaptureProperty::ConvertRgb: return cv::CAP_PROP_CONVERT_RGB;
  }
  return -1;
}

void SilenceOpenCvOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
    // FFmpeg's own messages ("moov atom not found" and the like) are silenced the same way,
    // unless the user asked for them; the variable is read when FFmpeg is first set up.
    setenv("OPENCV_FFMPEG_LOGLEVEL", "-8", 0);
  });
}

// Every call is wrapped: a decoder error must read as a failed call, never as an exception
// crossing into the video source.
class OpenCvCapture : public Capture {
 public:
  OpenCvCapture() { SilenceOpenCvOnce(); }

  bool OpenFile(const std::string& path, int backend) override {
    if (!BackendAvailable(backend)) return false;
    try {
      return capture_.open(path, backend) && capture_.isOpened();
    } catch (const cv::Exception&) {
      return false;
    }
  }
  bool OpenDevice(int device, int backend) override {
    if (backend != kBackendAny && !BackendAvailable(backend)) return false;
    try {
      return capture_.open(device, backend) && capture_.isOpened();
    } catch (const cv::Exception&) {
      return false;
    }
  }
  bool IsOpened() const override { return capture_.isOpened(); }
  void Release() override {
    try {
      capture_.release();
    } catch (const cv::Exception&) {
    }
  }
  bool Grab() override {
    try {
      return capture_.grab();
    } catch (const cv::Exception&) {
      return false;
    }
  }
  CaptureStatus Retrieve(cv::Mat& image) override {
    try {
      return capture_.retrieve(image) && !image.empty() ? CaptureStatus::Ok : CaptureStatus::NoData;
    } catch (const cv::Exception&) {
      return CaptureStatus::Error;
    }
  }
  CaptureStatus Read(cv::Mat& image) override {
    try {
      return capture_.read(image) && !image.empty() ? CaptureStatus::Ok : CaptureStatus::NoData;
    } catch (const cv::Exception&) {
      return CaptureStatus::Error;
    }
  }
  double Get(CaptureProperty property) const override {
    try {
      return capture_.get(OpenCvProperty(property));
    } catch (const cv::Exception&) {
      return 0.0;
    }
  }
  CaptureStatus Set(CaptureProperty property, double value) override {
    try {
      return capture_.set(OpenCvProperty(property), value) ? CaptureStatus::Ok
                                                            : CaptureStatus::NoData;
    } catch (const cv::Exception&) {
      return CaptureStatus::Error;
    }
  }

 private:
  cv::VideoCapture capture_;
};

}  // namespace

std::unique_ptr<Capture> MakeOpenCvCapture() { return std::make_unique<OpenCvCapture>(); }

CaptureFactory OpenCvCaptureFactory() { return [] { return MakeOpenCvCapture(); }; }

bool BackendAvailable(int backend) {
  try {
    return cv::videoio_registry::hasBackend(static_cast<cv::VideoCaptureAPIs>(backend));
  } catch (const cv::Exception&) {
    return false;
  }
}

const char* BackendName(int backend) {
  switch (backend) {
    case kBackendDshow: return "DSHOW";
    case kBackendMsmf: return "MSMF";
    case kBackendFfmpeg: return "FFMPEG";
    case kBackendV4l2: return "V4L2";
    default: return "Unknown";
  }
}

}  // namespace vx
