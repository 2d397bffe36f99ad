#include "analysis/frame_reader.h"

namespace vx {

FrameReader::FrameReader(VideoSource& source, bool threaded)
    : source_(source), threaded_(threaded) {
  if (threaded_) thread_ = std::thread([this] { DecodeLoop(); });
}

FrameReader::~FrameReader() { Stop(); }

void FrameReader::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void FrameReader::DecodeLoop() {
  for (;;) {
    DecodedFrame frame;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [this] { return stopping_ || ready_.size() < kQueueLength; });
      if (stopping_) return;
      if (!free_.empty()) {
        frame.image = std::move(free_.back());
        free_.pop_back();
      }
    }
    // Decoding happens outside the lock: this is the work that overlaps with detection.
    const bool read = source_.ReadNextFrame(frame.image, frame.positionMs);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (read) {
        ready_.push_back(std::move(frame));
      } else {
        ended_ = true;
      }
    }
    changed_.notify_all();
    if (!read) return;
  }
}

bool FrameReader::Next(DecodedFrame& frame) {
  if (!threaded_) {
    if (stopping_) return false;
    if (!free_.empty() && frame.image.empty()) {
      frame.image = std::move(free_.back());
      free_.pop_back();
    }
    return source_.ReadNextFrame(frame.image, frame.positionMs);
  }
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return stopping_ || ended_ || !ready_.empty(); });
  if (ready_.empty() || stopping_) return false;
  frame = std::move(ready_.front());
  ready_.pop_front();
  lock.unlock();
  changed_.notify_all();
  return true;
}

void FrameReader::Recycle(DecodedFrame&& frame) {
  if (frame.image.empty()) return;
  std::lock_guard<std::mutex> lock(mutex_);
  if (free_.size() <= kQueueLength) free_.push_back(std::move(frame.image));
}

}  // namespace vx
