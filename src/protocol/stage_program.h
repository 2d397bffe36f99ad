// A protocol's stage program: the event and action boxes of its diagram, run frame by frame
// to start and stop the recording of points (and, in acquisitions, of the video).
//
// Diagram text (Protocols.Diagram): entries separated by ';'. An entry starting with
// "uml_event" is an event box and one starting with "uml_action" an action box; their layout
// fields are separated by commas and the text after the last comma is the definition (an
// event condition written with '|', or an action). Every other entry (the start box, lines)
// is layout, and an entry without a comma is skipped.
//
// Lifecycle: LoadProgram builds the lists (whenever the protocol is loaded or its diagram
// changes); StartProgram makes every event idle (0) and marks the next evaluation as the
// first; EvaluateProgram, once per processed frame with the frame's point and its time from
// the start of the analysed period:
//   1. the first call arms (state 1, reference time t) the events armed at start (armedBy < 0)
//      and remembers t as the program's start time;
//   2. passes over the events in list order until a pass arms nothing: an armed event that
//      fires arms the idle events whose armedBy is its id, and emits, in list order, the
//      actions whose source event is its id; an event fires at most once per start;
//   3. with a maximum duration of at least 1, once t - start time (unsigned 32-bit) exceeds
//      the limit, a stop with id -1 is emitted unless the frame already emits a stop.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "measures/event_condition.h"
#include "db/protocol.h"
#include "protocol/action.h"

namespace vx {

struct StageProgram {
  std::string text;
  std::vector<CMyEvent> events;  // in text order
  std::vector<CAction> actions;  // in text order
  bool firstCall = true;
  int64_t startTime = 0;  // ms
  int maxDuration = -1;     // the protocol's MaxDuration; < 1: no limit
  int maxDurationUnit = 1;  // MaxTypeDuration: 0 hours, 1 minutes, 2 seconds
};

// Clears the program and reads text into it (the maximum duration is left as it is).
void LoadProgram(StageProgram& program, const std::string& text);
// The protocol's program: its diagram and its maximum duration.
void LoadProgram(StageProgram& program, const CProtocol& protocol);

// Makes every event idle and resolves the zones of zone conditions among zones (may be null:
// zone conditions then never fire).
void StartProgram(StageProgram& program, const ZoneSet* zones);

// One frame: fills emitted (emptied first) with copies of the actions emitted, in order, and
// returns whether there is any. t: ms from the start of the analysed period.
bool EvaluateProgram(StageProgram& program, const tMyPoint& point, int64_t t,
                     std::vector<CAction>& emitted, const EventContext& context);

// Do the event and action definitions of two diagram texts differ, entry by entry (layout
// does not count; definitions are compared as read, so that equivalent texts do not differ).
bool ProgramDiffers(const std::string& oldText, const std::string& newText);

// The diagram of a new protocol (db/protocol.h kDefaultDiagram, which `protocol add` stores): a
// start box, the event "Immediatly" (id 1, armed at start) and the action "start" (id 2, on
// event 1), joined by lines: tracking starts on the first frame.
std::string DefaultProgramText();

// The maximum duration in seconds: MaxDuration x 3600, x 60 or x 1 by unit; 0 for another
// unit or a MaxDuration below 1.
int64_t MaximumDurationSeconds(int maxDuration, int unit);

}  // namespace vx
