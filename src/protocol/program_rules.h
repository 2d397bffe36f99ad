// A stage program written as people say it: "start tracking after 30 s, stop it after 5 min".
// Each rule is one event condition in words; the builder turns a start rule and an optional
// stop rule into the protocol's diagram text, and the describer turns any diagram back into
// numbered, readable steps.
//
// Rule forms (DURATION as in base/time_text.h, whole seconds at least; ZONE a zone name or id;
// N a count of 1 or more, 1 when left out):
//   immediately | never | after:DURATION | active:DURATION | inactive:DURATION |
//   in:ZONE:DURATION | enter:ZONE[:N] | out:ZONE:DURATION | leave:ZONE[:N]
#pragma once

#include <string>
#include <vector>

#include "measures/event_condition.h"
#include "protocol/stage_program.h"
#include "zones/zone_set.h"

namespace vx {

// Reads a rule into event (type, zone, amount, unit, count). Zones are found in zones by name
// (case-insensitive) or id. "" on success, else what is wrong with the text.
std::string ParseProgramRule(const std::string& text, const ZoneSet& zones, CMyEvent& event);

// The diagram text of a program that starts tracking on start (event 1, armed when the program
// starts, action 2) and, with stop, stops it on stop (event 3, armed when event 1 fires, so
// that its durations count from the start of tracking; action 4).
std::string BuildProgramText(const CMyEvent& start, const CMyEvent* stop);

// Checks a diagram text given whole (for scripts): every event and action box holds a
// complete definition of whole numbers (events at least up to the arming event, actions all
// eight values), event ids are unique, and every arming event and source event names an event
// of the program. "" when the text is sound, else the first problem.
std::string CheckProgramText(const std::string& text);

// The program's events and actions as numbered sentences, in the diagram's order, followed by
// the protocol's maximum duration when it has one.
std::vector<std::string> DescribeProgram(const StageProgram& program, const ZoneSet& zones);

}  // namespace vx
