#include "reports/report_table.h"

#include <map>
#include <utility>

namespace vx {

bool ColumnsNamePeriods(const MeasureDefinition& d) {
  if (d.measure == kMeasureSpeedByRange) return false;
  switch (BasePeriodMode(d.periodMode)) {
    case kPeriodEvents:
      return false;
    case kPeriodList:
      return true;
    default:
      return d.SliceSeconds() > 0;
  }
}

ReportTable BuildReportTable(const MeasureDefinition& definition,
                             const std::vector<TestResult>& results) {
  ReportTable table;
  const bool named = ColumnsNamePeriods(definition);
  std::map<std::pair<std::string, std::string>, size_t> index;
  for (const TestResult& r : results) {
    for (size_t p = 0; p < r.PeriodCount(); ++p) {
      for (size_t c = 0; c < r.CellCount(); ++c) {
        const auto key = std::make_pair(r.periods[p], r.cells[c]);
        if (index.contains(key)) continue;
        index[key] = table.columns.size();
        const std::string label = named ? r.periods[p] + " / " + r.cells[c] : r.cells[c];
        table.columns.push_back({r.periods[p], r.cells[c], label});
      }
    }
  }
  for (const TestResult& r : results) {
    std::vector<std::optional<double>> row(table.columns.size());
    for (size_t p = 0; p < r.PeriodCount(); ++p) {
      for (size_t c = 0; c < r.CellCount(); ++c) {
        row[index.at({r.periods[p], r.cells[c]})] = r.At(p, c);
      }
    }
    table.rows.push_back(std::move(row));
  }
  return table;
}

}  // namespace vx
