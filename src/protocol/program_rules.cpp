#include "protocol/program_rules.h"

#include <algorithm>

#include "base/text.h"
#include "base/time_text.h"
#include "protocol/action.h"

namespace vx {

namespace {

const CDrawObj* FindZoneByNameOrId(const ZoneSet& zones, const std::string& text) {
  for (const auto& zone : zones.Zones()) {
    if (zone->IsArenaOrRuler() && zone->isArena == 0) continue;  // the ruler is no zone
    if (EqualsNoCase(zone->GetName(), text)) return zone.get();
  }
  int id = -1;
  if (TryParseInt(text, id)) {
    const CDrawObj* zone = zones.FindZone(id);
    if (zone != nullptr && zone->isRuler == 0) return zone;
  }
  return nullptr;
}

// A duration as the condition's amount and unit: hours or minutes when it is a whole number
// of them, else seconds.
std::string ParseDuration(const std::string& text, CMyEvent& event) {
  int64_t ms = 0;
  if (!ParseTimeText(text, ms) || ms % 1000 != 0 || ms / 1000 > 2000000000) {
    return Format("'%s' is not a duration in whole seconds (such as 30s, 5min, 1h, 1:30)", text.c_str());
  }
  const int64_t seconds = ms / 1000;
  if (seconds > 0 && seconds % 3600 == 0) {
    event.amount = static_cast<int>(seconds / 3600);
    event.unit = 0;
  } else if (seconds > 0 && seconds % 60 == 0) {
    event.amount = static_cast<int>(seconds / 60);
    event.unit = 1;
  } else {
    event.amount = static_cast<int>(seconds);
    event.unit = 2;
  }
  return {};
}

struct RuleForm {
  const char* word;
  int type;
  bool zone;
  bool duration;
  bool count;
};

constexpr RuleForm kForms[] = {
    {"never", kEventNever, false, false, false},
    {"immediately", kEventImmediately, false, false, false},
    {"after", kEventAfterDuration, false, true, false},
    {"active", kEventActiveFor, false, true, false},
    {"inactive", kEventInactiveFor, false, true, false},
    {"in", kEventInZoneFor, true, true, false},
    {"enter", kEventEnteredZone, true, false, true},
    {"out", kEventOutOfZoneFor, true, true, false},
    {"leave", kEventLeftZone, true, false, true},
};

std::string ZoneNameOf(const ZoneSet& zones, int id) {
  const CDrawObj* zone = zones.FindZone(id);
  return zone != nullptr ? zone->GetName() : Format("zone %d (missing)", id);
}

std::string Entry(const char* box, int index, const std::string& definition) {
  return Format("%s,20,%d,160,40,%s;", box, 20 + 80 * index, definition.c_str());
}

}  // namespace

std::string ParseProgramRule(const std::string& text, const ZoneSet& zones, CMyEvent& event) {
  const std::vector<std::string> parts = Split(Trim(text), ':', true);
  const RuleForm* form = nullptr;
  for (const RuleForm& f : kForms) {
    if (EqualsNoCase(parts[0], f.word)) form = &f;
  }
  if (form == nullptr) {
    return Format("unknown rule '%s' (immediately, never, after:, active:, inactive:, in:, "
                  "enter:, out:, leave:)", text.c_str());
  }
  const size_t wanted = 1 + form->zone + form->duration;
  const bool countGiven = form->count && parts.size() == wanted + 1;
  if (parts.size() != wanted && !countGiven) return Format("'%s' has %s", text.c_str(), parts.size() < wanted ? "too few parts" : "too many parts");
  event = CMyEvent();
  event.type = form->type;
  size_t next = 1;
  if (form->zone) {
    const CDrawObj* zone = FindZoneByNameOrId(zones, parts[next]);
    if (zone == nullptr) return Format("the protocol has no zone '%s'", parts[next].c_str());
    event.zoneId = zone->id;
    ++next;
  }
  if (form->duration) {
    if (std::string problem = ParseDuration(parts[next], event); !problem.empty()) return problem;
    ++next;
  }
  if (countGiven && (!TryParseInt(parts[next], event.count) || event.count < 1)) {
    return Format("the count must be a whole number of 1 or more, not '%s'", parts[next].c_str());
  }
  return {};
}

std::string BuildProgramText(const CMyEvent& start, const CMyEvent* stop) {
  CMyEvent startEvent = start;
  startEvent.eventId = 1;
  startEvent.armedBy = -1;
  CAction startAction;
  startAction.id = 2;
  startAction.kind = kActionStart;
  startAction.sourceEvent = 1;
  std::string text = "uml_startstop,20,20,160,40;" + Entry("uml_event", 1, startEvent.Encode('|')) +
                     Entry("uml_action", 2, FormatAction(startAction));
  std::string lines = "uml_line,1,2;uml_line,2,3";
  if (stop != nullptr) {
    CMyEvent stopEvent = *stop;
    stopEvent.eventId = 3;
    stopEvent.armedBy = 1;
    CAction stopAction;
    stopAction.id = 4;
    stopAction.kind = kActionStop;
    stopAction.sourceEvent = 3;
    text += Entry("uml_event", 3, stopEvent.Encode('|')) + Entry("uml_action", 4, FormatAction(stopAction));
    lines += ";uml_line,2,4;uml_line,4,5";
  }
  return text + lines;
}

namespace {

// The whole-number values of a definition ("1|2|3|": the last separator ends the text); false
// when a value is not a whole number.
bool DefinitionValues(const std::string& definition, std::vector<int>& values) {
  std::vector<std::string> tokens = Split(definition, '|', true);
  if (!tokens.empty() && tokens.back().empty()) tokens.pop_back();
  values.assign(tokens.size(), 0);
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (!TryParseInt(tokens[i], values[i])) return false;
  }
  return true;
}

}  // namespace

std::string CheckProgramText(const std::string& text) {
  constexpr size_t kEventValues = 8;   // version, id, type, zone, amount, unit, count, armed by
  constexpr size_t kActionValues = 8;  // format, id, kind, video, codec, source, a, b
  std::vector<int> eventIds, armedBy, sources;
  int entryNumber = 0;
  for (const std::string& entry : Split(text, ';', true)) {
    ++entryNumber;
    const bool event = entry.starts_with("uml_event");
    if (!event && !entry.starts_with("uml_action")) continue;
    const size_t comma = entry.rfind(',');
    std::vector<int> values;
    if (comma == std::string::npos || !DefinitionValues(entry.substr(comma + 1), values) ||
        values.size() < (event ? kEventValues : kActionValues)) {
      return Format("entry %d ('%s') has no complete %s definition", entryNumber, entry.c_str(),
                    event ? "event" : "action");
    }
    if (event) {
      for (int id : eventIds) {
        if (id == values[1]) return Format("event id %d is used twice", id);
      }
      eventIds.push_back(values[1]);
      if (values[7] >= 0) armedBy.push_back(values[7]);
    } else {
      sources.push_back(values[5]);
    }
  }
  auto known = [&](int id) { return std::find(eventIds.begin(), eventIds.end(), id) != eventIds.end(); };
  for (int id : armedBy) {
    if (!known(id)) return Format("an event is armed by event %d, which the program does not have", id);
  }
  for (int id : sources) {
    if (!known(id)) return Format("an action follows event %d, which the program does not have", id);
  }
  return {};
}

std::vector<std::string> DescribeProgram(const StageProgram& program, const ZoneSet& zones) {
  std::vector<std::string> steps;
  for (const CMyEvent& e : program.events) {
    const std::string armed = e.armedBy < 0 ? "armed when tracking can begin"
                                            : Format("armed when event %d fires", e.armedBy);
    const std::string zone = e.IsZoneCondition() ? ZoneNameOf(zones, e.zoneId) : std::string();
    steps.push_back(Format("Event %d (%s): %s", e.eventId, armed.c_str(), e.Describe(zone).c_str()));
  }
  for (const CAction& a : program.actions) {
    steps.push_back(Format("Action %d: %s tracking when event %d fires", a.id,
                           a.kind == kActionStop ? "stop" : "start", a.sourceEvent));
  }
  const int64_t limit = MaximumDurationSeconds(program.maxDuration, program.maxDurationUnit);
  if (limit > 0) {
    steps.push_back(Format("Tracking stops at the latest %lld s after it started (the protocol's "
                           "maximum duration)", static_cast<long long>(limit)));
  }
  for (size_t i = 0; i < steps.size(); ++i) steps[i] = Format("%zu. %s", i + 1, steps[i].c_str());
  return steps;
}

}  // namespace vx
