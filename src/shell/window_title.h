// The main window's title: the open experiment's name, "*" while it has unsaved changes in
// working-copy mode, " ( Read only )" when it is read-only; "Velantrix <version>" when no
// experiment is open. Shared by every window program so that the rule lives once.
#pragma once

#include <string>

namespace vx {

class ExperimentDocument;

std::string MainWindowTitle(const ExperimentDocument& document, const std::string& version);

}  // namespace vx
