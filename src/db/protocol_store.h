// Protocols (table Protocols) with the rows they own: zones (Zones), result definitions
// (Results) and filters (Filters).
//
// A protocol save is one transaction that stops issuing statements at the first recorded
// error, so a half-saved protocol never commits: the protocol row, the screenshot, every zone
// row (deleted and inserted again, in drawing order, with Ordre 0), the result definitions and
// the filters reconciled by id (rows no longer listed are deleted, the others updated or
// inserted), and, when asked, the report cache of the protocol's result definitions.
#pragma once

#include <string>
#include <vector>

#include "db/experiment.h"
#include "db/protocol.h"
#include "db/sqlite_database.h"

namespace vx {

// Reads the protocol row, its screenshot, zones (by Ordre, then Id), result definitions and
// filters (by Id). False when no protocol has that id (the record keeps its values).
bool LoadProtocol(Experiment& experiment, int id, CProtocol& protocol);
// Inserts (id -1) or updates the protocol and its rows; new ids (protocol, results, filters)
// are written back into the record and the experiment's list is refreshed. On failure the
// record keeps the caller's values and ids.
bool SaveProtocol(Experiment& experiment, CProtocol& protocol, bool resultsAffected);
// Deletes the protocol, its zones, favourites, fields with their choices, and the report
// cache of its result definitions.
bool DeleteProtocol(Experiment& experiment, int id);
// Every protocol's id and name, sorted by name.
bool ListProtocolsByName(Experiment& experiment, std::vector<NamedId>& protocols);

// The Params column: "%d|%d|" with 0 and the general option flag.
std::string FormatProtocolParams(bool generalOption);
// The flag from the second token; false when the text is empty or has no second token.
bool ParseProtocolParams(const std::string& text);

// Inside a transaction the caller holds.
void WriteProtocol(SQLite::Database& db, CProtocol& protocol, bool resultsAffected);
bool ReadProtocol(SQLite::Database& db, int id, CProtocol& protocol);
void ReadAllProtocols(SQLite::Database& db, std::vector<CProtocol>& protocols);
// Reads "select Id,Name from <table> order by Name ASC" (pickers).
void ReadNamedIds(SQLite::Database& db, const std::string& sql, std::vector<NamedId>& entries);

}  // namespace vx
