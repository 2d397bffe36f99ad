#include "measures/measure_input.h"

namespace vx {

ZoneWalkInput WalkInputFor(const MeasureInput& input, const MeasureSetup& setup, int measure) {
  ZoneWalkInput walk;
  walk.trajectory = input.trajectory;
  walk.first = setup.first;
  walk.origin = setup.origin;
  walk.cells = &setup.cells;
  walk.adjustment = input.adjustment;
  walk.testInfo = &input.testInfo;
  walk.scale = input.scale;
  walk.hiddenZones = MeasureUsesHiddenZones(measure);
  walk.classify = measure < 16 || measure > 19;
  return walk;
}

void PrepareTable(const MeasureSetup& setup, int measure, double initial, MeasureTable& table) {
  table.measure = measure;
  table.periods.clear();
  table.cells.clear();
  for (const ReportPeriod& p : setup.periods) table.periods.push_back(p.name);
  for (const ZoneCell& c : setup.cells.cells) table.cells.push_back(CellLabel(c));
  table.values.assign(table.periods.size() * table.cells.size(), initial);
  table.text.clear();
}

void ApplyValueKind(int valueKind, double unit, const std::vector<double>& periodTotals,
                    const MeasureInput& input, const MeasureSetup& setup, MeasureTable& table) {
  const int64_t arena = ArenaAreaPixels(*input.zones);
  for (size_t p = 0; p < table.PeriodCount(); ++p) {
    double sum = 0;
    for (size_t c = 0; c < table.CellCount(); ++c) sum += table.At(p, c);
    for (size_t c = 0; c < table.CellCount(); ++c) {
      double& r = table.At(p, c);
      const double area = static_cast<double>(CellAreaPixels(setup.cells.cells[c], *input.zones));
      switch (valueKind) {
        case 1:
          r = periodTotals[p] > 0 ? r * 100 / periodTotals[p] : 0;
          break;
        case 2:
          r = sum != 0 ? r * 100 / sum : 0;
          break;
        case 3: {
          const double mm2 = area * input.scale * input.scale;
          r = mm2 > 0 ? r / unit / mm2 : 0;
          break;
        }
        case 4:
          r = arena > 0 ? r / unit * (area / static_cast<double>(arena)) : 0;
          break;
        default:
          r /= unit;
          break;
      }
    }
  }
}

int64_t ArenaAreaPixels(const ZoneSet& zones) {
  const CDrawObj* arena = zones.MainArena();
  return arena != nullptr ? arena->GetArea() : 0;
}

int64_t CellAreaPixels(const ZoneCell& cell, const ZoneSet& zones) {
  const int64_t area = cell.zone->GetArea();
  return cell.complement ? ArenaAreaPixels(zones) - area : area;
}

}  // namespace vx
