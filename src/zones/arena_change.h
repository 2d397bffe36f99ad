// Editing a test's arena adjustment: the arena moved, scaled, turned or placed, and movable
// zones placed, with the rules every editor applies (the angle within ±45 degrees, a scale a
// camera can really have changed by, an arena that stays on the image), then stored.
//
// A change is always relative to the protocol's arena as it is now: moving by (10, 0) twice
// leaves the arena 10 pixels from the protocol's, and whatever a change does not name keeps
// its current value.
#pragma once

#include <optional>
#include <string>

#include "db/experiment.h"
#include "zones/test_adjustment.h"
#include "zones/zone_set.h"

namespace vx {

// Size factors outside this range are typing errors rather than a camera moved.
constexpr double kMinArenaScale = 0.1;
constexpr double kMaxArenaScale = 10.0;

struct ArenaChange {
  std::optional<cv::Point> move;     // pixels: the arena's top-left corner from the protocol's
  std::optional<cv::Point2d> scale;  // factors of the arena's width and height
  std::optional<int> angle;          // degrees, clockwise on the image
  std::optional<PixelRect> rect;     // the adjusted rectangle itself (instead of move and scale)
};

// The test's arena (arenaIndex: Tests.IdArena) in protocolZones, changed as change says.
// Returns "" with adjustment updated (zone positions kept), or why the change is refused
// (adjustment untouched).
std::string ApplyArenaChange(const ArenaChange& change, const ZoneSet& protocolZones,
                             int arenaIndex, TestAdjustment& adjustment);

// The arena back where the protocol has it (zone positions kept).
void ClearArenaAdjustment(TestAdjustment& adjustment);

// Puts movable zone's top-left corner at (x, y) of the protocol's frame in the test (angle is
// kept with the position). Returns "" or why not: the zone is not movable, or combined.
std::string PlaceMovableZone(const CDrawObj& zone, int x, int y, int angle, TestAdjustment& adjustment);

// Stores adjustment as test's AdjustArena text (with the positions of zones protocolZones
// still has) and the test's arena index, and drops the test's cached results, in one
// transaction. False when the test does not exist or the file cannot be written.
bool SaveTestAdjustment(Experiment& experiment, const CInfosTest& test,
                        const TestAdjustment& adjustment, const ZoneSet& protocolZones);

}  // namespace vx
