// The timeline under the scoring view's video: one row per behaviour of the protocol, each
// recorded occurrence as a bar over the video's duration (a running one up to the current
// time), and the current time as a cursor. A click moves the video there and selects the
// occurrence under the pointer, for correction.
#pragma once

#include <QWidget>

#include <cstdint>

#include "measures/scoring_session.h"

namespace vx::gui {

class BehaviourTimeline : public QWidget {
  Q_OBJECT

 public:
  explicit BehaviourTimeline(QWidget* parent = nullptr);

  // session outlives the timeline (or is replaced before it goes).
  void SetSession(const ScoringSession* session, int64_t durationMs);
  void SetCurrentMs(int64_t ms);
  void Select(uint32_t behaviorId, int index);
  uint32_t SelectedBehavior() const { return selectedBehavior_; }
  int SelectedOccurrence() const { return selectedIndex_; }

  QSize sizeHint() const override;
  // The colour of the n-th behaviour's bars.
  static QColor BehaviourColour(size_t n);

 signals:
  void SeekRequested(int64_t ms);
  void OccurrenceSelected(uint32_t behaviorId, int index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  double XOf(int64_t ms) const;
  int64_t MsAt(double x) const;

  const ScoringSession* session_ = nullptr;
  int64_t durationMs_ = 1;
  int64_t currentMs_ = 0;
  uint32_t selectedBehavior_ = 0;
  int selectedIndex_ = -1;
};

}  // namespace vx::gui
