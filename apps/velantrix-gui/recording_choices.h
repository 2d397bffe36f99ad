// The choices of a recording: the camera (or a video file played as one), the test (one of the
// experiment's, or a new one of a protocol and an animal), the format, the length and whether
// to track the animal live. Gives the core's request for them.
#pragma once

#include <QWidget>

#include "recording/test_recording.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace vx::gui {

class GuiSession;

class RecordingChoices : public QWidget {
  Q_OBJECT

 public:
  // testId: the test to choose first (-1: the first test without a video, else a new test).
  RecordingChoices(GuiSession& session, int testId, QWidget* parent = nullptr);

  // The request for the choices; false, with what is missing in problem, when they are not
  // complete.
  bool Request(RecordRequest& request, QString& problem) const;
  // The protocol the recording will follow (-1: none chosen).
  int ProtocolId() const;
  // The video file chosen to play as the camera ("" for a camera).
  QString StandInPath() const;
  // The experiment's lists changed: the choices are filled again, keeping what was chosen.
  void Fill();
  // Fills them again choosing test testId when it waits for its video, else the next test that
  // does (after a recording: the test it made has its video now).
  void FillChoosing(int testId);

 signals:
  // The source or the protocol changed: the picture shown before recording changes.
  void PreviewChanged();

 private:
  QWidget* SourceRow();
  void FillCameras();
  void FillTests(int testId);
  void FillProtocolChoices();
  void UpdateEnabled();

  GuiSession& session_;
  QComboBox* camera_;
  QLabel* cameraNote_;
  QLineEdit* standIn_;
  QPushButton* browse_;
  QCheckBox* fast_;
  QComboBox* test_;
  QComboBox* protocol_;
  QComboBox* animal_;
  QLineEdit* title_;
  QComboBox* format_;
  QSpinBox* duration_;
  QCheckBox* track_;
};

}  // namespace vx::gui
