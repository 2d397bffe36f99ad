#include "behaviour_timeline.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace vx::gui {

namespace {

constexpr int kLabelWidth = 110;
constexpr int kRowHeight = 22;

}  // namespace

BehaviourTimeline::BehaviourTimeline(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QColor BehaviourTimeline::BehaviourColour(size_t n) {
  static const QColor kColours[] = {QColor(230, 120, 20), QColor(40, 150, 220), QColor(60, 170, 70),
                                    QColor(200, 60, 160), QColor(150, 110, 60), QColor(110, 90, 210)};
  return kColours[n % std::size(kColours)];
}

void BehaviourTimeline::SetSession(const ScoringSession* session, int64_t durationMs) {
  session_ = session;
  durationMs_ = std::max<int64_t>(1, durationMs);
  selectedIndex_ = -1;
  updateGeometry();
  update();
}

void BehaviourTimeline::SetCurrentMs(int64_t ms) {
  currentMs_ = ms;
  update();
}

void BehaviourTimeline::Select(uint32_t behaviorId, int index) {
  selectedBehavior_ = behaviorId;
  selectedIndex_ = index;
  update();
}

QSize BehaviourTimeline::sizeHint() const {
  const int rows = session_ == nullptr ? 1 : std::max<int>(1, static_cast<int>(session_->Behaviors().size()));
  return {600, rows * kRowHeight + 4};
}

double BehaviourTimeline::XOf(int64_t ms) const {
  return kLabelWidth + static_cast<double>(width() - kLabelWidth - 4) * static_cast<double>(ms) / static_cast<double>(durationMs_);
}

int64_t BehaviourTimeline::MsAt(double x) const {
  const double span = std::max(1, width() - kLabelWidth - 4);
  return std::clamp<int64_t>(static_cast<int64_t>((x - kLabelWidth) / span * static_cast<double>(durationMs_)), 0, durationMs_);
}

void BehaviourTimeline::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(250, 250, 250));
  if (session_ == nullptr) return;
  const auto& behaviors = session_->Behaviors();
  for (size_t row = 0; row < behaviors.size(); ++row) {
    const CBehavior& b = behaviors[row];
    const int top = static_cast<int>(row) * kRowHeight + 2;
    painter.setPen(Qt::black);
    painter.drawText(QRect(4, top, kLabelWidth - 8, kRowHeight), Qt::AlignVCenter | Qt::AlignLeft,
                     QString("[%1] %2").arg(QChar(b.key)).arg(QString::fromStdString(b.name)));
    painter.fillRect(QRectF(kLabelWidth, top + 2, width() - kLabelWidth - 4, kRowHeight - 4), QColor(230, 230, 230));
    const QColor colour = BehaviourColour(row);
    const auto& occurrences = session_->Occurrences(b.id);
    for (size_t i = 0; i < occurrences.size(); ++i) {
      const double x0 = XOf(occurrences[i].start);
      const double x1 = std::max(x0 + 2, XOf(occurrences[i].end));
      painter.fillRect(QRectF(x0, top + 3, x1 - x0, kRowHeight - 6), colour);
      if (b.id == selectedBehavior_ && static_cast<int>(i) == selectedIndex_) {
        painter.setPen(QPen(Qt::black, 2));
        painter.drawRect(QRectF(x0, top + 3, x1 - x0, kRowHeight - 6));
      }
    }
    if (const auto running = session_->RunningStart(b.id)) {
      const double x0 = XOf(*running);
      painter.fillRect(QRectF(x0, top + 3, std::max(2.0, XOf(currentMs_) - x0), kRowHeight - 6), colour.lighter(150));
    }
  }
  painter.setPen(QPen(Qt::red, 2));
  const double x = XOf(currentMs_);
  painter.drawLine(QPointF(x, 0), QPointF(x, height()));
}

void BehaviourTimeline::mousePressEvent(QMouseEvent* event) {
  if (session_ == nullptr || event->position().x() < kLabelWidth) return;
  const int64_t ms = MsAt(event->position().x());
  const int row = static_cast<int>(event->position().y() - 2) / kRowHeight;
  const auto& behaviors = session_->Behaviors();
  if (row >= 0 && row < static_cast<int>(behaviors.size())) {
    const auto& occurrences = session_->Occurrences(behaviors[row].id);
    for (size_t i = 0; i < occurrences.size(); ++i) {
      if (XOf(occurrences[i].start) - 2 <= event->position().x() && event->position().x() <= XOf(occurrences[i].end) + 2) {
        Select(behaviors[row].id, static_cast<int>(i));
        emit OccurrenceSelected(behaviors[row].id, static_cast<int>(i));
        return;
      }
    }
  }
  emit SeekRequested(ms);
}

}  // namespace vx::gui
