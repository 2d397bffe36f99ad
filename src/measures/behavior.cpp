#include "measures/behavior.h"

#include <algorithm>

#include "trajectory/behavior_blob.h"
#include "base/text.h"

namespace vx {

namespace {

bool ParseUnsigned(const std::string& text, uint32_t max, uint32_t& value) {
  int64_t parsed = 0;
  if (!TryParseInt64(text, parsed) || parsed < 0 || parsed > max) return false;
  value = static_cast<uint32_t>(parsed);
  return true;
}

bool Selected(const std::string& selection, uint32_t id) {
  return selection.empty() || IdSetContains(selection, static_cast<int>(id));
}

// One cell of one period: the occurrences of behaviourId clipped to [ps, pe).
double BehaviorValue(int measure, uint32_t behaviorId, const RecordedBehaviors& recorded,
                     int64_t ps, int64_t pe) {
  double r = measure == kMeasureLatencyBehavior ? -1 : 0;
  double count = 0;
  bool any = false;
  for (const CListRecBehavior& list : recorded.lists) {
    if (list.behaviorId != behaviorId) continue;
    for (const tRecBehavior& o : list.occurrences) {
      const int64_t s = o.start, e = o.end;
      if (!(s < pe && e >= ps)) continue;
      const int64_t d = std::min(e, pe) - std::max(s, ps);
      if (d <= 0) continue;
      switch (measure) {
        case kMeasureLongestBehavior:
          r = any ? std::max(r, static_cast<double>(d)) : static_cast<double>(d);
          break;
        case kMeasureShortestBehavior:
          r = any ? std::min(r, static_cast<double>(d)) : static_cast<double>(d);
          break;
        case kMeasureMeanBehavior:
        case kMeasureTotalBehavior:
          r += static_cast<double>(d);
          count += 1;
          break;
        case kMeasureLatencyBehavior:
          if (r < 0) r = s < ps ? 0 : static_cast<double>(s - ps);
          break;
        default:  // kMeasureBehaviorCount
          r += 1;
          break;
      }
      any = true;
    }
  }
  if (measure == kMeasureMeanBehavior) r = count > 0 ? r / count : 0;
  return r;
}

double ApplyBehaviorValueKind(int measure, int valueKind, double r, const ReportPeriod& period) {
  if (measure == kMeasureLatencyBehavior) return r >= 0 ? r / 1000 : r;
  if (measure > kMeasureTotalBehavior) return r;
  if (valueKind == 1) {
    return period.IsEmpty() || period.lengthMs <= 0 ? 0
                                                    : r * 100 / static_cast<double>(period.lengthMs);
  }
  return r >= 0 ? r / 1000 : r;
}

}  // namespace

std::string FormatBehavior(const CBehavior& b) {
  return Format("%u;%s;%u;%u;%u", b.id, b.name.c_str(), static_cast<unsigned>(b.key), b.kind,
                b.value);
}

bool ParseBehavior(const std::string& text, CBehavior& behavior) {
  const std::vector<std::string> fields = Split(text, ';', true);
  if (fields.size() < 5) return false;
  CBehavior b = behavior;
  uint32_t key = 0;
  if (!ParseUnsigned(fields[0], UINT32_MAX, b.id) || !ParseUnsigned(fields[2], 255, key) ||
      !ParseUnsigned(fields[3], 1, b.kind) || !ParseUnsigned(fields[4], UINT32_MAX, b.value)) {
    return false;
  }
  b.name = fields[1];
  b.key = static_cast<uint8_t>(key);
  behavior = b;
  return true;
}

BehaviorSet ParseBehaviors(const std::string& text, int protocolId) {
  BehaviorSet set;
  const std::vector<std::string> fields = Split(text, '|', false);
  if (fields.size() >= 2) {
    uint32_t next = 1;
    if (ParseUnsigned(fields[1], UINT32_MAX, next)) set.nextId = next;
  }
  for (size_t i = 3; i < fields.size(); ++i) {
    CBehavior b;
    if (!ParseBehavior(fields[i], b)) continue;
    b.protocolId = static_cast<uint32_t>(protocolId);
    set.behaviors.push_back(b);
  }
  return set;
}

std::string FormatBehaviors(const BehaviorSet& set) {
  std::string text = Format("1|%u|%d", set.nextId, static_cast<int>(set.behaviors.size()));
  for (const CBehavior& b : set.behaviors) text += "|" + FormatBehavior(b);
  return text;
}

void KeepKnownBehaviors(RecordedBehaviors& recorded, const std::vector<CBehavior>& definitions) {
  std::erase_if(recorded.lists, [&](const CListRecBehavior& list) {
    return std::none_of(definitions.begin(), definitions.end(),
                        [&](const CBehavior& b) { return b.id == list.behaviorId; });
  });
}

bool ReadRecordedBehaviors(std::span<const uint8_t> blob, int protocolId,
                           const std::vector<CBehavior>& definitions, RecordedBehaviors& recorded) {
  if (!ReadBehaviors(recorded, blob, protocolId)) return false;
  KeepKnownBehaviors(recorded, definitions);
  return true;
}

std::vector<const CBehavior*> SelectedBehaviors(const std::string& selection,
                                                const std::vector<CBehavior>& behaviors) {
  std::vector<const CBehavior*> cells;
  for (const CBehavior& b : behaviors) {
    if (Selected(selection, b.id)) cells.push_back(&b);
  }
  return cells;
}

void ComputeBehaviorMeasure(const MeasureDefinition& d, const std::vector<CBehavior>& behaviors,
                            const RecordedBehaviors& recorded,
                            const std::vector<ReportPeriod>& periods, MeasureTable& table) {
  table = MeasureTable();
  table.measure = d.measure;
  const std::vector<const CBehavior*> cells = SelectedBehaviors(d.zoneSelection, behaviors);
  if (cells.empty()) return;
  for (const CBehavior* b : cells) table.cells.push_back(b->name);
  for (const ReportPeriod& period : periods) {
    table.periods.push_back(period.name);
    for (const CBehavior* b : cells) {
      // Occurrences end with the analysed time: one running past the last point would
      // otherwise count in full, and a percentage of the period exceed 100.
      const int64_t analysedEnd = std::min(period.endMs, period.startMs + period.lengthMs);
      const double r = period.IsEmpty()
                           ? -1
                           : BehaviorValue(d.measure, b->id, recorded, period.startMs, analysedEnd);
      table.values.push_back(ApplyBehaviorValueKind(d.measure, d.valueKind, r, period));
    }
  }
}

}  // namespace vx
