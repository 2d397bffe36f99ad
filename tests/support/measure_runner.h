// Runs one measure over a hand-made trajectory and zone set, for the tests of measures.
//
// Header-only: usable by the tests of every module that links the analysis layer.
#pragma once

#include <string>
#include <vector>

#include "measures/measure_engine.h"
#include "support/trajectory_builder.h"

namespace vx::testing {

struct MeasureRun {
  MeasureDefinition definition;
  MeasureInput input;
  MeasureTable table;
  int periods = 0;

  double Value(size_t period, size_t cell) const { return table.At(period, cell); }
  // The value of the cell labelled label ("A ( in )") in period.
  double Value(size_t period, const std::string& label) const {
    for (size_t c = 0; c < table.CellCount(); ++c) {
      if (table.cells[c] == label) return table.At(period, c);
    }
    ADD_FAILURE() << "no cell " << label;
    return -12345;
  }
};

// A definition of measure over the whole analysis (no slices), every cell.
inline MeasureDefinition WholeTest(int measure, int valueKind = 0) {
  MeasureDefinition d;
  d.measure = measure;
  d.valueKind = valueKind;
  return d;
}

inline MeasureDefinition Slices(int measure, int seconds, int valueKind = 0) {
  MeasureDefinition d = WholeTest(measure, valueKind);
  d.sliceLength = seconds;
  d.sliceUnit = 2;
  return d;
}

inline MeasureRun RunMeasure(const MeasureDefinition& definition, const Trajectory& trajectory,
                             const ZoneSet& zones, double scale = 1.0,
                             int64_t inactivityDelayMs = 0) {
  MeasureRun run;
  run.definition = definition;
  run.input.trajectory = &trajectory;
  run.input.zones = &zones;
  run.input.scale = scale;
  run.input.inactivityDelayMs = inactivityDelayMs;
  run.periods = ComputeMeasure(definition, run.input, run.table);
  return run;
}

}  // namespace vx::testing
