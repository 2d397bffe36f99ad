#include "db/sql_query.h"

#include "base/text.h"

namespace vx {

bool RowExists(SQLite::Database& db, const std::string& sql) {
  SQLite::TablePtr table = db.GetTable(sql);
  return table && table->GetRowCount() > 0;
}

int QueryInt(SQLite::Database& db, const std::string& sql, int fallback) {
  SQLite::TablePtr table = db.GetTable(sql);
  if (!table || table->GetRowCount() == 0) return fallback;
  return table->FirstColumnAsInt();
}

bool QueryText(SQLite::Database& db, const std::string& sql, std::string& value) {
  SQLite::TablePtr table = db.GetTable(sql);
  if (!table || table->GetRowCount() == 0 || table->GetColumnCount() == 0) return false;
  value = table->GetText(table->Columns()[0]);
  return true;
}

std::vector<int> QueryInts(SQLite::Database& db, const std::string& sql) {
  std::vector<int> values;
  SQLite::TablePtr table = db.GetTable(sql);
  if (!table || !table->MoveFirst()) return values;
  do {
    values.push_back(table->FirstColumnAsInt());
  } while (table->MoveNext());
  return values;
}

int InsertedId(SQLite::Database& db) {
  return db.lastError() == SQLite::kOk ? static_cast<int>(db.LastInsertRowId()) : -1;
}

}  // namespace vx
