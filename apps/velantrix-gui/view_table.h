// The views of the main window, by name: the one table through which the main window builds
// its pages and "--screenshot VIEW" renders a view. Adding a view is one line in
// view_table.cpp plus the view's own files.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

namespace vx::gui {

class GuiSession;

// Builds the view for the session's experiment; testId is the test to show first (-1: the
// view chooses). The view follows the session's signals from then on.
using ViewFactory = QWidget* (*)(GuiSession& session, int testId, QWidget* parent);

struct ViewEntry {
  const char* name;   // the command line's name ("tests")
  const char* title;  // the page's title in the main window
  ViewFactory make;
};

const std::vector<ViewEntry>& ViewTable();
// nullptr for an unknown name.
const ViewEntry* FindView(const std::string& name);
// "tests, analysis, ..." for messages.
std::string ViewNames();

}  // namespace vx::gui
