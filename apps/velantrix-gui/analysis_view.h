// The analysis page: the tests with their analysis state, the choice of the tests to analyse
// (the selected ones, or every test not analysed yet), the retry rule, and the batch panel.
#pragma once

#include <QWidget>

namespace vx::gui {

class GuiSession;

QWidget* MakeAnalysisView(GuiSession& session, int testId, QWidget* parent);

}  // namespace vx::gui
