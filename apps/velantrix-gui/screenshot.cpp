#include "screenshot.h"

#include <QApplication>
#include <QRegularExpression>
#include <memory>

#include "gui_session.h"
#include "view_table.h"

namespace vx::gui {

QImage RenderView(GuiSession& session, const std::string& view, int testId, QSize size) {
  const ViewEntry* entry = FindView(view);
  if (entry == nullptr) return {};
  if (testId >= 0) session.SetCurrentTest(testId);
  std::unique_ptr<QWidget> widget(entry->make(session, testId, nullptr));
  widget->setAttribute(Qt::WA_DontShowOnScreen);
  widget->resize(size);
  widget->show();
  // Let the view finish what it does after being shown (layouts, first frame, models).
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
  return widget->grab().toImage();
}

bool ParseSize(const std::string& text, QSize& size) {
  static const QRegularExpression kSize("^(\\d{3,5})x(\\d{3,5})$");
  const QRegularExpressionMatch match = kSize.match(QString::fromStdString(text));
  if (!match.hasMatch()) return false;
  const int width = match.captured(1).toInt(), height = match.captured(2).toInt();
  if (width < 100 || height < 100 || width > 10000 || height > 10000) return false;
  size = QSize(width, height);
  return true;
}

}  // namespace vx::gui
