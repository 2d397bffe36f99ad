// A combo box of the experiment's analysed tests that follows the session's current test.
#pragma once

#include <QComboBox>

namespace vx::gui {

class GuiSession;

class TestPicker : public QComboBox {
  Q_OBJECT

 public:
  TestPicker(GuiSession& session, QWidget* parent);
  int testId() const { return currentData().toInt(); }

 signals:
  void TestChosen(int testId);

 private:
  void Fill();

  GuiSession& session_;
};

}  // namespace vx::gui
