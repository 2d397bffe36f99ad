// The desktop application's start: the command line of velantrix-gui, the single instance,
// the main window, or the rendering of one view for scripts (--screenshot).
#pragma once

namespace vx::gui {

int RunGuiApp(int argc, char** argv);

}  // namespace vx::gui
