#include "measures/scoring_session.h"

#include <algorithm>

namespace vx {

namespace {

void InsertInOrder(std::vector<tRecBehavior>& list, tRecBehavior occurrence) {
  const auto at = std::upper_bound(list.begin(), list.end(), occurrence,
                                   [](const tRecBehavior& a, const tRecBehavior& b) { return a.start < b.start; });
  list.insert(at, occurrence);
}

uint32_t ToMs(int64_t ms) { return static_cast<uint32_t>(std::clamp<int64_t>(ms, 0, UINT32_MAX)); }

}  // namespace

ScoringSession::ScoringSession(std::vector<CBehavior> behaviors, int protocolId, RecordedBehaviors recorded,
                               int64_t pointMs)
    : behaviors_(std::move(behaviors)), protocolId_(protocolId), pointMs_(std::max<int64_t>(1, pointMs)) {
  state_.occurrences.resize(behaviors_.size());
  state_.running.resize(behaviors_.size());
  for (const CListRecBehavior& list : recorded.lists) {
    const int position = PositionOf(list.behaviorId);
    if (position < 0) continue;
    for (const tRecBehavior& o : list.occurrences) InsertInOrder(state_.occurrences[position], o);
  }
}

int ScoringSession::PositionOf(uint32_t behaviorId) const {
  for (size_t i = 0; i < behaviors_.size(); ++i) {
    if (behaviors_[i].id == behaviorId) return static_cast<int>(i);
  }
  return -1;
}

const CBehavior* ScoringSession::BehaviorOfKey(char key) const {
  for (const CBehavior& b : behaviors_) {
    if (static_cast<char>(b.key) == key) return &b;
  }
  return nullptr;
}

void ScoringSession::Remember() {
  history_.push_back(state_);
  modified_ = true;
}

const CBehavior* ScoringSession::Press(char key, int64_t timeMs) {
  const CBehavior* behavior = BehaviorOfKey(key);
  if (behavior == nullptr || timeMs < 0) return nullptr;
  const size_t position = static_cast<size_t>(behavior - behaviors_.data());
  Remember();
  std::optional<int64_t>& running = state_.running[position];
  if (behavior->kind == 1) {
    InsertInOrder(state_.occurrences[position], {ToMs(timeMs), ToMs(timeMs + pointMs_)});
  } else if (running) {
    // Pressed again before the start (the video was wound back): the occurrence still runs
    // from the earlier of the two times to the later.
    const int64_t start = std::min(*running, timeMs);
    InsertInOrder(state_.occurrences[position], {ToMs(start), ToMs(std::max(*running, timeMs))});
    running.reset();
  } else {
    running = timeMs;
  }
  return behavior;
}

const std::vector<tRecBehavior>& ScoringSession::Occurrences(uint32_t behaviorId) const {
  static const std::vector<tRecBehavior> kNone;
  const int position = PositionOf(behaviorId);
  return position < 0 ? kNone : state_.occurrences[position];
}

std::optional<int64_t> ScoringSession::RunningStart(uint32_t behaviorId) const {
  const int position = PositionOf(behaviorId);
  return position < 0 ? std::nullopt : state_.running[position];
}

bool ScoringSession::RemoveOccurrence(uint32_t behaviorId, size_t index) {
  const int position = PositionOf(behaviorId);
  if (position < 0 || index >= state_.occurrences[position].size()) return false;
  Remember();
  auto& list = state_.occurrences[position];
  list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

bool ScoringSession::SetOccurrence(uint32_t behaviorId, size_t index, tRecBehavior bounds) {
  const int position = PositionOf(behaviorId);
  if (position < 0 || index >= state_.occurrences[position].size() || bounds.end < bounds.start) return false;
  Remember();
  auto& list = state_.occurrences[position];
  list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
  InsertInOrder(list, bounds);
  return true;
}

bool ScoringSession::Undo() {
  if (history_.empty()) return false;
  state_ = std::move(history_.back());
  history_.pop_back();
  modified_ = true;
  return true;
}

RecordedBehaviors ScoringSession::Result(int64_t endMs) const {
  RecordedBehaviors result;
  result.protocolId = protocolId_;
  for (size_t i = 0; i < behaviors_.size(); ++i) {
    std::vector<tRecBehavior> occurrences = state_.occurrences[i];
    if (const auto& running = state_.running[i]) {
      InsertInOrder(occurrences, {ToMs(*running), ToMs(std::max(*running, endMs))});
    }
    if (occurrences.empty()) continue;
    CListRecBehavior list;
    list.protocolId = protocolId_;
    list.behaviorId = behaviors_[i].id;
    list.occurrences = std::move(occurrences);
    result.lists.push_back(std::move(list));
  }
  return result;
}

}  // namespace vx
