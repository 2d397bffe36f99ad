// One frame stream from a video file or a camera, behind a small interface.
//
// The video source talks to its streams only through Capture, so that its rules (backend
// order, frame-rate checks, the timing probe, seeking) can be exercised with scripted streams
// in tests, and so that OpenCV's video I/O stays inside this module. The real implementation
// wraps cv::VideoCapture and turns every cv::Exception into a failed call.
//
// Threads: a Capture is used by one thread at a time (the owner of the video source, or the
// grabbing thread during an acquisition).
#pragma once

#include <opencv2/core/mat.hpp>

#include <functional>
#include <memory>
#include <string>

namespace vx {

// Capture back-ends by OpenCV's API identifiers. DSHOW and MSMF exist only on Windows; on
// Linux files are read by FFMPEG and cameras by V4L2, and an unavailable back-end simply fails
// to open so that the next one in an order is tried.
inline constexpr int kBackendAny = 0;
inline constexpr int kBackendV4l2 = 200;  // also the second camera interface of the order
inline constexpr int kBackendDshow = 700;
inline constexpr int kBackendMsmf = 1400;
inline constexpr int kBackendFfmpeg = 1900;

// A four-character codec code, as the video library packs it.
constexpr int FourCC(char a, char b, char c, char d) {
  return static_cast<unsigned char>(a) | (static_cast<unsigned char>(b) << 8) |
         (static_cast<unsigned char>(c) << 16) | (static_cast<unsigned char>(d) << 24);
}

// The stream properties the video source reads or sets.
enum class CaptureProperty {
  PosMsec,      // time of the frame last grabbed, ms (set: seek by time)
  PosFrames,    // index of the next frame (set: seek by index)
  FrameWidth,
  FrameHeight,
  Fps,
  FourCC,
  FrameCount,
  Backend,      // the API identifier actually used
  ConvertRgb,   // MSMF's RGB-conversion flag
};

// Outcome of a read or a property change: done, nothing there (end of stream, property not
// supported), or the library raised an error.
enum class CaptureStatus { Ok, NoData, Error };

class Capture {
 public:
  virtual ~Capture() = default;
  // Opens a file with one back-end. False when the back-end is missing or cannot read it.
  virtual bool OpenFile(const std::string& path, int backend) = 0;
  // Opens camera number `device` with one back-end.
  virtual bool OpenDevice(int device, int backend) = 0;
  virtual bool IsOpened() const = 0;
  virtual void Release() = 0;
  // Decodes the next frame into the stream's own buffer.
  virtual bool Grab() = 0;
  // Hands out the frame last grabbed; NoData (image empty) when there is none.
  virtual CaptureStatus Retrieve(cv::Mat& image) = 0;
  // Grab then Retrieve; NoData (image empty) at the end of the stream.
  virtual CaptureStatus Read(cv::Mat& image) = 0;
  // 0 when the property is unknown or the call failed.
  virtual double Get(CaptureProperty property) const = 0;
  virtual CaptureStatus Set(CaptureProperty property, double value) = 0;
};

using CaptureFactory = std::function<std::unique_ptr<Capture>()>;

// Streams read by OpenCV's video I/O. Silences OpenCV's own log output on first use: the core
// reports through return values, never on the terminal.
std::unique_ptr<Capture> MakeOpenCvCapture();
CaptureFactory OpenCvCaptureFactory();

// Whether this build of the video library has the back-end at all.
bool BackendAvailable(int backend);

// "DSHOW", "MSMF", "FFMPEG", "V4L2" or "Unknown".
const char* BackendName(int backend);

}  // namespace vx
