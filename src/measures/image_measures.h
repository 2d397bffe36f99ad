// The heat map (26) and track images (27 centre, 28 head) of a test for a report, and the heat
// map of a group of tests: the mean of their time grids.
//
// The report's three heat-map options are (unused, spot, blur) with the meanings of
// HeatMapSettings, so that a report's image is fixed by the report alone (and cached with it).
// With event-bounded periods (mode 1) only the points from the start condition's firing to the
// end condition's take part; otherwise every point of the trajectory.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "db/experiment.h"
#include "measures/heat_map.h"
#include "measures/measure_definition.h"
#include "measures/result_image.h"
#include "measures/test_measure_data.h"

namespace vx {

HeatMapSettings HeatMapSettingsOf(const MeasureDefinition& definition);

// The canvas of a loaded test (its arena, adjustment angle and video size).
HeatCanvas TestCanvas(Experiment& experiment, const TestMeasureData& data);

// The image of an image measure; nothing when there is nothing to draw (no point, an empty
// canvas).
std::optional<ResultImage> ComputeImageMeasure(Experiment& experiment, const MeasureDefinition& definition,
                                               const TestMeasureData& data);

struct GroupHeatMap {
  ResultImage image;
  HeatCanvas canvas;             // the first test's, which the others' grids are fitted to
  std::vector<int> tests;        // the tests that took part (with points)
  std::vector<int> skipped;      // selected tests without a point or that could not be read
};

// The heat map of definition over the mean time grid of testIds: the analysed tests of
// protocolId that are not excluded (the others are skipped). False when no test has a point.
bool ComputeGroupHeatMap(Experiment& experiment, const MeasureDefinition& definition, int protocolId,
                         const std::vector<int>& testIds, GroupHeatMap& group);

}  // namespace vx
