// The zone editor's picture: a protocol's zones drawn over the reference image or a video
// frame, with tools to draw new shapes, the ruler and secondary arenas, and handles to move and
// resize the selected zone.
//
// Every edit is one command on the undo stack (a snapshot of the zone set before and after),
// so undo, redo and "modified" hold for all of them. The rules (handles, picking, default
// names and ids) are the core's; this class only turns mouse gestures into them.
#pragma once

#include <QUndoStack>

#include <vector>

#include "frame_canvas.h"
#include "zones/zone_set.h"

namespace vx::gui {

enum class ZoneTool { Select, Rectangle, RoundRect, Ellipse, Polygon, Line, Ruler, SecondaryArena };

class ZoneCanvas : public FrameCanvas {
  Q_OBJECT

 public:
  // zones and undo outlive the canvas.
  ZoneCanvas(ZoneSet& zones, QUndoStack& undo, QWidget* parent = nullptr);

  // The picture the zones are drawn over (8-bit grey or BGR, the protocol's image size).
  void SetBackground(const cv::Mat& picture);
  void SetTool(ZoneTool tool);
  ZoneTool Tool() const { return tool_; }
  int SelectedZone() const { return selected_; }
  void SelectZone(int zoneId);
  // Redraws the zones (after the set changed from outside).
  void Refresh();

  // Replaces the zone set's content by edited as one undoable step named text.
  void Commit(const ZoneSet& before, const QString& text);

 signals:
  void SelectionChanged(int zoneId);
  void ZoneActivated(int zoneId);  // double click on a zone: edit its settings
  void ZonesEdited();
  // A secondary arena was drawn: the editor asks its name.
  void SecondaryArenaDrawn(const PixelRect& rect);

 protected:
  void PaintOverlay(QPainter& painter) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  enum class Drag { None, Handle, Move, Shape };
  int HandleTolerance() const;
  void FinishShape();
  void FinishPolygon();
  void AddShape(std::unique_ptr<CDrawObj> shape, const QString& text);
  void PlaceRuler(cv::Point from, cv::Point to);

  ZoneSet& zones_;
  QUndoStack& undo_;
  cv::Mat background_;
  ZoneTool tool_ = ZoneTool::Select;
  int selected_ = -1;
  Drag drag_ = Drag::None;
  int handle_ = -1;
  cv::Point anchor_;
  cv::Point current_;
  ZoneSet before_;  // the set when a drag started
  std::vector<cv::Point> polygon_;  // vertices of a polygon being drawn
};

}  // namespace vx::gui
