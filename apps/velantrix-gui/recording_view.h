// The recording page: a test recorded from a camera, or from a video file played as one, with
// the live picture (the detection drawn over it when tracking live), the countdown of the
// protocol's delay, the time recorded, the frames written and dropped. The recording runs on a
// worker; Stop, closing the experiment or the window end it and keep what was recorded, as
// Ctrl-C does on the command line.
#pragma once

#include <QWidget>

#include <memory>

#include "recording/recorder.h"
#include "zones/zone_set.h"

class QLabel;
class QPushButton;

namespace vx::gui {

class FrameCanvas;
class GuiSession;
class RecordingChoices;
class RecordingWorker;

class RecordingView : public QWidget {
  Q_OBJECT

 public:
  RecordingView(GuiSession& session, int testId, QWidget* parent = nullptr);
  ~RecordingView() override;

  bool Recording() const { return worker_ != nullptr; }
  // Live pictures shown since the view was made.
  int PicturesShown() const { return picturesShown_; }

 signals:
  // A recording ended; recorded: a test was stored.
  void Finished(bool recorded);

 private:
  void Start();
  void Stop();
  // Ends a recording at once (the experiment is being closed): what was recorded is stored.
  void StopAndWait();
  void Finish();
  void ShowPreview();
  void ShowPicture(const LivePicture& picture);
  void ShowProgress(const RecordingProgress& progress, bool tracking);
  void LoadZones();
  void Problem(int messageId, const QString& text);

  GuiSession& session_;
  RecordingChoices* choices_;
  FrameCanvas* canvas_;
  QLabel* state_;
  QLabel* counters_;
  QPushButton* start_;
  QPushButton* stop_;
  std::unique_ptr<RecordingWorker> worker_;
  ZoneSet zones_;  // of the protocol recorded, drawn over the picture
  int picturesShown_ = 0;
  bool keepLastPicture_ = false;  // a recording ended: its last picture stays until a choice changes
};

QWidget* MakeRecordingView(GuiSession& session, int testId, QWidget* parent);

}  // namespace vx::gui
