// Editing a protocol's behaviour definitions: the rules a new behaviour must meet, shared by the
// command line and the protocol page of the desktop application.
#pragma once

#include <string>

#include "measures/behavior.h"

namespace vx {

// Adds a new behaviour to a protocol's set, with the next free id: "" when added, otherwise why
// not (the set is then unchanged). The name is trimmed and must be non-empty, without '|' or ';'
// (the Behaviors text has no escape) and not already used (case-insensitive); the key must be
// one printable sign that no other behaviour uses and that the press lists can carry (not a
// blank, '#', ',', ';' or '|'); the kind 0 (a state, started and stopped) or 1 (a point event).
std::string AddBehavior(BehaviorSet& set, int protocolId, const std::string& name, char key, int kind);

}  // namespace vx
