// Zone sets drawn by hand for the tests of measures: an arena and rectangles or ellipses with
// known pixel extents (a rectangle covers both of its edges).
//
// Header-only: usable by the tests of every module that links the zones layer.
#pragma once

#include <memory>
#include <string>

#include "zones/draw_rect.h"
#include "zones/zone_set.h"

namespace vx::testing {

// A set for an image of width x height with the main arena covering arenaRect.
inline ZoneSet ArenaSet(int width, int height, PixelRect arenaRect) {
  ZoneSet set;
  set.SetImageSize(width, height, false, false);
  CDrawObj* arena = set.AddZone(std::make_unique<CDrawRect>(kKindRectangle, arenaRect));
  arena->name = "Arena";
  set.SetMainArena(arena);
  return set;
}

// Adds a framed zone (kKindRectangle, kKindRoundRect, kKindEllipse) and returns it.
inline CDrawObj* AddZone(ZoneSet& set, const std::string& name, PixelRect rect,
                         int kind = kKindRectangle) {
  CDrawObj* zone = set.AddZone(std::make_unique<CDrawRect>(kind, rect));
  zone->name = name;
  return zone;
}

}  // namespace vx::testing
