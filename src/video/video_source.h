// The video source: the one object through which a view or an analysis gets its images, from
// a video file or from a camera.
//
// Lifecycle (each transition by the function named):
//   closed --OpenFile--> file open, currentFrame -1 --GoToFrame--> positioned
//   closed --OpenCamera / OpenCameraFor--> camera open --StartAcquisition--> acquiring
//   any --CloseSource--> closed (worker threads stopped and joined, both streams released)
// Opening a file releases the previous file; opening a camera releases the previous camera.
// Every successful open advances OpenCount(), which tells the detection memories built on this
// source that they must start again.
//
// Units: frame indexes are relative to the test's first frame (startFrame) unless stated;
// times are milliseconds from the start of the video.
//
// Threads: file access (OpenFile, GoToFrame, FrameTimeMs) runs on the thread that owns the
// source. During an acquisition two worker threads run on it, signalled to stop by
// StopSignal(); CloseSource waits for them. Two mutexes belong to the source for the code
// built on it: ContextMutex() guards the detection context, DisplayMutex() the display state
// (current frame, mask, blobs, current point, trajectory being recorded).
#pragma once

#include <opencv2/core/mat.hpp>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "video/camera_list.h"
#include "video/capture.h"
#include "video/stop_event.h"
#include "video/video_info.h"

namespace vx {

// Outcome of the source's operations; kOk is 0.
enum class VideoStatus {
  kOk = 0,
  kCannotOpen,           // no back-end could open the file
  kBadFrameRate,         // reported rate 0, negative, or 200 and more
  kFirstGrabFailed,      // not even one frame could be decoded
  kTimesBackwards,       // frame times go backwards during the timing probe
  kRateMismatch,         // measured rate off by more than a factor 2 from the reported one
  kNotOpen,              // no file is open
  kCaptureError,         // the video library raised an error while seeking or reading
  kCameraNotFound,       // the camera name is not in the camera list
  kCameraOpenFailed,     // no camera interface could open the device
  kCameraSizeNotSupported,  // the camera does not deliver the requested frame size
};

// A short English sentence for a status, for logs and the command line.
const char* VideoStatusText(VideoStatus status);

// What the caller knows about the file beyond its path.
struct FileOpenOptions {
  std::vector<uint32_t> frameTimes;  // per-frame times recorded with the video (ms); may be empty
  bool analysedWithFfmpeg = false;   // the test's analysis information names FFMPEG
  bool ownRecording = false;         // the acquisition's own temporary recording
};

class VideoSource {
 public:
  explicit VideoSource(CaptureFactory factory = OpenCvCaptureFactory(),
                       CameraList* cameras = &ProcessCameras());
  ~VideoSource();
  VideoSource(const VideoSource&) = delete;
  VideoSource& operator=(const VideoSource&) = delete;

  // ---- Files -------------------------------------------------------------------------------
  // Opens a video file, tries the back-ends in order, checks the frame rate, finds the start
  // offset and, unless the file is sought by frame index, probes its timing. On failure the
  // source holds no file.
  VideoStatus OpenFile(const std::string& path, const FileOpenOptions& options = {});
  bool IsFileOpen() const;

  // Makes CurrentImage() hold frame n (relative to startFrame). n beyond the end is clamped to
  // the last frame; n = -1 rewinds and yields a black frame. An empty read also yields the
  // black frame. On kCaptureError the previous image stays.
  VideoStatus GoToFrame(int n);

  // Time of frame n in ms (n = -1: the current frame): the recorded time when the video has
  // one for n, else the time from the rate; 0 for a negative index or one past the end.
  int64_t FrameTimeMs(int n) const;

  const cv::Mat& CurrentImage() const { return current_; }

  // Reads the frame that follows the one last read (after OpenFile or GoToFrame(-1): the first
  // frame) into image, for a loop that reads a file once from start to end without touching
  // CurrentImage(). positionMs receives the time the back-end reports for that frame, and
  // currentFrame() follows it. False at the end of the stream or on a capture error (image is
  // then left empty or unchanged). image is written in place when it already has the frame's
  // size, so a caller can hand in recycled buffers.
  bool ReadNextFrame(cv::Mat& image, double& positionMs);
  // The same step without handing out the image (the frame is decoded, not converted): for
  // counting frames and reading their times.
  bool GrabNextFrame(double& positionMs);

  // Whether the frame count the file announces can be trusted: a count is given and the
  // frame it names last exists and is the last one (an edit list that drops frames, a cut or
  // a damaged end makes them disagree). Reads around the end of the file, then rewinds.
  bool CountMatchesEnd();

  // ---- Cameras -----------------------------------------------------------------------------
  // Opens camera list position index (V4L2, then any other interface) and asks for 640×480.
  // Failure leaves cameraIndex -1 and both camera sizes 0.
  bool OpenCamera(int index);
  // Opens the named camera for an acquisition at a rate and size (see CaptureRateFor); succeeds
  // at once when that camera is already open so. Starts the acquisition loops when set.
  VideoStatus OpenCameraFor(const std::string& name, int fps, int width, int height);
  // On the open camera: whether it delivers exactly width × height.
  bool TryCameraSize(int width, int height);
  // Tries every candidate size on the open camera and stores the accepted ones in the Webcams
  // cache under the camera's name. Returns the accepted sizes.
  std::vector<cv::Size> ProbeCameraSizes(SettingsStore& settings,
                                         const std::vector<cv::Size>& candidates);
  // The open camera's stream, for the grabbing loop; nullptr when no camera is open.
  Capture* CameraCapture() { return camera_.get(); }

  // ---- Acquisition threads -----------------------------------------------------------------
  // The two loops of an acquisition: one grabs frames, the other processes and records them.
  // Each runs on its own thread and must return soon after StopSignal() is set.
  struct AcquisitionLoops {
    std::function<void(VideoSource&)> grab;
    std::function<void(VideoSource&)> process;
  };
  // Loops started by every successful OpenCameraFor (none by default).
  void SetAcquisitionLoops(AcquisitionLoops loops) { loops_ = std::move(loops); }
  void StartAcquisition();
  void StopAcquisition();  // signals and joins; the camera stays open
  bool IsAcquiring() const { return grabThread_.joinable() || processThread_.joinable(); }
  const StopEvent& StopSignal() const { return stop_; }

  // Stops the threads and releases both streams.
  void CloseSource();

  std::mutex& ContextMutex() { return contextMutex_; }
  std::mutex& DisplayMutex() { return displayMutex_; }
  // Advances on every successful open (file or camera).
  uint64_t OpenCount() const { return openCount_; }

  // ---- State read by the analysis and the information record --------------------------------
  int backend() const { return backend_; }
  int preferredBackend() const { return preferredBackend_; }
  void setPreferredBackend(int backend) { preferredBackend_ = backend; }
  int seekByTime() const { return seekByTime_; }
  int startFrame() const { return startFrame_; }
  int startTimeMs() const { return startTimeMs_; }
  int lastFrame() const { return lastFrame_; }
  int frameCount() const { return frameCount_; }  // as the file reports it
  int currentFrame() const { return currentFrame_; }
  double fps() const { return fps_; }
  int frameWidth() const { return frameWidth_; }
  int frameHeight() const { return frameHeight_; }
  int fourcc() const { return fourcc_; }
  int convertFlag() const { return convertFlag_; }
  const std::vector<uint32_t>& frameTimes() const { return frameTimes_; }
  int cameraIndex() const { return cameraIndex_; }
  int cameraWidth() const { return cameraWidth_; }
  int cameraHeight() const { return cameraHeight_; }
  int skipFactor() const { return skipFactor_; }
  double measuredFps() const { return measuredFps_; }
  // The rate as the file announces it (fps() may be rounded up for time seeking).
  double nominalFps() const { return nominalFps_; }
  // The back-end time of the first frame when it was negative (files cut with an edit list):
  // every position is reported relative to it, so the first frame is at 0. 0 otherwise.
  double originMs() const { return originMs_; }

  // The video fields of the analysis information for the open file.
  VideoInfoFields InfoFields() const;

 private:
  VideoStatus OpenWithBackendOrder(const std::string& path, const std::vector<int>& order);
  VideoStatus ReadStartAndTiming();
  void ReadFileGeometry();
  VideoStatus ReadInto(CaptureStatus status, int requested);
  // The position (ms) of the frame just read, expected to be frame `expected`. FFmpeg's reader
  // reports 0 for the frames it drains from the decoder after the file's last packet (the
  // reordering delay of H.264): such a frame is placed where it was expected, at the rate the
  // file announces (not the rounded-up one, which drifts by a frame every few hundred).
  double PositionOfFrameRead(int expected) const;
  double Position() const;  // the back-end's time of the frame last grabbed, from the origin
  bool AfterRead(double& positionMs);
  void SetBlackFrame();
  void ReleaseFile();
  bool OpenCameraDevice(int index);
  void ReadCameraSize();
  void ReleaseCamera();

  CaptureFactory factory_;
  CameraList* cameras_;
  std::unique_ptr<Capture> file_;
  std::unique_ptr<Capture> camera_;
  std::string cameraName_;
  int cameraRequestedFps_ = -1;

  int seekByTime_ = 1;
  int startFrame_ = 0;
  int startTimeMs_ = 0;
  int lastFrame_ = 1;
  int frameCount_ = 0;
  int currentFrame_ = -1;
  double fps_ = 0.0;
  double measuredFps_ = 0.0;
  double nominalFps_ = 0.0;
  double originMs_ = 0.0;
  int frameWidth_ = 0;
  int frameHeight_ = 0;
  int fourcc_ = 0;
  int convertFlag_ = 0;
  int backend_ = -1;
  int preferredBackend_ = 0;
  std::vector<uint32_t> frameTimes_;
  int cameraIndex_ = -1;
  int cameraWidth_ = 0;
  int cameraHeight_ = 0;
  int skipFactor_ = 0;

  cv::Mat current_;
  cv::Mat scratch_;  // the next frame is decoded here, then swapped in
  uint64_t openCount_ = 0;

  AcquisitionLoops loops_;
  StopEvent stop_;
  std::thread grabThread_;
  std::thread processThread_;
  std::mutex contextMutex_;
  std::mutex displayMutex_;
};

}  // namespace vx
