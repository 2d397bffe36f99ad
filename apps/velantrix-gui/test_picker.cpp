#include "test_picker.h"

#include "gui_session.h"

namespace vx::gui {

TestPicker::TestPicker(GuiSession& session, QWidget* parent) : QComboBox(parent), session_(session) {
  setObjectName("test");
  setMinimumContentsLength(24);
  connect(this, &QComboBox::currentIndexChanged, this, [this] {
    session_.SetCurrentTest(testId());
    emit TestChosen(testId());
  });
  connect(&session_, &GuiSession::ExperimentChanged, this, &TestPicker::Fill);
  connect(&session_, &GuiSession::CurrentTestChanged, this, [this](int id) {
    if (const int index = findData(id); index >= 0) setCurrentIndex(index);
  });
  Fill();
}

void TestPicker::Fill() {
  const QSignalBlocker block(this);
  clear();
  for (const auto& [id, test] : session_.experiment().tests) {
    if (test.IsAnalysed()) addItem(QString("%1: %2").arg(id).arg(QString::fromStdString(test.title)), id);
  }
  const int index = findData(session_.currentTest());
  setCurrentIndex(index >= 0 ? index : 0);
  if (index < 0 && count() > 0) session_.SetCurrentTest(testId());
}

}  // namespace vx::gui
