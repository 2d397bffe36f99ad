// The speed-by-range report (measure 1): the share of the test's time spent in slices whose
// average speed falls in each speed range.
//
// Input: the average speed s_k (mm/s) of each time slice and its duration in seconds (the
// last slice lasts D - k L when it runs past the test's duration D). A slice counts for range
// r when min_r <= s_k < max_r; R[r] = (sum of its slices' durations) * 100 / D.
// - Listed ranges: one cell per range, named by the range. Nothing without a range or D = 0.
// - Equal ranges of width w from m to M: nothing when w <= 0, or M < m with M != 0; M <= 0
//   means the largest s_k (at least the smallest positive double). trunc((M - m) / w) + 1
//   ranges [m + j w, m + (j + 1) w), named "%.2f - %.2f". More than kMaxEqualRanges ranges
//   give nothing (a width far too small for the speeds).
#pragma once

#include <cstdint>
#include <vector>

#include "measures/measure_definition.h"
#include "measures/measure_input.h"

namespace vx {

inline constexpr int kMaxEqualRanges = 10000;

// The ranges to count: the definition's list, or its equal ranges for these speeds.
std::vector<tRange> SpeedRanges(const MeasureDefinition& definition,
                                const std::vector<double>& speeds);

// The cell labels of a speed-range result of count cells, rebuilt without the speeds: the
// listed ranges' names (when there are count of them), or the first count equal ranges'
// names; empty when no result of the definition has count cells.
std::vector<std::string> SpeedRangeLabels(const MeasureDefinition& definition, size_t count);

// The period name of a speed-range result.
inline constexpr const char* kSpeedRangesPeriod = "Speed ranges";

// A table of one period ("Speed ranges") and one cell per range; empty (no period) when
// nothing is produced.
MeasureTable SpeedRangeTable(const MeasureDefinition& definition,
                             const std::vector<double>& speeds,
                             const std::vector<double>& sliceSeconds, int64_t totalSeconds);

}  // namespace vx
