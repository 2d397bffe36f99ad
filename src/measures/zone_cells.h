// The zone cells of a zone or movement measure: one per zone taking part ("%s ( in )") and
// one per complement of a zone, the area outside it ("%s ( out )").
//
// Which zones take part, in the protocol's drawing order: every shape that is not the ruler
// nor a line; hidden zones only for the measures that count hidden presence (2, 4 to 9 and 12
// to 15). All of them as plain cells first, then all but the arenas as complement cells. A
// zone selection text keeps a plain cell when it holds ",id," and a complement cell when it
// holds ",-id,"; an empty selection keeps every cell.
#pragma once

#include <string>
#include <vector>

#include "zones/zone_set.h"

namespace vx {

struct ZoneCell {
  const CDrawObj* zone = nullptr;  // owned by the zone set
  bool complement = false;
  int zoneIndex = 0;  // index of the zone in ZoneCells::zones (its classification is shared)

  // The zone id, negative for a complement (the form the selection and the entry events use).
  int SignedId() const { return complement ? -zone->id : zone->id; }
};

struct ZoneCells {
  std::vector<ZoneCell> cells;
  std::vector<const CDrawObj*> zones;  // every zone that has at least one cell, once
};

// Do hidden zones take part in this measure.
bool MeasureUsesHiddenZones(int measure);

ZoneCells BuildZoneCells(const ZoneSet& set, int measure, const std::string& selection);

// "%s ( in )" or "%s ( out )" with the zone's name.
std::string CellLabel(const ZoneCell& cell);

}  // namespace vx
