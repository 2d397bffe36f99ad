#include "db/movable_zone_store.h"

#include "base/text.h"
#include "db/experiment_db.h"
#include "db/sql_query.h"

namespace vx {

namespace {

bool ReadPositions(Experiment& experiment, const std::string& sql,
                   std::vector<MovableZonePosition>& positions) {
  return RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
    ReadRecords(db, sql, positions, [](const SQLite::Table& row) {
      return MovableZonePosition{row.GetId(),           row.GetText("Name"),
                                 row.GetInt("IdProtocol"), row.GetInt("IdZone"),
                                 row.GetInt("X"),       row.GetInt("Y"),
                                 row.GetInt("Adjusted_X"), row.GetInt("Adjusted_Y"),
                                 row.GetInt("Adjusted_Angle")};
    });
  });
}

}  // namespace

bool ListMovableZonePositions(Experiment& experiment, int protocolId, int zoneId,
                              std::vector<MovableZonePosition>& positions) {
  return ReadPositions(experiment,
                       Format("Select * From MovableZones WHERE IdProtocol=%d AND IdZone=%d order by "
                              "Name ASC",
                              protocolId, zoneId),
                       positions);
}

bool FindMovableZonePosition(Experiment& experiment, int id, MovableZonePosition& position) {
  std::vector<MovableZonePosition> found;
  if (!ReadPositions(experiment, Format("Select * From MovableZones WHERE Id=%d", id), found) ||
      found.empty()) {
    return false;
  }
  position = found.front();
  return true;
}

bool SaveMovableZonePosition(Experiment& experiment, MovableZonePosition& position) {
  int id = -1;
  const bool ok = RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    const MovableZonePosition& p = position;
    db.Execute(Format("insert into MovableZones (Name, IdProtocol, IdZone, X, Y, Adjusted_X, "
                      "Adjusted_Y, Adjusted_Angle) Values ('%s',%d,%d,%d,%d,%d,%d,%d)",
                      SqlQuote(p.name).c_str(), p.idProtocol, p.idZone, p.x, p.y, p.adjustedX,
                      p.adjustedY, p.adjustedAngle));
    id = InsertedId(db);
  });
  if (ok) position.id = id;
  return ok;
}

bool DeleteMovableZonePosition(Experiment& experiment, int id) {
  return RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    db.Execute(Format("delete from MovableZones where Id=%d", id));
  });
}

}  // namespace vx
