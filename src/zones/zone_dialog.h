// The rules that accept or refuse a zone's settings when the user confirms them (the zone
// dialog of the editor, the `zone add` command).
//
// ConfirmZoneSettings checks, and ApplyZoneSettings stores what was accepted. A refusal is
// the number of the message that explains it; the settings are then left unapplied.
#pragma once

#include <string>

#include "base/platform.h"
#include "zones/zone_set.h"

namespace vx {

struct ZoneSettings {
  std::string name;
  bool isArena = false;   // make the zone the main arena
  int detectInZone = kDetectCentre;
  int percentEntry = 70;  // 0 to 100
  int percentExit = 50;
  // The checkbox "The position of the zone is the same for all the tests": the zone is
  // movable when it is unticked.
  bool sameForAllTests = true;
  bool hidden = false;
  int hiddenDistance = 5;
  int hiddenUnit = 0;  // 0 centimetres, 1 millimetres
};

// Only a shape with an area of its own can be the main arena: not a line, the ruler or a
// combined zone (whose area follows other zones). kind is the zone's TypeRect.
bool CanBeArena(int kind);

// The settings a zone has now, as the dialog shows them.
ZoneSettings SettingsOf(const CDrawObj& zone);

// Checks settings for zone (a member of set, or about to be added to it): 0 when accepted,
// else the refusing message id:
//   263  empty name;
//   806  body-percentage rule with an exit percentage above the entry (with the other rules
//        the exit percentage is lowered to the entry one instead);
//   1105 a hidden zone grown by its distance limit overlaps another hidden zone grown by its
//        own (only when the protocol is calibrated, mmPerPixel > 0);
//   826  head rule while the protocol does not detect heads, and the user declined to switch
//        head detection on (asked through asker; accepting sets headDetection).
// The rules after the name are not applied to the arena and the ruler.
int ConfirmZoneSettings(const ZoneSet& set, const CDrawObj& zone, ZoneSettings& settings,
                        double mmPerPixel, bool& headDetection, Asker& asker);

// Stores accepted settings in zone (making it the main arena when asked).
void ApplyZoneSettings(ZoneSet& set, CDrawObj& zone, const ZoneSettings& settings);

// Adds a secondary arena named name over rect (normalised). False, with the set unchanged, when
// the name is empty or holds '|' or ';' (the SecArenas text cannot carry them) or the
// rectangle is empty.
bool AddSecondaryArena(ZoneSet& set, const std::string& name, const PixelRect& rect);

// A hidden zone's distance limit in pixels: the distance in millimetres over the ratio,
// rounded to nearest, plus 1. 0 when mmPerPixel is not positive.
int HiddenLimitPixels(int hiddenDistance, int hiddenUnit, double mmPerPixel);

}  // namespace vx
