#include "protocol/stage_program.h"

#include "base/text.h"

namespace vx {

namespace {

void ParseEntries(const std::string& text, std::vector<CMyEvent>& events,
                  std::vector<CAction>& actions) {
  for (const std::string& raw : Split(text, ';', false)) {
    const std::string entry = Trim(raw);
    const bool isEvent = entry.starts_with("uml_event");
    const bool isAction = entry.starts_with("uml_action");
    if (!isEvent && !isAction) continue;
    const size_t comma = entry.rfind(',');
    if (comma == std::string::npos) continue;
    const std::string definition = entry.substr(comma + 1);
    if (isEvent) {
      CMyEvent event;
      event.Decode(definition, '|');
      events.push_back(event);
    } else {
      actions.push_back(ParseAction(definition));
    }
  }
}

bool HasStop(const std::vector<CAction>& actions) {
  for (const CAction& a : actions) {
    if (a.kind == kActionStop) return true;
  }
  return false;
}

}  // namespace

int64_t MaximumDurationSeconds(int maxDuration, int unit) {
  return maxDuration < 1 ? 0 : DurationSeconds(maxDuration, unit);
}

void LoadProgram(StageProgram& program, const std::string& text) {
  program.text = text;
  program.events.clear();
  program.actions.clear();
  program.firstCall = true;
  program.startTime = 0;
  ParseEntries(text, program.events, program.actions);
}

void LoadProgram(StageProgram& program, const CProtocol& protocol) {
  LoadProgram(program, protocol.diagram);
  program.maxDuration = protocol.maxDuration;
  program.maxDurationUnit = protocol.maxTypeDuration;
}

void StartProgram(StageProgram& program, const ZoneSet* zones) {
  program.firstCall = true;
  for (CMyEvent& event : program.events) {
    event.Reset(zones);
    event.armed = kEventIdle;
  }
}

bool EvaluateProgram(StageProgram& program, const tMyPoint& point, int64_t t,
                     std::vector<CAction>& emitted, const EventContext& context) {
  emitted.clear();
  if (program.firstCall) {
    program.firstCall = false;
    for (CMyEvent& event : program.events) {
      if (event.armedBy < 0) event.Rearm(t);
    }
    program.startTime = t;
  }
  for (bool changed = true; changed;) {
    changed = false;
    for (size_t i = 0; i < program.events.size(); ++i) {
      CMyEvent& event = program.events[i];
      if (event.armed != kEventArmed || !event.Evaluate(point, t, context)) continue;
      const int fired = event.eventId;
      for (CMyEvent& next : program.events) {
        if (next.armedBy == fired && next.armed == kEventIdle) {
          next.Rearm(t);
          changed = true;
        }
      }
      for (const CAction& action : program.actions) {
        if (action.sourceEvent == fired) emitted.push_back(action);
      }
    }
  }
  const int64_t limit = MaximumDurationSeconds(program.maxDuration, program.maxDurationUnit);
  if (program.maxDuration >= 1 &&
      static_cast<uint32_t>(t - program.startTime) > static_cast<uint64_t>(limit) * 1000 &&
      !HasStop(emitted)) {
    emitted.push_back(MaximumDurationStop());
  }
  return !emitted.empty();
}

bool ProgramDiffers(const std::string& oldText, const std::string& newText) {
  std::vector<CMyEvent> oldEvents, newEvents;
  std::vector<CAction> oldActions, newActions;
  ParseEntries(oldText, oldEvents, oldActions);
  ParseEntries(newText, newEvents, newActions);
  if (oldEvents.size() != newEvents.size() || oldActions != newActions) return true;
  for (size_t i = 0; i < oldEvents.size(); ++i) {
    if (oldEvents[i].Encode() != newEvents[i].Encode()) return true;
  }
  return false;
}

std::string DefaultProgramText() { return kDefaultDiagram; }

}  // namespace vx
