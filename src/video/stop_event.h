// A manual-reset event: the signal that tells a video source's worker threads to stop.
//
// Set() wakes every waiter and stays set until Reset(). Any thread may call any member.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace vx {

class StopEvent {
 public:
  void Set() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      set_ = true;
    }
    changed_.notify_all();
  }
  void Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    set_ = false;
  }
  bool IsSet() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return set_;
  }
  // Waits at most timeoutMs; true when the event is set.
  bool WaitFor(int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return set_; });
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool set_ = false;
};

}  // namespace vx
