// A protocol's zones: the image size the geometry refers to, the zones themselves (arena,
// zones, calibration ruler, in load/creation order), the secondary arenas and the counter
// that gives new zones their ids.
//
// The set owns its zones; each zone's `owner` points back at the set (copies and moves of
// the set re-point them). Every change of a zone or of the set raises `modified`, which tells
// the protocol it must be saved, drops the cached regions of combined zones (they follow
// their components) and calls notifyChanged when one is set.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "zones/draw_obj.h"

namespace vx {

// The main arena's display name when none was given ("Main arena").
std::string DefaultMainArenaName();

// A secondary arena: another rectangle a test can choose as its arena (Tests.IdArena >= 0).
// It has no shape of its own; the main arena's shape is placed in its rectangle.
struct tSecondaryArena {
  std::string name;  // must not contain '|' or ';' (the SecArenas text has no escape)
  PixelRect rect;
  bool operator==(const tSecondaryArena&) const = default;
};

class ZoneSet {
 public:
  ZoneSet() = default;
  ZoneSet(const ZoneSet& other);
  ZoneSet& operator=(const ZoneSet& other);
  ZoneSet(ZoneSet&& other) noexcept;
  ZoneSet& operator=(ZoneSet&& other) noexcept;

  const std::vector<std::unique_ptr<CDrawObj>>& Zones() const { return zones_; }

  // The next zone id: when maxIdZone < 1 it first becomes the largest id in the set (0 when
  // there is none), so that ids start at 1.
  int NextZoneId();
  // Appends zone (owned from now on): an id from NextZoneId() when its id is not positive,
  // then its default name. Returns the zone.
  CDrawObj* AddZone(std::unique_ptr<CDrawObj> zone);
  // Appends a zone as it is (a stored zone keeps its id and name). Returns the zone.
  CDrawObj* AppendZone(std::unique_ptr<CDrawObj> zone);
  // The kind's name ("Rectangle", "Circle", ...), numbered "%s %d" from 1 until no other
  // zone has it.
  std::string DefaultName(const CDrawObj& zone) const;
  // Removes a zone. The main arena and the ruler cannot be removed: refusal gives false and
  // the message id (789, 884) in refusedMessage when it is not null.
  bool RemoveZone(int zoneId, int* refusedMessage = nullptr);
  // Puts replacement in the place of the zone with the same id (for instance a rectangle
  // turned into a polygon to be rotated freely). False when no zone has that id.
  bool ReplaceZone(std::unique_ptr<CDrawObj> replacement);
  void RemoveAll();

  CDrawObj* FindZone(int zoneId) const;
  CDrawObj* MainArena() const;  // the first zone marked as arena
  CDrawObj* Ruler() const;      // the first zone marked as ruler
  // Makes zone the main arena (null: no main arena). The arena has no entry rule: its
  // detection mode becomes the centre, it is neither hidden nor movable.
  void SetMainArena(CDrawObj* zone);

  // The rectangle of arena arenaIndex (Tests.IdArena): a secondary arena for a valid index,
  // otherwise the main arena, or (0, 0, imageWidth, imageHeight) without one; normalised.
  PixelRect ArenaRect(int arenaIndex) const;
  // Negative index: the main arena's name; a valid index: that arena's name; otherwise "".
  std::string ArenaName(int arenaIndex) const;

  // Stores a new image size. createRuler adds the calibration ruler when there is none;
  // rescale (with a valid old size) scales every zone and secondary arena by the smaller of
  // the two size ratios. Returns whether any zone's geometry changed.
  bool SetImageSize(int width, int height, bool createRuler, bool rescale);

  // Builds every zone's region now, so that the set can then be read from several threads.
  void UpdateRegions() const;

  // Called by zones when they change.
  void ZoneChanged(const CDrawObj* zone);

  bool modified = false;
  int imageWidth = 0;
  int imageHeight = 0;
  int rulerDx = 0;  // ruler extent in pixels (right - left, bottom - top)
  int rulerDy = 0;
  int rulerLength = 0;  // real length of the ruler, a whole number
  int rulerUnit = 1;    // 0 centimetres, 1 millimetres
  std::function<void()> notifyChanged;
  std::string mainArenaName = DefaultMainArenaName();
  std::vector<tSecondaryArena> secondaryArenas;
  int maxIdZone = -1;

 private:
  void CopySettings(const ZoneSet& other);  // everything but the zones
  void AdoptZones();
  std::vector<std::unique_ptr<CDrawObj>> zones_;
};

// A new shape of a kind (TypeRect 0 to 6) with the outline colour the set gives the next
// shape; not yet added to the set. Null for an unknown kind.
std::unique_ptr<CDrawObj> MakeShape(int kind, const ZoneSet& set);

}  // namespace vx
