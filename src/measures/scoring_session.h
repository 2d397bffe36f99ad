// Scoring a test's behaviours live, key by key, while its video plays: what a scoring window
// keeps between presses, with undo and corrections, until the occurrences are stored.
//
// Kinds. A behaviour of kind 0 is a state: the first press of its key starts an occurrence and
// the next press ends it. Kind 1 is a point event: each press records an occurrence at once,
// lasting pointMs (a frame), so that it counts in the behaviour measures, which only count
// occurrences of positive duration.
//
// Times are in ms on the test's time axis (from the start of the video). Occurrences are kept
// in time order; an occurrence still running when the session is read ends at the given end.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "measures/behavior.h"

namespace vx {

class ScoringSession {
 public:
  // recorded: the test's stored occurrences (lists of other behaviours are dropped).
  ScoringSession(std::vector<CBehavior> behaviors, int protocolId, RecordedBehaviors recorded,
                 int64_t pointMs);

  const std::vector<CBehavior>& Behaviors() const { return behaviors_; }
  // The behaviour a key records (case-sensitive), or null.
  const CBehavior* BehaviorOfKey(char key) const;

  // A key pressed at timeMs. Returns the behaviour it recorded, or null when no behaviour
  // has that key or the time is negative (nothing changes).
  const CBehavior* Press(char key, int64_t timeMs);

  // Occurrences of a behaviour (finished ones), in time order.
  const std::vector<tRecBehavior>& Occurrences(uint32_t behaviorId) const;
  // Start of the behaviour's running occurrence, if one is running.
  std::optional<int64_t> RunningStart(uint32_t behaviorId) const;

  // Corrections: remove, or set new bounds (start <= end) of, the index-th occurrence of a
  // behaviour. False when there is no such occurrence or the bounds are reversed.
  bool RemoveOccurrence(uint32_t behaviorId, size_t index);
  bool SetOccurrence(uint32_t behaviorId, size_t index, tRecBehavior bounds);

  // Reverts the last press or correction. False when there is nothing to undo.
  bool Undo();
  bool CanUndo() const { return !history_.empty(); }
  // Something changed since construction or the last MarkSaved().
  bool Modified() const { return modified_; }
  void MarkSaved() { modified_ = false; }

  // The occurrences to store or measure: one list per behaviour with at least one occurrence
  // (protocol order), running occurrences ended at endMs (not before their start).
  RecordedBehaviors Result(int64_t endMs) const;

 private:
  struct State {
    std::vector<std::vector<tRecBehavior>> occurrences;  // by behaviour position
    std::vector<std::optional<int64_t>> running;
    bool operator==(const State&) const = default;
  };
  int PositionOf(uint32_t behaviorId) const;
  void Remember();

  std::vector<CBehavior> behaviors_;
  int protocolId_ = -1;
  int64_t pointMs_ = 1;
  State state_;
  std::vector<State> history_;
  bool modified_ = false;
};

}  // namespace vx
