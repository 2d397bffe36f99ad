// Writing frames into a video file (an annotated copy of a test's video, a recording). The file
// is written by OpenCV's FFmpeg back-end; by default a path ending in ".mp4" gets H.264, ".avi"
// Motion-JPEG.
//
// Lifecycle: closed --Open--> open --Write...--> open --Close (or destruction)--> closed. A
// failed Open leaves it closed and no file behind.
#pragma once

#include <opencv2/core/mat.hpp>

#include <memory>
#include <string>

namespace cv {
class VideoWriter;
}

namespace vx {

class VideoFileWriter {
 public:
  VideoFileWriter();
  ~VideoFileWriter();
  VideoFileWriter(const VideoFileWriter&) = delete;
  VideoFileWriter& operator=(const VideoFileWriter&) = delete;

  // Opens path for frames of size at fps (frames per second, above 0). False when the
  // extension is not one of the two, or no encoder accepts the file.
  bool Open(const std::string& path, double fps, cv::Size size);
  // The same with a codec given by its four-character code (the container still follows the
  // extension).
  bool OpenWithCodec(const std::string& path, int fourcc, double fps, cv::Size size);
  // Appends one 8-bit BGR frame of the opened size; false when it could not be written.
  bool Write(const cv::Mat& frame);
  void Close();
  bool IsOpen() const;

 private:
  std::unique_ptr<cv::VideoWriter> writer_;
  cv::Size size_;
};

}  // namespace vx
