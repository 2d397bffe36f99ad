// The trajectory player: a test's video with the zones, the track so far and the animal drawn
// by the core, a scrub bar, play and pause at a chosen speed, frame steps, and the speed curve.
#pragma once

#include <QWidget>

namespace vx::gui {

class GuiSession;

QWidget* MakePlayerView(GuiSession& session, int testId, QWidget* parent);

}  // namespace vx::gui
