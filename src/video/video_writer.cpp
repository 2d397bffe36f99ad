#include "video/video_writer.h"

#include <opencv2/videoio.hpp>

#include "base/text.h"

namespace vx {

namespace {

// The codec a file's extension calls for; 0 when the extension is not one we write.
int CodecForPath(const std::string& path) {
  const size_t dot = path.rfind('.');
  const std::string extension = dot == std::string::npos ? "" : ToLower(path.substr(dot));
  if (extension == ".mp4") return cv::VideoWriter::fourcc('a', 'v', 'c', '1');
  if (extension == ".avi") return cv::VideoWriter::fourcc('M', 'J', 'P', 'G');
  return 0;
}

}  // namespace

VideoFileWriter::VideoFileWriter() = default;

VideoFileWriter::~VideoFileWriter() { Close(); }

bool VideoFileWriter::Open(const std::string& path, double fps, cv::Size size) {
  return OpenWithCodec(path, CodecForPath(path), fps, size);
}

bool VideoFileWriter::OpenWithCodec(const std::string& path, int codec, double fps,
                                    cv::Size size) {
  Close();
  if (codec == 0 || !(fps > 0) || size.width <= 0 || size.height <= 0) return false;
  try {
    writer_ = std::make_unique<cv::VideoWriter>(path, cv::CAP_FFMPEG, codec, fps, size, true);
    if (writer_->isOpened()) {
      size_ = size;
      return true;
    }
  } catch (const cv::Exception&) {
  }
  writer_.reset();
  return false;
}

bool VideoFileWriter::Write(const cv::Mat& frame) {
  if (!IsOpen() || frame.size() != size_ || frame.type() != CV_8UC3) return false;
  try {
    writer_->write(frame);
    return true;
  } catch (const cv::Exception&) {
    return false;
  }
}

void VideoFileWriter::Close() {
  if (!writer_) return;
  try {
    writer_->release();
  } catch (const cv::Exception&) {
  }
  writer_.reset();
}

bool VideoFileWriter::IsOpen() const { return writer_ && writer_->isOpened(); }

}  // namespace vx
