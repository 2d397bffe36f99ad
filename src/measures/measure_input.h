// What one measure computation reads and what it produces.
//
// A computation takes one test: its trajectory, its protocol's zones (with the test's arena
// adjustment and its field values for choice zones), its analysed window, the protocol's
// scale and inactivity delay and behaviour definitions; and yields a table of values, one per
// (period, cell), stored period-major, with the period names and cell labels, or the text of
// the entry-event measure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "measures/analysis_window.h"
#include "measures/report_periods.h"
#include "trajectory/trajectory.h"
#include "measures/zone_cells.h"
#include "measures/zone_walk.h"
#include "zones/zone_set.h"

namespace vx {

struct CBehavior;

struct MeasureInput {
  const Trajectory* trajectory = nullptr;  // finished; may be empty
  const ZoneSet* zones = nullptr;          // the protocol's zones
  const ArenaAdjustment* adjustment = nullptr;  // the test's, may be null
  ZoneTestInfo testInfo;                   // the test and the experiment's fields
  AnalysisWindow window;                   // the test's analysed window
  double scale = 1.0;                      // the protocol's mm per pixel
  int64_t inactivityDelayMs = 0;           // the protocol's inactivity delay
  const std::vector<CBehavior>* behaviors = nullptr;  // the protocol's behaviour definitions
};

struct MeasureTable {
  int measure = 0;
  std::vector<std::string> periods;  // names
  std::vector<std::string> cells;    // labels
  std::vector<double> values;        // period-major: values[p * cells.size() + c]
  std::string text;                  // measure 13: "%d:%d;" per entry event

  size_t PeriodCount() const { return periods.size(); }
  size_t CellCount() const { return cells.size(); }
  double At(size_t period, size_t cell) const { return values[period * cells.size() + cell]; }
  double& At(size_t period, size_t cell) { return values[period * cells.size() + cell]; }
};

// The parts of a computation every measure family shares.
struct MeasureSetup {
  ZoneCells cells;
  std::vector<ReportPeriod> periods;
  size_t first = 0;    // first point taking part
  int64_t origin = 0;  // video time of report time 0
};

// The walk over the setup's periods and cells for a measure.
ZoneWalkInput WalkInputFor(const MeasureInput& input, const MeasureSetup& setup, int measure);

// Fills the table's names, labels and values (every value at initial) for the setup.
void PrepareTable(const MeasureSetup& setup, int measure, double initial, MeasureTable& table);

// The value kinds shared by durations (time in zone, visits) and distances by zone, applied
// to values in their stored unit (ms or mm) and divided by unit (1000 or 1):
//   0 value / unit; 1 value * 100 / periodTotals[p] (the period's length or distance; 0 when
//   it is 0); 2 value * 100 / the sum over the period's cells (0 when 0); 3 value / unit per
//   mm² of the cell's area (0 when the area is not positive); 4 value / unit times the cell's
//   area over the main arena's (0 without an arena area).
void ApplyValueKind(int valueKind, double unit, const std::vector<double>& periodTotals,
                    const MeasureInput& input, const MeasureSetup& setup, MeasureTable& table);

// Area of a cell in pixels: the zone's, or for a complement the main arena's minus the zone's.
int64_t CellAreaPixels(const ZoneCell& cell, const ZoneSet& zones);
// The main arena's area in pixels (0 without one).
int64_t ArenaAreaPixels(const ZoneSet& zones);

}  // namespace vx
