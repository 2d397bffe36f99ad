// The experiment page: the lists of protocols, animals, videos and tests.
#pragma once

#include <QWidget>

namespace vx::gui {

class GuiSession;

QWidget* MakeTestsView(GuiSession& session, int testId, QWidget* parent);

}  // namespace vx::gui
