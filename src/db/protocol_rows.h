// The rows a protocol owns, read and written inside the caller's transaction: zones (all
// replaced on every save), result definitions and filters (reconciled by id).
#pragma once

#include <vector>

#include "db/protocol.h"
#include "db/sqlite_database.h"

namespace vx {

// "select * from Zones where IdProtocol=%d order by Ordre asc, Id asc".
void ReadZoneRows(SQLite::Database& db, int protocolId, std::vector<ZoneRow>& zones);
// Deletes the protocol's zones and inserts the rows in the given order, each with Ordre 0.
void WriteZoneRows(SQLite::Database& db, int protocolId, const std::vector<ZoneRow>& zones);

void ReadResultRows(SQLite::Database& db, int protocolId, std::vector<ResultRow>& results);
// Deletes the protocol's result rows whose ids are no longer listed, then updates the listed
// rows that exist and inserts the others (their new ids are written back).
void WriteResultRows(SQLite::Database& db, int protocolId, std::vector<ResultRow>& results);

void ReadFilterRows(SQLite::Database& db, int protocolId, std::vector<FilterRow>& filters);
// The same reconciliation for filters.
void WriteFilterRows(SQLite::Database& db, int protocolId, std::vector<FilterRow>& filters);

}  // namespace vx
