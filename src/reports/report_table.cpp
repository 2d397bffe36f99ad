#include "reports/report_table.h"

#include <map>
#include <tuple>
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

namespace {

// A column is one (period, cell); periods are told apart by their name and, for two periods
// the user gave the same name, by the name's occurrence within the result.
using ColumnKey = std::tuple<std::string, int, std::string>;

std::vector<int> NameOccurrences(const std::vector<std::string>& periods) {
  std::map<std::string, int> seen;
  std::vector<int> occurrences;
  for (const std::string& name : periods) occurrences.push_back(seen[name]++);
  return occurrences;
}

std::string PeriodLabel(const std::string& name, int occurrence) {
  return occurrence == 0 ? name : name + " (" + std::to_string(occurrence + 1) + ")";
}

}  // namespace

ReportTable BuildReportTable(const MeasureDefinition& definition,
                             const std::vector<TestResult>& results) {
  ReportTable table;
  const bool named = ColumnsNamePeriods(definition);
  std::map<ColumnKey, size_t> index;
  for (const TestResult& r : results) {
    const std::vector<int> occurrence = NameOccurrences(r.periods);
    for (size_t p = 0; p < r.PeriodCount(); ++p) {
      for (size_t c = 0; c < r.CellCount(); ++c) {
        const ColumnKey key{r.periods[p], occurrence[p], r.cells[c]};
        if (index.contains(key)) continue;
        index[key] = table.columns.size();
        const std::string period = PeriodLabel(r.periods[p], occurrence[p]);
        const std::string label = named ? period + " / " + r.cells[c] : r.cells[c];
        table.columns.push_back({period, r.cells[c], label});
      }
    }
  }
  for (const TestResult& r : results) {
    const std::vector<int> occurrence = NameOccurrences(r.periods);
    std::vector<std::optional<double>> row(table.columns.size());
    for (size_t p = 0; p < r.PeriodCount(); ++p) {
      for (size_t c = 0; c < r.CellCount(); ++c) {
        row[index.at({r.periods[p], occurrence[p], r.cells[c]})] = r.At(p, c);
      }
    }
    table.rows.push_back(std::move(row));
  }
  return table;
}

}  // namespace vx
