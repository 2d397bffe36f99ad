// A live stream of frames for an acquisition: a camera, or a video file played as if it were
// one (the stand-in a user replays a test with, and the tests record from).
//
// Times: each frame carries its time in ms from the stream's first frame. A camera's times are
// the driver's capture stamps when it gives rising ones, else the monotonic clock at the grab;
// the stand-in's are the file's own frame times, so that a recording made from it can be
// checked against the file.
//
// Pace: a camera delivers frames when they are captured. The stand-in, in real time, delivers
// each frame when its time has come (counted from the first Next); in fast pace it delivers
// them at once, times still from the file, for tests.
//
// Threads: one thread reads a stream (the grabbing thread of an acquisition).
#pragma once

#include <opencv2/core/mat.hpp>

#include <memory>
#include <string>

#include "video/camera_list.h"
#include "video/capture.h"
#include "video/stop_event.h"
#include "video/video_source.h"

namespace vx {

class LiveStream {
 public:
  virtual ~LiveStream() = default;
  // Waits for the next frame (8-bit BGR). False at the end of the stream (a file played to its
  // end), when the device stopped delivering, or when stop was set while waiting.
  virtual bool Next(cv::Mat& frame, double& timeMs, const StopEvent& stop) = 0;
  virtual cv::Size FrameSize() const = 0;
  virtual double Fps() const = 0;        // frames per second announced
  virtual std::string Name() const = 0;  // the camera's name, or the file's path
};

enum class StreamPace { kRealTime, kFast };

// What an acquisition asks of a camera: list position, rate (0: as fast as it goes) and size.
struct CameraRequest {
  int index = 0;
  int fps = 0;
  cv::Size size{640, 480};
};

// Opens a camera of the list (enumerated first when empty) for an acquisition (V4L2 first, the
// MJPG codec, rate and size asked; the size must be delivered exactly). Null, with status
// kCameraNotFound, kCameraOpenFailed or kCameraSizeNotSupported, on failure.
std::unique_ptr<LiveStream> OpenCameraStream(const CameraRequest& request, VideoStatus& status,
                                             CameraList& cameras = ProcessCameras(),
                                             CaptureFactory factory = OpenCvCaptureFactory());

// Opens a video file as a stand-in camera. Null, with the file's VideoStatus, when it cannot
// be read.
std::unique_ptr<LiveStream> OpenStandInStream(const std::string& path, StreamPace pace,
                                              VideoStatus& status,
                                              CaptureFactory factory = OpenCvCaptureFactory());

}  // namespace vx
