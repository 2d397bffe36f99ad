// Small read helpers over SQLite::Database for the record code: single values, existence tests
// and id lists. A failed query reads as "nothing found"; its code stays in db.lastError() and
// surfaces when the transaction ends.
#pragma once

#include <string>
#include <vector>

#include "db/sqlite_database.h"

namespace vx {

// True when the query yields at least one row.
bool RowExists(SQLite::Database& db, const std::string& sql);
// The first column of the first row as an integer; fallback when there is no row.
int QueryInt(SQLite::Database& db, const std::string& sql, int fallback = 0);
// The first column of the first row as text; false (and value untouched) when there is no row.
bool QueryText(SQLite::Database& db, const std::string& sql, std::string& value);
// The first column of every row, as integers.
std::vector<int> QueryInts(SQLite::Database& db, const std::string& sql);
// The new row's id after an insert; -1 when an error has been recorded.
int InsertedId(SQLite::Database& db);

// Replaces records with fromRow(row) of every row of the query, in query order.
template <typename Record, typename FromRow>
void ReadRecords(SQLite::Database& db, const std::string& sql, std::vector<Record>& records,
                 FromRow fromRow) {
  records.clear();
  SQLite::TablePtr table = db.GetTable(sql);
  if (!table || !table->MoveFirst()) return;
  do {
    records.push_back(fromRow(*table));
  } while (table->MoveNext());
}

}  // namespace vx
