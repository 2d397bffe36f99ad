// The time periods of a report column, in ms from the start of the analysis (report times,
// see analysis_window.h).
//
// - Slices (modes 0, 2, 4, 6): slices of the column's length; their number is the analysed
//   duration in whole seconds ((last time - first time + 500) / 1000) divided by the length,
//   rounded up; slice k covers [k L, (k + 1) L). A length <= 0 gives one period over the
//   whole analysis.
// - User periods (modes 3, 7): the column's own list.
// - Event-bounded (modes 1, 5): one period that starts at the point where the start condition
//   fires and ends at the point where the end condition (rearmed then) fires, or at the last
//   point; when the start condition never fires the period is empty.
//
// Every period also has a length: the part of [start, end) up to the last point taking part,
// which is what percentages of the period's duration divide by (0 for an empty period).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "measures/event_condition.h"
#include "measures/measure_definition.h"

namespace vx {

inline constexpr int64_t kOpenPeriodEnd = INT64_MAX / 4;

struct ReportPeriod {
  std::string name;
  int64_t startMs = 0;
  int64_t endMs = 0;     // exclusive; kOpenPeriodEnd for the whole analysis
  int64_t lengthMs = 0;  // see above

  bool IsEmpty() const { return startMs >= endMs; }
};

// What forming the periods looks at.
struct PeriodSource {
  const std::vector<tMyPoint>* points = nullptr;  // the trajectory's points
  size_t first = 0;     // the first point taking part (analysis window)
  int64_t origin = 0;   // the video time of report time 0
  // Used when no point takes part (behaviour measures on tests not analysed): the duration of
  // the analysis in ms (the video's).
  int64_t durationWithoutPointsMs = 0;
  const ZoneSet* zones = nullptr;  // zone conditions of event-bounded periods
  EventContext events;
};

std::vector<ReportPeriod> BuildReportPeriods(const MeasureDefinition& definition,
                                             const PeriodSource& source);

// The names of count periods of a result of definition, rebuilt without the trajectory (the
// names BuildReportPeriods gives); empty when no result of that definition has count periods
// (an event-bounded result has one, a list of periods its own number).
std::vector<std::string> PeriodNames(const MeasureDefinition& definition, size_t count);

// The analysed duration in whole seconds that slices divide.
int64_t AnalysedSeconds(const PeriodSource& source);

// "00:05:00" from ms (hours may exceed 99).
std::string FormatClock(int64_t ms);

}  // namespace vx
