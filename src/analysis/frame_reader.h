// Reading a video file from start to end once, optionally one step ahead on its own thread:
// while the analysis detects the animal in one frame, the next frames are being decoded.
//
// The reader owns a few frame buffers that travel between the two threads: the decoding
// thread fills free buffers and queues them; the analysis takes them in order and gives each
// back (Recycle) when it is done with it, so that a long video is read without allocating.
//
// Threads: Next and Recycle are called by the one thread that analyses. While a reader is
// running, nothing else may touch its VideoSource; Stop (or the destructor) joins the decoding
// thread, after which the source belongs to its owner again.
#pragma once

#include <opencv2/core/mat.hpp>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "video/video_source.h"

namespace vx {

struct DecodedFrame {
  cv::Mat image;            // BGR
  double positionMs = 0.0;  // the time the back-end reports for it
};

class FrameReader {
 public:
  // Frames queued ahead at most; a few are enough to absorb uneven decoding times.
  static constexpr size_t kQueueLength = 3;

  // Starts reading source from its current position (threaded: on a thread of its own).
  FrameReader(VideoSource& source, bool threaded);
  ~FrameReader();
  FrameReader(const FrameReader&) = delete;
  FrameReader& operator=(const FrameReader&) = delete;

  // The next frame in order; false at the end of the video (or on a read error).
  bool Next(DecodedFrame& frame);
  // Gives a frame's buffer back for reuse.
  void Recycle(DecodedFrame&& frame);
  // Stops reading and joins the decoding thread; Next then returns false.
  void Stop();

 private:
  void DecodeLoop();

  VideoSource& source_;
  bool threaded_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<DecodedFrame> ready_;  // decoded, in order
  std::vector<cv::Mat> free_;       // buffers to decode into
  bool ended_ = false;              // the decoding side reached the end
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace vx
