#include "zones/zone_set.h"

#include <algorithm>
#include <cmath>

#include "base/messages.h"
#include "base/text.h"
#include "zones/draw_boolean.h"
#include "zones/draw_poly.h"
#include "zones/draw_rect.h"

namespace vx {

namespace {

constexpr uint32_t kRulerColor = 18429;  // 0x0047FD

}  // namespace

std::string DefaultMainArenaName() { return MessageText(msg::kMainArena); }

ZoneSet::ZoneSet(const ZoneSet& other) { *this = other; }

ZoneSet& ZoneSet::operator=(const ZoneSet& other) {
  if (this == &other) return *this;
  CopySettings(other);
  zones_.clear();
  for (const auto& zone : other.zones_) zones_.push_back(zone->Clone());
  AdoptZones();
  return *this;
}

ZoneSet::ZoneSet(ZoneSet&& other) noexcept { *this = std::move(other); }

ZoneSet& ZoneSet::operator=(ZoneSet&& other) noexcept {
  if (this == &other) return *this;
  CopySettings(other);
  zones_ = std::move(other.zones_);
  AdoptZones();
  return *this;
}

void ZoneSet::CopySettings(const ZoneSet& other) {
  modified = other.modified;
  imageWidth = other.imageWidth;
  imageHeight = other.imageHeight;
  rulerDx = other.rulerDx;
  rulerDy = other.rulerDy;
  rulerLength = other.rulerLength;
  rulerUnit = other.rulerUnit;
  notifyChanged = other.notifyChanged;
  mainArenaName = other.mainArenaName;
  secondaryArenas = other.secondaryArenas;
  maxIdZone = other.maxIdZone;
}

void ZoneSet::AdoptZones() {
  for (auto& zone : zones_) {
    zone->owner = this;
    // Combined zones must look their components up in this set from now on.
    if (zone->IsCombined()) zone->InvalidateRegion();
  }
}

int ZoneSet::NextZoneId() {
  if (maxIdZone < 1) {
    // Ids start at 1: 0 and negative ids mean "none", and a complement is written -id.
    maxIdZone = 0;
    for (const auto& zone : zones_) maxIdZone = std::max(maxIdZone, zone->id);
  }
  return ++maxIdZone;
}

std::string ZoneSet::DefaultName(const CDrawObj& zone) const {
  int text = msg::kNameCombined;
  if (zone.isRuler != 0) text = msg::kNameRuler;
  else if (zone.isArena != 0) text = msg::kNameArena;
  else if (zone.IsPolygon()) text = msg::kNamePolygon;
  else if (zone.IsCombined()) text = msg::kNameCombined;
  else if (zone.GetTypeRect() == kKindEllipse) text = msg::kNameCircle;
  else if (zone.GetTypeRect() == kKindLine) text = msg::kNameLine;
  else text = msg::kNameRectangle;
  const std::string base = MessageText(text);
  auto taken = [&](const std::string& candidate) {
    return std::any_of(zones_.begin(), zones_.end(), [&](const auto& other) {
      return other.get() != &zone && other->GetName() == candidate;
    });
  };
  if (!taken(base)) return base;
  for (int n = 1;; ++n) {
    std::string candidate = Format("%s %d", base.c_str(), n);
    if (!taken(candidate)) return candidate;
  }
}

CDrawObj* ZoneSet::AddZone(std::unique_ptr<CDrawObj> zone) {
  if (zone->id <= 0) zone->id = NextZoneId();
  zone->name = DefaultName(*zone);
  return AppendZone(std::move(zone));
}

CDrawObj* ZoneSet::AppendZone(std::unique_ptr<CDrawObj> zone) {
  zone->owner = this;
  zones_.push_back(std::move(zone));
  ZoneChanged(zones_.back().get());
  return zones_.back().get();
}

bool ZoneSet::RemoveZone(int zoneId, int* refusedMessage) {
  const auto found = std::find_if(zones_.begin(), zones_.end(),
                                  [&](const auto& zone) { return zone->id == zoneId; });
  if (found == zones_.end()) return false;
  int refusal = 0;
  if ((*found)->isArena != 0) refusal = msg::kCannotDeleteArena;
  else if ((*found)->isRuler != 0) refusal = msg::kCannotDeleteRuler;
  if (refusal != 0) {
    if (refusedMessage != nullptr) *refusedMessage = refusal;
    return false;
  }
  zones_.erase(found);
  ZoneChanged(nullptr);
  return true;
}

bool ZoneSet::ReplaceZone(std::unique_ptr<CDrawObj> replacement) {
  for (auto& zone : zones_) {
    if (zone->id == replacement->id) {
      zone = std::move(replacement);
      zone->owner = this;
      ZoneChanged(zone.get());
      return true;
    }
  }
  return false;
}

void ZoneSet::RemoveAll() {
  zones_.clear();
  ZoneChanged(nullptr);
}

CDrawObj* ZoneSet::FindZone(int zoneId) const {
  for (const auto& zone : zones_) {
    if (zone->id == zoneId) return zone.get();
  }
  return nullptr;
}

CDrawObj* ZoneSet::MainArena() const {
  for (const auto& zone : zones_) {
    if (zone->isArena != 0) return zone.get();
  }
  return nullptr;
}

CDrawObj* ZoneSet::Ruler() const {
  for (const auto& zone : zones_) {
    if (zone->isRuler != 0) return zone.get();
  }
  return nullptr;
}

void ZoneSet::SetMainArena(CDrawObj* arena) {
  for (auto& zone : zones_) zone->isArena = zone.get() == arena ? 1 : 0;
  if (arena != nullptr) {
    arena->detectInZone = kDetectCentre;
    arena->hidden = 0;
    arena->movable = 0;
  }
  ZoneChanged(arena);
}

PixelRect ZoneSet::ArenaRect(int arenaIndex) const {
  if (arenaIndex >= 0 && arenaIndex < static_cast<int>(secondaryArenas.size())) {
    return secondaryArenas[static_cast<size_t>(arenaIndex)].rect.Normalized();
  }
  if (const CDrawObj* arena = MainArena()) return arena->GetRect().Normalized();
  return PixelRect{0, 0, imageWidth, imageHeight}.Normalized();
}

std::string ZoneSet::ArenaName(int arenaIndex) const {
  if (arenaIndex < 0) return mainArenaName;
  if (arenaIndex < static_cast<int>(secondaryArenas.size())) {
    return secondaryArenas[static_cast<size_t>(arenaIndex)].name;
  }
  return {};
}

bool ZoneSet::SetImageSize(int width, int height, bool createRuler, bool rescale) {
  const int oldWidth = imageWidth, oldHeight = imageHeight;
  imageWidth = width;
  imageHeight = height;
  modified = true;
  const CDrawObj* newRuler = nullptr;
  if (createRuler && Ruler() == nullptr) {
    auto ruler = std::make_unique<CDrawRect>(kKindRuler, PixelRect{10, height - 10, width / 2, height - 10});
    ruler->id = NextZoneId();
    ruler->name = MessageText(msg::kNameRuler);
    ruler->isRuler = 1;
    ruler->pen.color = kRulerColor;
    ruler->owner = this;
    newRuler = ruler.get();
    zones_.push_back(std::move(ruler));
    rulerDx = width / 2 - 10;
    rulerDy = 0;
    rulerLength = 0;
    rulerUnit = 1;
  }
  bool changed = false;
  if (rescale && oldWidth >= 1 && oldHeight >= 1) {
    const double fx = width != oldWidth ? static_cast<double>(width) / oldWidth : 1.0;
    const double fy = height != oldHeight ? static_cast<double>(height) / oldHeight : 1.0;
    const double f = std::min(fx, fy);
    if (f != 1.0) {
      for (auto& zone : zones_) {
        if (zone.get() == newRuler) continue;  // already made for the new size
        const std::string before = zone->GetPointsText();
        zone->Scale(f, f);
        changed = changed || zone->GetPointsText() != before;
      }
      for (tSecondaryArena& arena : secondaryArenas) {
        PixelRect& r = arena.rect;
        r = {SaturateToInt(std::nearbyint(r.left * f)), SaturateToInt(std::nearbyint(r.top * f)),
             SaturateToInt(std::nearbyint(r.right * f)), SaturateToInt(std::nearbyint(r.bottom * f))};
      }
    }
  }
  ZoneChanged(nullptr);
  return changed;
}

void ZoneSet::UpdateRegions() const {
  for (const auto& zone : zones_) zone->UpdateRegion();
}

void ZoneSet::ZoneChanged(const CDrawObj* zone) {
  modified = true;
  for (auto& other : zones_) {
    if (other.get() != zone && other->IsCombined()) other->InvalidateRegion();
  }
  if (notifyChanged) notifyChanged();
}

std::unique_ptr<CDrawObj> MakeShape(int kind, const ZoneSet& set) {
  std::unique_ptr<CDrawObj> shape;
  if (kind >= kKindRectangle && kind <= kKindRuler) shape = std::make_unique<CDrawRect>(kind);
  else if (kind == kKindCombined) shape = std::make_unique<CDrawBoolean>();
  else if (kind == kKindPolygon) shape = std::make_unique<CDrawPoly>();
  else return nullptr;
  const int drawn = static_cast<int>(std::count_if(set.Zones().begin(), set.Zones().end(),
                                                   [](const auto& z) { return z->isRuler == 0; }));
  shape->pen.color = DefaultZoneColor(drawn);
  if (shape->IsCombined()) shape->brush.color = shape->pen.color;
  return shape;
}

}  // namespace vx
