#include "measures/speed_ranges.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "base/text.h"

namespace vx {

namespace {

// Range j of equal ranges of width w from m.
tRange EqualRange(double m, double w, int j) {
  const double lo = m + j * w, hi = m + (j + 1) * w;
  return {Format("%.2f - %.2f", lo, hi), lo, hi};
}

}  // namespace

std::vector<tRange> SpeedRanges(const MeasureDefinition& d, const std::vector<double>& speeds) {
  if (d.rangeMode != 1) return d.ranges;
  const double w = d.rangeLength, m = d.rangeMin;
  double top = d.rangeMax;
  if (!(w > 0) || (top < m && top != 0)) return {};
  if (top <= 0) {
    top = DBL_MIN;
    for (const double s : speeds) top = std::max(top, s);
  }
  const double count = std::trunc((top - m) / w) + 1;
  if (!(count >= 1) || count > kMaxEqualRanges) return {};
  std::vector<tRange> ranges;
  for (int j = 0; j < static_cast<int>(count); ++j) ranges.push_back(EqualRange(m, w, j));
  return ranges;
}

std::vector<std::string> SpeedRangeLabels(const MeasureDefinition& d, size_t count) {
  std::vector<std::string> labels;
  if (d.rangeMode != 1) {
    if (count != d.ranges.size()) return labels;
    for (const tRange& r : d.ranges) labels.push_back(r.name);
    return labels;
  }
  if (!(d.rangeLength > 0) || count > static_cast<size_t>(kMaxEqualRanges)) return labels;
  for (size_t j = 0; j < count; ++j) {
    labels.push_back(EqualRange(d.rangeMin, d.rangeLength, static_cast<int>(j)).name);
  }
  return labels;
}

MeasureTable SpeedRangeTable(const MeasureDefinition& d, const std::vector<double>& speeds,
                             const std::vector<double>& sliceSeconds, int64_t totalSeconds) {
  MeasureTable table;
  table.measure = d.measure;
  const std::vector<tRange> ranges = SpeedRanges(d, speeds);
  if (ranges.empty() || totalSeconds <= 0) return table;
  table.periods = {kSpeedRangesPeriod};
  for (const tRange& range : ranges) {
    double seconds = 0;
    for (size_t k = 0; k < speeds.size() && k < sliceSeconds.size(); ++k) {
      if (range.min <= speeds[k] && speeds[k] < range.max) seconds += sliceSeconds[k];
    }
    table.cells.push_back(range.name);
    table.values.push_back(seconds * 100 / static_cast<double>(totalSeconds));
  }
  return table;
}

}  // namespace vx
