#include "zone_canvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <opencv2/core.hpp>

#include <cstdlib>

#include "drawing/zone_drawing.h"
#include "zones/draw_poly.h"
#include "zones/calibration.h"
#include "zones/draw_rect.h"
#include "zones/zone_handles.h"

namespace vx::gui {

namespace {

// An undoable change of the zone set: the set as it was and as it became.
class ZoneSetCommand : public QUndoCommand {
 public:
  ZoneSetCommand(ZoneSet& target, ZoneSet before, const QString& text, std::function<void()> changed)
      : QUndoCommand(text), target_(target), before_(std::move(before)), after_(target),
        changed_(std::move(changed)) {}
  void undo() override { Restore(before_); }
  void redo() override { Restore(after_); }

 private:
  void Restore(const ZoneSet& state) {
    auto notify = target_.notifyChanged;
    target_ = state;
    target_.notifyChanged = notify;
    target_.modified = true;
    changed_();
  }
  ZoneSet& target_;
  ZoneSet before_;
  ZoneSet after_;
  std::function<void()> changed_;
};

int KindOf(ZoneTool tool) {
  switch (tool) {
    case ZoneTool::Rectangle: return kKindRectangle;
    case ZoneTool::RoundRect: return kKindRoundRect;
    case ZoneTool::Ellipse: return kKindEllipse;
    case ZoneTool::Line: return kKindLine;
    default: return -1;
  }
}

PixelRect RectFrom(cv::Point a, cv::Point b) { return {a.x, a.y, b.x, b.y}; }

}  // namespace

ZoneCanvas::ZoneCanvas(ZoneSet& zones, QUndoStack& undo, QWidget* parent)
    : FrameCanvas(parent), zones_(zones), undo_(undo) {}

void ZoneCanvas::SetBackground(const cv::Mat& picture) {
  background_ = picture.channels() == 3 ? picture.clone() : cv::Mat();
  if (picture.channels() == 1) cv::merge(std::vector<cv::Mat>{picture, picture, picture}, background_);
  Refresh();
}

void ZoneCanvas::SetTool(ZoneTool tool) {
  tool_ = tool;
  polygon_.clear();
  drag_ = Drag::None;
  setCursor(tool == ZoneTool::Select ? Qt::ArrowCursor : Qt::CrossCursor);
  update();
}

void ZoneCanvas::SelectZone(int zoneId) {
  if (zones_.FindZone(zoneId) == nullptr) zoneId = -1;
  if (zoneId == selected_) return;
  selected_ = zoneId;
  emit SelectionChanged(selected_);
  update();
}

void ZoneCanvas::Refresh() {
  if (zones_.FindZone(selected_) == nullptr) selected_ = -1;
  cv::Mat image = background_.empty() ? cv::Mat(std::max(1, zones_.imageHeight), std::max(1, zones_.imageWidth),
                                                CV_8UC3, cv::Scalar(60, 60, 60))
                                      : background_.clone();
  DrawZones(image, zones_);
  SetPicture(ToQImage(image));
}

void ZoneCanvas::Commit(const ZoneSet& before, const QString& text) {
  undo_.push(new ZoneSetCommand(zones_, before, text, [this] {
    Refresh();
    emit ZonesEdited();
  }));
}

int ZoneCanvas::HandleTolerance() const { return std::max(1, static_cast<int>(ImageDistance(5))); }

void ZoneCanvas::PaintOverlay(QPainter& painter) {
  painter.setBrush(Qt::NoBrush);
  QPen dashed(QColor(255, 200, 0), ImageDistance(1.5), Qt::DashLine);
  painter.setPen(dashed);
  for (const tSecondaryArena& arena : zones_.secondaryArenas) {
    const PixelRect r = arena.rect.Normalized();
    painter.drawRect(QRectF(r.left, r.top, static_cast<double>(r.Width()), static_cast<double>(r.Height())));
    painter.drawText(QPointF(r.left + 4, r.top + 14), QString::fromStdString(arena.name));
  }
  QPen band(Qt::white, ImageDistance(1), Qt::DashLine);
  painter.setPen(band);
  if (drag_ == Drag::Shape) {
    const QPointF a(anchor_.x, anchor_.y), b(current_.x, current_.y);
    if (tool_ == ZoneTool::Line || tool_ == ZoneTool::Ruler) {
      painter.drawLine(a, b);
    } else if (tool_ == ZoneTool::Ellipse) {
      painter.drawEllipse(QRectF(a, b).normalized());
    } else {
      painter.drawRect(QRectF(a, b).normalized());
    }
  }
  if (!polygon_.empty()) {
    QPolygonF line;
    for (const cv::Point& p : polygon_) line << QPointF(p.x, p.y);
    line << QPointF(current_.x, current_.y);
    painter.drawPolyline(line);
  }
  const CDrawObj* zone = zones_.FindZone(selected_);
  if (zone == nullptr) return;
  const double size = ImageDistance(7);
  painter.setPen(QPen(Qt::black, ImageDistance(1)));
  painter.setBrush(Qt::white);
  for (int h = 0; h < HandleCount(*zone); ++h) {
    const cv::Point p = HandlePoint(*zone, h);
    painter.drawRect(QRectF(p.x - size / 2, p.y - size / 2, size, size));
  }
}

void ZoneCanvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return FrameCanvas::mousePressEvent(event);
  const cv::Point p = ToImage(event->position());
  current_ = p;
  anchor_ = p;
  if (tool_ == ZoneTool::Polygon) {
    polygon_.push_back(p);
    update();
    return;
  }
  before_ = zones_;
  if (tool_ != ZoneTool::Select) {
    drag_ = Drag::Shape;
    return;
  }
  if (const CDrawObj* zone = zones_.FindZone(selected_)) {
    handle_ = HandleAt(*zone, p, HandleTolerance());
    if (handle_ >= 0) {
      drag_ = Drag::Handle;
      return;
    }
  }
  const CDrawObj* hit = ZoneAt(zones_, p, HandleTolerance());
  SelectZone(hit == nullptr ? -1 : hit->id);
  drag_ = hit == nullptr ? Drag::None : Drag::Move;
}

void ZoneCanvas::mouseMoveEvent(QMouseEvent* event) {
  FrameCanvas::mouseMoveEvent(event);
  const cv::Point p = ToImage(event->position());
  const cv::Point step = p - current_;
  current_ = p;
  CDrawObj* zone = zones_.FindZone(selected_);
  if (drag_ == Drag::Handle && zone != nullptr) {
    if (MoveHandleTo(*zone, handle_, p)) Refresh();
  } else if (drag_ == Drag::Move && zone != nullptr) {
    if (MoveZoneBy(*zone, step)) Refresh();
  } else if (drag_ == Drag::Shape || !polygon_.empty()) {
    update();
  }
}

void ZoneCanvas::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return FrameCanvas::mouseReleaseEvent(event);
  const Drag drag = drag_;
  drag_ = Drag::None;
  if (drag == Drag::Shape) return FinishShape();
  if (drag != Drag::Handle && drag != Drag::Move) return;
  const CDrawObj* zone = zones_.FindZone(selected_);
  const CDrawObj* old = before_.FindZone(selected_);
  if (zone != nullptr && old != nullptr && zone->GetPointsText() != old->GetPointsText()) {
    Commit(before_, drag == Drag::Handle ? tr("Resize %1").arg(QString::fromStdString(zone->GetName()))
                                         : tr("Move %1").arg(QString::fromStdString(zone->GetName())));
  }
}

void ZoneCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return FrameCanvas::mouseDoubleClickEvent(event);
  if (tool_ == ZoneTool::Polygon) return FinishPolygon();
  if (tool_ == ZoneTool::Select && selected_ >= 0) emit ZoneActivated(selected_);
}

void ZoneCanvas::keyPressEvent(QKeyEvent* event) {
  if (tool_ == ZoneTool::Polygon && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    return FinishPolygon();
  }
  if (event->key() == Qt::Key_Escape) {
    polygon_.clear();
    drag_ = Drag::None;
    update();
    return;
  }
  FrameCanvas::keyPressEvent(event);
}

void ZoneCanvas::FinishShape() {
  update();
  // A click without a drag draws nothing: a shape needs two distinct corners.
  if (std::abs(current_.x - anchor_.x) < 2 && std::abs(current_.y - anchor_.y) < 2) return;
  if (tool_ == ZoneTool::Ruler) return PlaceRuler(anchor_, current_);
  if (tool_ == ZoneTool::SecondaryArena) {
    emit SecondaryArenaDrawn(RectFrom(anchor_, current_).Normalized());
    return;
  }
  const int kind = KindOf(tool_);
  std::unique_ptr<CDrawObj> shape = MakeShape(kind, zones_);
  if (shape == nullptr) return;
  // A line keeps its direction; framed shapes are stored with left <= right, top <= bottom.
  const PixelRect r = RectFrom(anchor_, current_);
  shape->SetRect(kind == kKindLine ? r : r.Normalized());
  AddShape(std::move(shape), tr("Draw a zone"));
}

void ZoneCanvas::FinishPolygon() {
  // The double click that ends the polygon also added its point twice.
  while (polygon_.size() >= 2 && polygon_.back() == polygon_[polygon_.size() - 2]) polygon_.pop_back();
  std::vector<cv::Point> vertices;
  vertices.swap(polygon_);
  update();
  if (vertices.size() < 3) return;
  before_ = zones_;
  AddShape(std::make_unique<CDrawPoly>(std::move(vertices)), tr("Draw a polygon"));
}

void ZoneCanvas::AddShape(std::unique_ptr<CDrawObj> shape, const QString& text) {
  const CDrawObj* added = zones_.AddZone(std::move(shape));
  const int id = added->id;
  Commit(before_, text);
  SelectZone(id);
}

void ZoneCanvas::PlaceRuler(cv::Point from, cv::Point to) {
  if (zones_.Ruler() == nullptr) zones_.SetImageSize(zones_.imageWidth, zones_.imageHeight, true, false);
  CDrawObj* ruler = zones_.Ruler();
  if (ruler == nullptr) return;
  MoveHandleTo(*ruler, 0, from);  // kept inside the image, as a dragged end is
  MoveHandleTo(*ruler, 1, to);
  RefreshRuler(zones_, zones_.rulerLength, zones_.rulerUnit);
  const int id = ruler->id;  // the commit replaces the zones: keep the id, not the pointer
  Commit(before_, tr("Draw the ruler"));
  SelectZone(id);
}

}  // namespace vx::gui
