#include "zones/zone_rows.h"

#include "base/text.h"
#include "zones/calibration.h"
#include "zones/draw_boolean.h"
#include "zones/draw_poly.h"
#include "zones/draw_rect.h"

namespace vx {

std::unique_ptr<CDrawObj> ZoneFromRow(const ZoneRow& row, ZoneSet& set) {
  std::unique_ptr<CDrawObj> zone;
  if (row.bPoly == 1) zone = std::make_unique<CDrawPoly>();
  else if (row.typeRect == kKindCombined) zone = std::make_unique<CDrawBoolean>();
  else zone = std::make_unique<CDrawRect>(kKindRectangle);
  zone->owner = &set;
  zone->pen.enabled = true;
  zone->brush.enabled = true;

  // The order matters: the arena flag and the kind decide how a single-point rectangle
  // expands when the geometry is read.
  zone->id = row.id;
  zone->name = row.name;
  zone->isArena = row.bArena == 1 ? 1 : 0;
  if (!zone->IsPolygon() && !zone->IsCombined()) zone->SetTypeRect(row.typeRect);
  zone->SetPointsText(row.points, set.imageWidth, set.imageHeight);
  zone->pen.color = static_cast<uint32_t>(row.lineColor);
  if (zone->pen.enabled) {
    zone->pen.enabled = row.lineWidth >= 1;
    if (row.lineWidth > 0) zone->pen.widthX = zone->pen.widthY = row.lineWidth;
  }
  zone->brush.color = static_cast<uint32_t>(row.bkgColor);
  zone->brush.style = static_cast<uint32_t>(row.bkgStyle);
  zone->brush.hatch = row.bkgHatch;
  zone->bkgOutside = row.bkgOutside;
  zone->detectInZone = row.detectInZone == kDetectHead || row.detectInZone == kDetectBody
                           ? row.detectInZone : kDetectCentre;
  if (zone->isArena != 0) zone->detectInZone = kDetectCentre;
  zone->percentEntry = static_cast<uint8_t>(row.percentEntry);
  zone->percentExit = static_cast<uint8_t>(row.percentExit);
  zone->SetHiddenZoneText(row.hiddenZone);
  zone->movable = row.bMovable;
  return zone;
}

ZoneRow RowFromZone(const CDrawObj& zone) {
  ZoneRow row;
  row.id = zone.id;
  row.name = zone.GetName();
  row.bArena = zone.isArena != 0 ? 1 : 0;
  row.bPoly = zone.IsPolygon() ? 1 : 0;
  row.typeRect = zone.GetTypeRect();
  row.points = zone.GetPointsText();
  row.lineColor = static_cast<int>(zone.pen.color);
  row.lineWidth = zone.pen.widthX;
  row.bkgColor = static_cast<int>(zone.brush.color);
  row.bkgStyle = static_cast<int>(zone.brush.style);
  row.bkgHatch = zone.brush.hatch;
  row.bkgOutside = zone.bkgOutside;
  row.detectInZone = zone.detectInZone;
  row.percentEntry = zone.percentEntry;
  row.percentExit = zone.percentExit;
  row.hiddenZone = zone.GetHiddenZoneText();
  row.bMovable = zone.IsMovable() ? 1 : 0;
  return row;
}

void LoadZones(ZoneSet& set, const std::vector<ZoneRow>& rows) {
  set.RemoveAll();
  for (const ZoneRow& row : rows) set.AppendZone(ZoneFromRow(row, set));
}

std::vector<ZoneRow> SaveZones(const ZoneSet& set) {
  std::vector<ZoneRow> rows;
  for (const auto& zone : set.Zones()) rows.push_back(RowFromZone(*zone));
  return rows;
}

bool IsValidArenaName(const std::string& name) {
  return !name.empty() && name.find_first_of("|;") == std::string::npos;
}

std::string FormatSecArenas(const ZoneSet& set) {
  // The validated setters keep the separators out; a name that slipped through is cleaned
  // here rather than corrupting the whole text.
  auto clean = [](std::string name) {
    for (char& c : name) {
      if (c == '|' || c == ';') c = ' ';
    }
    return name;
  };
  const std::string main = set.mainArenaName.empty() ? DefaultMainArenaName() : set.mainArenaName;
  std::string text = Format("%d|%s|%d", 2, clean(main).c_str(),
                            static_cast<int>(set.secondaryArenas.size()));
  for (const tSecondaryArena& arena : set.secondaryArenas) {
    text += Format("|%s;%d;%d;%d;%d", clean(arena.name).c_str(), arena.rect.left, arena.rect.top,
                   ClampToInt(arena.rect.Width()), ClampToInt(arena.rect.Height()));
  }
  return text;
}

void ParseSecArenas(const std::string& text, ZoneSet& set) {
  set.secondaryArenas.clear();
  set.mainArenaName = DefaultMainArenaName();
  Tokenizer tokens(text, '|');
  std::string token;
  int version = 0, count = 0;
  if (!tokens.Next(token) || !TryParseInt(token, version)) return;
  if (version >= 2) {
    if (!tokens.Next(token)) return;
    set.mainArenaName = token;
  }
  if (!tokens.Next(token) || !TryParseInt(token, count)) return;
  for (int i = 0; i < count && tokens.Next(token); ++i) {
    const std::vector<std::string> parts = Split(token, ';', true);
    int v[4] = {0, 0, 0, 0};
    bool good = parts.size() >= 5;
    for (size_t k = 0; good && k < 4; ++k) good = TryParseInt(parts[k + 1], v[k]);
    if (!good) {
      set.secondaryArenas.clear();
      return;
    }
    set.secondaryArenas.push_back(
        {parts[0], {v[0], v[1], ClampToInt(int64_t{v[0]} + v[2]), ClampToInt(int64_t{v[1]} + v[3])}});
  }
}

void LoadZoneSet(const CProtocol& protocol, ZoneSet& set) {
  set.imageWidth = protocol.width;
  set.imageHeight = protocol.height;
  set.maxIdZone = protocol.maxIdZone;
  ParseSecArenas(protocol.secArenas, set);
  LoadZones(set, protocol.zones);
  set.rulerLength = protocol.rulerLength;
  set.rulerUnit = protocol.rulerUnit;
  RefreshRuler(set, protocol.rulerLength, protocol.rulerUnit);
  set.modified = false;
}

void StoreZoneSet(const ZoneSet& set, CProtocol& protocol) {
  protocol.width = set.imageWidth;
  protocol.height = set.imageHeight;
  protocol.rulerLength = set.rulerLength;
  protocol.rulerUnit = set.rulerUnit;
  protocol.secArenas = FormatSecArenas(set);
  protocol.maxIdZone = set.maxIdZone;
  protocol.zones = SaveZones(set);
}

}  // namespace vx
