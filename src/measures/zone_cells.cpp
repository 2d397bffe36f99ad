#include "measures/zone_cells.h"

#include "base/text.h"

namespace vx {

bool MeasureUsesHiddenZones(int measure) {
  switch (measure) {
    case 2:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 9:
    case 12:
    case 13:
    case 14:
    case 15:
      return true;
    default:
      return false;
  }
}

ZoneCells BuildZoneCells(const ZoneSet& set, int measure, const std::string& selection) {
  const bool withHidden = MeasureUsesHiddenZones(measure);
  std::vector<const CDrawObj*> kept;
  for (const auto& zone : set.Zones()) {
    if (zone->isRuler != 0 || !zone->HasArea()) continue;
    if (zone->hidden != 0 && !withHidden) continue;
    kept.push_back(zone.get());
  }
  ZoneCells result;
  auto add = [&](const CDrawObj* zone, bool complement) {
    const int id = complement ? -zone->id : zone->id;
    if (!selection.empty() && !IdSetContains(selection, id)) return;
    int index = 0;
    while (index < static_cast<int>(result.zones.size()) &&
           result.zones[static_cast<size_t>(index)] != zone) {
      ++index;
    }
    if (index == static_cast<int>(result.zones.size())) result.zones.push_back(zone);
    result.cells.push_back({zone, complement, index});
  };
  for (const CDrawObj* zone : kept) add(zone, false);
  for (const CDrawObj* zone : kept) {
    if (zone->isArena == 0) add(zone, true);
  }
  return result;
}

std::string CellLabel(const ZoneCell& cell) {
  return Format(cell.complement ? "%s ( out )" : "%s ( in )", cell.zone->GetName().c_str());
}

}  // namespace vx
