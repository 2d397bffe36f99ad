// Renders one view of an experiment into a PNG file without a screen, for scripts and the guide.
#pragma once

#include <QImage>
#include <QSize>
#include <string>

namespace vx::gui {

class GuiSession;

// The view named `view` (view_table.h) of the session's experiment, laid out at size and
// painted; a null image when the view is unknown.
QImage RenderView(GuiSession& session, const std::string& view, int testId, QSize size);

// Parses "WxH" (each 100 to 10000 pixels); false when malformed.
bool ParseSize(const std::string& text, QSize& size);

}  // namespace vx::gui
