#include "message_boxes.h"

#include <QMessageBox>

namespace vx::gui {

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Stop: return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

void MessageBoxNotifier::Notify(int, const std::string& text, MessageIcon icon) {
  QMessageBox box(BoxIcon(icon), "Velantrix", QString::fromStdString(text), QMessageBox::Ok,
                  parent_ ? parent_() : nullptr);
  box.exec();
}

Answer MessageBoxAsker::Ask(int, const std::string& text, AskButtons buttons) {
  QMessageBox::StandardButtons choices = QMessageBox::Yes | QMessageBox::No;
  if (buttons == AskButtons::YesNoCancel) choices |= QMessageBox::Cancel;
  QMessageBox box(QMessageBox::Question, "Velantrix", QString::fromStdString(text), choices,
                  parent_ ? parent_() : nullptr);
  switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
  }
}

}  // namespace vx::gui
