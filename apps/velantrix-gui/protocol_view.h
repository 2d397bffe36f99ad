// The protocol page: the protocol's name and notes, head detection, the inactivity delay, the
// behaviours an observer scores (name, key, state or point event), and a picture of its zones
// over the protocol's picture or the first frame of one of its tests. Save stores the protocol
// (recomputing the tests' inactive times when the delay changed).
#pragma once

#include <QWidget>

#include "base/platform.h"
#include "db/experiment.h"
#include "frame_canvas.h"
#include "measures/behavior_editing.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QTableWidget;

namespace vx::gui {

class ProtocolView : public QWidget {
  Q_OBJECT

 public:
  ProtocolView(Experiment& experiment, Services& services, QWidget* parent = nullptr);

  bool ShowProtocol(int protocolId);
  // Adds a behaviour with the core's rules; the refusal is shown and returned ("" when added).
  QString AddBehaviour(const QString& name, const QString& key, int kind);
  bool Save();

 private:
  void FillBehaviours();
  void DeleteBehaviour();
  void ShowPicture();

  Experiment& experiment_;
  Services& services_;
  CProtocol protocol_;
  BehaviorSet behaviours_;
  QLineEdit* name_ = nullptr;
  QPlainTextEdit* notes_ = nullptr;
  QCheckBox* head_ = nullptr;
  QSpinBox* inactivity_ = nullptr;
  QComboBox* inactivityUnit_ = nullptr;
  QTableWidget* behaviourTable_ = nullptr;
  QLineEdit* newName_ = nullptr;
  QLineEdit* newKey_ = nullptr;
  QComboBox* newKind_ = nullptr;
  FrameCanvas* picture_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace vx::gui
