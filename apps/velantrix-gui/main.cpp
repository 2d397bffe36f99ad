// velantrix-gui: the desktop application.
#include "gui_app.h"

int main(int argc, char** argv) { return vx::gui::RunGuiApp(argc, argv); }
