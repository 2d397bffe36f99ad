// Ctrl-C during long work (an analysis, a recording) asks it to stop cleanly instead of killing
// the program: while a guard lives, SIGINT only raises a flag that the work polls (the one thing
// a signal handler may safely do).
#pragma once

#include <atomic>

#include <csignal>

namespace vx::cli {

// Raised by SIGINT while a guard lives; cleared when a guard is made.
inline std::atomic<bool>& InterruptFlag() {
  static std::atomic<bool> flag{false};
  return flag;
}

extern "C" inline void OnInterrupt(int) { InterruptFlag().store(true); }

class InterruptGuard {
 public:
  InterruptGuard() {
    InterruptFlag().store(false);
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous_);
  }
  ~InterruptGuard() { sigaction(SIGINT, &previous_, nullptr); }
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

 private:
  struct sigaction previous_ = {};
};

}  // namespace vx::cli
