#include "zones/zone_dialog.h"

#include <cmath>

#include "base/messages.h"
#include "base/text.h"

namespace vx {

bool AddSecondaryArena(ZoneSet& set, const std::string& name, const PixelRect& rect) {
  const PixelRect r = rect.Normalized();
  if (name.empty() || name.find_first_of("|;") != std::string::npos || r.IsEmpty()) return false;
  set.secondaryArenas.push_back({name, r});
  set.modified = true;
  return true;
}

bool CanBeArena(int kind) {
  return kind != kKindLine && kind != kKindRuler && kind != kKindCombined;
}

ZoneSettings SettingsOf(const CDrawObj& zone) {
  ZoneSettings s;
  s.name = zone.GetName();
  s.isArena = zone.isArena != 0;
  s.detectInZone = zone.detectInZone;
  s.percentEntry = zone.percentEntry;
  s.percentExit = zone.percentExit;
  s.sameForAllTests = zone.movable == 0;
  s.hidden = zone.hidden != 0;
  s.hiddenDistance = zone.hiddenDistance;
  s.hiddenUnit = zone.hiddenUnit;
  return s;
}

int HiddenLimitPixels(int hiddenDistance, int hiddenUnit, double mmPerPixel) {
  if (!(mmPerPixel > 0)) return 0;
  const double mm = hiddenUnit == 0 ? hiddenDistance * 10.0 : static_cast<double>(hiddenDistance);
  return SaturateToInt(std::nearbyint(mm / mmPerPixel)) + 1;
}

namespace {

// Does zone, grown by its limit, meet another hidden zone grown by that zone's own limit.
bool TooCloseToAnotherHiddenZone(const ZoneSet& set, const CDrawObj& zone,
                                 const ZoneSettings& settings, double mmPerPixel) {
  if (!settings.hidden || !(mmPerPixel > 0)) return false;
  zone.UpdateOuterRegion(HiddenLimitPixels(settings.hiddenDistance, settings.hiddenUnit, mmPerPixel));
  const PixelRegion grown = zone.OuterRegion();
  for (const auto& other : set.Zones()) {
    if (other.get() == &zone || other->hidden == 0 || other->IsArenaOrRuler()) continue;
    other->UpdateOuterRegion(HiddenLimitPixels(other->hiddenDistance, other->hiddenUnit, mmPerPixel));
    if (grown.Intersects(other->OuterRegion())) return true;
  }
  return false;
}

}  // namespace

int ConfirmZoneSettings(const ZoneSet& set, const CDrawObj& zone, ZoneSettings& settings,
                        double mmPerPixel, bool& headDetection, Asker& asker) {
  if (Trim(settings.name).empty()) return msg::kEnterName;
  if (settings.isArena || zone.isRuler != 0) return 0;
  if (settings.percentExit > settings.percentEntry) {
    if (settings.detectInZone == kDetectBody) return msg::kExitAboveEntry;
    settings.percentExit = settings.percentEntry;
  }
  if (TooCloseToAnotherHiddenZone(set, zone, settings, mmPerPixel)) return msg::kHiddenZonesTooClose;
  if (settings.detectInZone == kDetectHead && !headDetection) {
    if (asker.Ask(msg::kSwitchHeadDetectionOn, MessageText(msg::kSwitchHeadDetectionOn),
                  AskButtons::YesNo) != Answer::Yes) {
      return msg::kSwitchHeadDetectionOn;
    }
    headDetection = true;
  }
  return 0;
}

void ApplyZoneSettings(ZoneSet& set, CDrawObj& zone, const ZoneSettings& settings) {
  zone.name = settings.name;
  if (settings.isArena) {
    set.SetMainArena(&zone);
    return;
  }
  if (zone.isArena != 0) set.SetMainArena(nullptr);
  if (zone.isRuler != 0) return;
  zone.detectInZone = settings.detectInZone;
  zone.percentEntry = static_cast<uint8_t>(settings.percentEntry);
  zone.percentExit = static_cast<uint8_t>(settings.percentExit);
  zone.movable = settings.sameForAllTests ? 0 : 1;
  zone.hidden = settings.hidden ? 1 : 0;
  zone.hiddenDistance = settings.hiddenDistance;
  zone.hiddenUnit = settings.hiddenUnit;
  set.ZoneChanged(&zone);
}

}  // namespace vx
