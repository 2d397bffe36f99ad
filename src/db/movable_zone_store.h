// Saved positions of movable zones (table MovableZones): a position of one movable zone that
// the user named so as to apply it to other tests. The coordinates belong to the arena
// adjustment code.
#pragma once

#include <string>
#include <vector>

#include "db/experiment.h"

namespace vx {

struct MovableZonePosition {
  int id = -1;
  std::string name;
  int idProtocol = -1;
  int idZone = -1;
  int x = 0;
  int y = 0;
  int adjustedX = 0;
  int adjustedY = 0;
  int adjustedAngle = 0;
};

// The saved positions of one zone of a protocol, by name.
bool ListMovableZonePositions(Experiment& experiment, int protocolId, int zoneId,
                              std::vector<MovableZonePosition>& positions);
// Inserts a position (the new id is written back).
bool SaveMovableZonePosition(Experiment& experiment, MovableZonePosition& position);
bool DeleteMovableZonePosition(Experiment& experiment, int id);
// The position with that id; false when there is none (or the file cannot be read).
bool FindMovableZonePosition(Experiment& experiment, int id, MovableZonePosition& position);

}  // namespace vx
