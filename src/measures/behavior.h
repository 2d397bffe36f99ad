// Behaviours an observer scores on a test's video: their definitions (part of a protocol,
// column Protocols.Behaviors), the reading rules of the occurrences recorded per test, and the
// behaviour measures 20 to 25.
//
// Behaviors text: fields separated by '|'; the first is a format number (written 1, skipped
// on reading), the second the next free behaviour id, the third the number of behaviours
// (written, skipped on reading), then one behaviour per field: "id;name;key;kind;value".
// A behaviour with fewer than five fields, a field that is not a number, or a kind other than
// 0 or 1 is skipped.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "measures/measure_definition.h"
#include "measures/measure_input.h"
#include "trajectory/rec_behavior.h"

namespace vx {

struct CBehavior {
  uint32_t id = 0;
  uint32_t protocolId = 0;
  std::string name;
  uint8_t key = 0;     // the keyboard key that records it
  uint32_t kind = 0;   // 0 or 1
  uint32_t value = 0;  // carried through

  bool operator==(const CBehavior&) const = default;
};

struct BehaviorSet {
  uint32_t nextId = 1;
  std::vector<CBehavior> behaviors;  // in the protocol's order
};

// One behaviour's text and back; Parse is false for an invalid text (behavior unchanged).
std::string FormatBehavior(const CBehavior& behavior);
bool ParseBehavior(const std::string& text, CBehavior& behavior);

// The protocol's Behaviors column; every behaviour read gets protocolId.
BehaviorSet ParseBehaviors(const std::string& text, int protocolId);
std::string FormatBehaviors(const BehaviorSet& set);

// Keeps only the lists of behaviours defined by the protocol (recorded lists of behaviours
// deleted since are skipped).
void KeepKnownBehaviors(RecordedBehaviors& recorded, const std::vector<CBehavior>& definitions);

// Reads a test's behaviour blob for its protocol: a blob of another protocol (or damaged)
// gives no list and false; lists of unknown behaviours are skipped.
bool ReadRecordedBehaviors(std::span<const uint8_t> blob, int protocolId,
                           const std::vector<CBehavior>& definitions, RecordedBehaviors& recorded);

// The behaviours taking part in a behaviour measure: the protocol's (in its order) whose id is
// a ",id," item of the selection; an empty selection takes them all.
std::vector<const CBehavior*> SelectedBehaviors(const std::string& selection,
                                                const std::vector<CBehavior>& behaviors);

// Measures 20 to 25 over the given periods. Cells: the protocol's behaviours (in its order)
// whose id is a ",id," item of the selection (an empty selection takes them all), labelled by
// name. For a period [ps, pe) an occurrence (s, e) counts when s < pe, e >= ps and
// d = min(e, pe) - max(s, ps) > 0:
//   20 longest d, 21 shortest d, 22 mean d, 23 total d, 24 latency to the first occurrence
//   (0 when it began before ps, else s - ps; -1 when none), 25 number of occurrences.
// An empty period gives -1 in all its cells. 20 to 23 then take the value kind (0 seconds for
// values >= 0, 1 percent of the period's length, 0 for an empty period); 24 is in seconds.
void ComputeBehaviorMeasure(const MeasureDefinition& definition,
                            const std::vector<CBehavior>& behaviors,
                            const RecordedBehaviors& recorded,
                            const std::vector<ReportPeriod>& periods, MeasureTable& table);

}  // namespace vx
