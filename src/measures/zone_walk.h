// The walk of a trajectory over report periods and zone cells, shared by the zone measures
// (entries, exits, visits, latencies, distances to zones) and the movement measures (speed,
// distance, activity per zone).
//
// For each period the walk visits the points whose report time lies in [start, end). A step
// of the trajectory that straddles a boundary is cut there: a position is interpolated
// linearly at the boundary time (centre and head; the outline of the nearer point moves with
// the centre) and classified like a point, so that the period starts and ends exactly at its
// bounds. The first position of a period sets each cell's state; every later position ends a
// step, whose duration and length (the smoothed path length, scaled by the part of the step
// that lies in the period) go to the listener with the cells' states after the update.
//
// Cell state at each position, from the zone's state (a complement swaps Inside and Outside):
//   Inside    entered = (inZone was 0), exited = 0, inZone = 1
//   Outside   entered = 0, exited = inZone, inZone = 0
//   Undecided inZone unchanged, entered = exited = 0
// Clearing the marks on an undecided position is our reading of a case left open: the marks
// describe what this position changed, and an undecided position changes nothing. Kept, they
// would count one entry twice when the position after an entry is undecided, and lose that
// step's time (the step would look like the entering one).
// At the first position of a period an undecided zone state keeps the state the animal had
// before that position (from the trajectory's earlier points), so that a period does not
// start "outside" an animal sitting half in a zone.
//
// Hidden zones (measures that count them): a position is a hidden presence for a hidden zone
// when its state is Inside, or when at least one frame is missing before the point (frame >=
// previous frame + 2, the point not being the last) and the zone's hidden-presence rule holds
// for the positions before and after the gap: the state then becomes Inside.
#pragma once

#include <cstdint>
#include <vector>

#include "measures/report_periods.h"
#include "trajectory/trajectory.h"
#include "measures/zone_cells.h"
#include "zones/draw_obj.h"

namespace vx {

struct CellState {
  int inZone = 0;
  int entered = 0;
  int exited = 0;
  // The cell is its hidden zone's plain cell and this position is a hidden presence for it.
  bool hiddenPresence = false;
};

// A position of the walk: a point of the trajectory, or a position interpolated at a period
// boundary on the step from point index - 1 to point index.
struct WalkPosition {
  int64_t time = 0;  // report time, ms
  cv::Point centre;  // raw position, pixels
  cv::Point head;    // (-1, -1) without head
  int index = 0;     // the trajectory point, or the end point of the step it lies on
  bool interpolated = false;
};

struct WalkStep {
  int period = 0;
  double durationMs = 0;  // dt
  double lengthMm = 0;    // dd
  bool firstOfPeriod = false;
  bool lastOfPeriod = false;
  // The end position is a hidden presence for at least one hidden zone: steps then count
  // for the cells the animal is in after the update.
  bool hiddenPresence = false;
};

class ZoneWalkListener {
 public:
  virtual ~ZoneWalkListener() = default;
  // The first position of period p; states already set, marks cleared.
  virtual void OnPeriodStart(int period, const WalkPosition& position,
                             const std::vector<CellState>& states) = 0;
  // A step ending at position; states after the update.
  virtual void OnStep(const WalkStep& step, const WalkPosition& position,
                      const std::vector<CellState>& states) = 0;
};

struct ZoneWalkInput {
  const Trajectory* trajectory = nullptr;
  size_t first = 0;    // first point taking part
  int64_t origin = 0;  // video time of report time 0
  const ZoneCells* cells = nullptr;
  const ArenaAdjustment* adjustment = nullptr;
  const ZoneTestInfo* testInfo = nullptr;
  double scale = 1.0;          // mm per pixel, for the hidden-presence distances
  bool hiddenZones = false;    // the measure counts hidden presence
  bool classify = true;        // false: positions and steps only (distances to zones)
};

// Walks every period in order.
void WalkZones(const ZoneWalkInput& input, const std::vector<ReportPeriod>& periods,
               ZoneWalkListener& listener);

// The nominal frame duration in ms: the video's duration / frame count + 0.5, truncated; with
// no frame count, the last point's time / its frame index, rounded the same way; 0 without
// points or when that frame index is 0.
int NominalFrameDuration(const Trajectory& trajectory);

}  // namespace vx
