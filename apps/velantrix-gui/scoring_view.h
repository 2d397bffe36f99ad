// Behaviour scoring on a test's video: the video plays at a chosen speed or frame by frame, and
// each key of one of the protocol's behaviours records it at the current time (a state starts
// and stops with its key, a point event is recorded at once). The occurrences show on a timeline
// under the video; the last press or correction can be undone, a selected occurrence removed or
// moved to the current time; the behaviour measures follow every change. Save stores the
// occurrences with the test.
//
// Keys: the behaviours' own keys; space plays or pauses, the arrows step one frame, Ctrl+Z
// undoes.
#pragma once

#include <QWidget>

#include <memory>

#include "base/platform.h"
#include "behaviour_timeline.h"
#include "db/experiment.h"
#include "frame_canvas.h"
#include "player_bar.h"
#include "test_video.h"

class QLabel;
class QTableWidget;

namespace vx::gui {

class ScoringView : public QWidget {
  Q_OBJECT

 public:
  ScoringView(Experiment& experiment, Services& services, QWidget* parent = nullptr);

  // Shows test testId with its stored occurrences. False (with the reason in the view) when
  // the test or its video cannot be opened or the protocol has no behaviours.
  bool ShowTest(int testId);

  PlayerBar& Player() { return *player_; }
  BehaviourTimeline& Timeline() { return *timeline_; }
  const ScoringSession* Session() const { return session_.get(); }
  // The current frame's time, ms.
  int64_t NowMs() const;
  // Writes the occurrences into the test and drops the cached behaviour results. False when the
  // file could not be written.
  bool Save();
  bool Undo();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool HandleKey(QKeyEvent* event);
  void ShowFrame(int frame);
  void Changed();
  void RefreshMeasures();
  void CorrectSelected(bool start);
  void RemoveSelected();
  void Status(const QString& text);

  Experiment& experiment_;
  Services& services_;
  TestVideo video_;
  std::unique_ptr<ScoringSession> session_;
  int testId_ = -1;
  int64_t durationMs_ = 0;
  FrameCanvas* canvas_ = nullptr;
  PlayerBar* player_ = nullptr;
  BehaviourTimeline* timeline_ = nullptr;
  QTableWidget* measures_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace vx::gui
