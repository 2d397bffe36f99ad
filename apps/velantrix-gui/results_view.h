// The results page: a report's table over its protocol's tests (the report, or a new one made
// from a measure chosen by name in the catalogue), narrowed by a filter, in the report's unit,
// with each test's detection rate; export to a workbook or a text file.
#pragma once

#include <QWidget>

namespace vx::gui {

class GuiSession;

QWidget* MakeResultsView(GuiSession& session, int testId, QWidget* parent);

}  // namespace vx::gui
