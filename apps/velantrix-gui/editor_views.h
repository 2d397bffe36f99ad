// The pages of the protocol editor, the detection view and behaviour scoring, as the view
// table builds them: each on the session's experiment, showing the given test (or its
// protocol), and following the session when the experiment or the current test changes.
#pragma once

#include <QWidget>

namespace vx {
class Experiment;
}

namespace vx::gui {

class GuiSession;

QWidget* MakeProtocolView(GuiSession& session, int testId, QWidget* parent);
QWidget* MakeZonesView(GuiSession& session, int testId, QWidget* parent);
QWidget* MakeDetectionView(GuiSession& session, int testId, QWidget* parent);
QWidget* MakeScoringView(GuiSession& session, int testId, QWidget* parent);

// The test a view shows: testId when the experiment has it, else its first test (-1: none).
int TestToShow(const Experiment& experiment, int testId);
// The protocol a view shows: that test's protocol, else the experiment's first (-1: none).
int ProtocolToShow(const Experiment& experiment, int testId);

}  // namespace vx::gui
