#include "update_chooser_dialog.h"

#include <QMessageBox>
#include <QPushButton>

#include "base/messages.h"

namespace vx::gui {

UpdateChoice UpdateChooserDialog::Choose(const UpdateQuestion& question) {
  QMessageBox box(QMessageBox::Question, "Velantrix", QString::fromStdString(question.text), QMessageBox::NoButton,
                  parent_);
  QPushButton* help = box.addButton(MessageText(msg::kHelp), QMessageBox::HelpRole);
  QPushButton* cancel = box.addButton(MessageText(msg::kCancel), QMessageBox::RejectRole);
  QPushButton* replace = box.addButton(MessageText(msg::kReplaceFile), QMessageBox::DestructiveRole);
  QPushButton* update = box.addButton(MessageText(msg::kUpdateFile), QMessageBox::AcceptRole);
  box.setDefaultButton(update);
  box.exec();
  const QAbstractButton* clicked = box.clickedButton();
  if (clicked == help) return UpdateChoice::kHelp;
  if (clicked == replace) return UpdateChoice::kReplace;
  if (clicked == update) return UpdateChoice::kUpdate;
  (void)cancel;
  return UpdateChoice::kCancel;
}

}  // namespace vx::gui
