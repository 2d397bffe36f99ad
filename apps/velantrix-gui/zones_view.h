// The zone editor of a protocol: its zones drawn over the protocol's picture or a frame of one
// of its tests' videos, with the drawing tools, the zone list, the zone dialog, calibration by
// drawing the ruler and typing its length, secondary arenas and the arena suggestion. Edits
// stay in the view (undoable) until Save stores the protocol.
#pragma once

#include <QUndoStack>
#include <QWidget>

#include "base/platform.h"
#include "db/experiment.h"
#include "test_video.h"
#include "zone_canvas.h"

class QComboBox;
class QLabel;
class QListWidget;
class QSpinBox;
class QToolBar;

namespace vx::gui {

class ZonesView : public QWidget {
  Q_OBJECT

 public:
  ZonesView(Experiment& experiment, Services& services, QWidget* parent = nullptr);

  // Shows protocol protocolId (its zones as stored). False when there is no such protocol.
  bool ShowProtocol(int protocolId);
  ZoneCanvas& Canvas() { return *canvas_; }
  const ZoneSet& Zones() const { return zones_; }
  QUndoStack& Undo() { return undo_; }

  // Opens the zone dialog on a zone and applies what the user confirmed.
  void EditZone(int zoneId);
  // Validates the calibration and stores the protocol with its zones. False when refused or
  // when the file could not be written (the user has been told).
  bool Save();
  // Finds the arena's floor in the picture (a video's background) and makes it the arena.
  void SuggestArena();

 private:
  void BuildTools(QToolBar* bar);
  void ChoosePicture();
  void ShowFrame(int frame);
  void RefreshList();
  void RefreshCalibration();
  void DeleteSelected();
  void AddCombinedZone();
  void AddSecondaryArena(const PixelRect& rect);
  void Warn(const QString& text);

  Experiment& experiment_;
  Services& services_;
  CProtocol protocol_;
  ZoneSet zones_;
  QUndoStack undo_;
  TestVideo video_;
  ZoneCanvas* canvas_ = nullptr;
  QListWidget* list_ = nullptr;
  QListWidget* arenas_ = nullptr;
  QComboBox* picture_ = nullptr;
  QSpinBox* frame_ = nullptr;
  QSpinBox* rulerLength_ = nullptr;
  QComboBox* rulerUnit_ = nullptr;
  QLabel* ratio_ = nullptr;
};

}  // namespace vx::gui
