// What the analysis run asks, frame by frame, of the program that starts and stops the
// recording of points (the protocol's stage program implements it; a test can use a trivial
// one). The run depends only on this interface, so that recording can drive the same program.
#pragma once

#include <vector>

#include "detection/my_point.h"

namespace vx {

// One action emitted by the program on a frame.
struct FrameAction {
  enum Kind { kStart = 0, kStop = 1 } kind = kStart;
  int id = -1;  // the action's id in the program; -1 for the automatic maximum-duration stop
};

class FrameProgram {
 public:
  virtual ~FrameProgram() = default;
  // Called once before the first frame of a run.
  virtual void Start() = 0;
  // Called on every processed frame with its point (animal or not) and its time in ms from the
  // start of the analysed period. Returns the actions emitted on this frame, in order.
  virtual std::vector<FrameAction> Evaluate(const tMyPoint& point, int timeMs) = 0;
};

// Starts recording on the first frame and never stops: the behaviour of the default program.
class RecordEverythingProgram : public FrameProgram {
 public:
  void Start() override { started_ = false; }
  std::vector<FrameAction> Evaluate(const tMyPoint&, int) override {
    if (started_) return {};
    started_ = true;
    return {FrameAction{FrameAction::kStart, -1}};
  }

 private:
  bool started_ = false;
};

}  // namespace vx
