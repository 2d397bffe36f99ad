// A protocol's zone set to and from what the protocol record stores: one ZoneRow per zone
// (table Zones) and the columns Width, Height, RulerLength, RulerUnit, SecArenas and
// MaxIdZone of the protocol row.
//
// Loading never fails: malformed or missing values fall back to the defaults (a damaged zone
// row still gives a zone). The protocol statements themselves belong to the database layer
// (LoadProtocol / SaveProtocol); these functions only convert.
#pragma once

#include <string>
#include <vector>

#include "db/protocol.h"
#include "zones/zone_set.h"

namespace vx {

// The zone of one row, owned by set (not yet added to it). bPoly = 1 gives a polygon,
// otherwise TypeRect 5 a combined zone, otherwise a rectangle-kind shape.
std::unique_ptr<CDrawObj> ZoneFromRow(const ZoneRow& row, ZoneSet& set);
ZoneRow RowFromZone(const CDrawObj& zone);

// Empties set, then builds one zone per row in order (the rows come ordered by Ordre, Id).
void LoadZones(ZoneSet& set, const std::vector<ZoneRow>& rows);
// One row per zone in list order.
std::vector<ZoneRow> SaveZones(const ZoneSet& set);

// The SecArenas text: "2|main name|count" then "|name;left;top;width;height" per arena.
std::string FormatSecArenas(const ZoneSet& set);
// Reads a SecArenas text into set's mainArenaName and secondaryArenas. An empty text gives
// no secondary arena and the default name; a token that is not a number stops the reading
// and drops the secondary arenas read so far.
void ParseSecArenas(const std::string& text, ZoneSet& set);
// Arena names cannot hold the SecArenas separators '|' and ';' (nor be empty).
bool IsValidArenaName(const std::string& name);

// Whole protocol <-> zone set. LoadZoneSet leaves set unmodified (modified false).
void LoadZoneSet(const CProtocol& protocol, ZoneSet& set);
void StoreZoneSet(const ZoneSet& set, CProtocol& protocol);

}  // namespace vx
