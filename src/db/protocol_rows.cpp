#include "db/protocol_rows.h"

#include "base/text.h"
#include "db/sql_query.h"

namespace vx {

namespace {

// Columns an old file may lack keep the record's defaults.
void ReadIntIfPresent(const SQLite::Table& row, const char* column, int& value) {
  if (row.HasColumn(column)) value = row.GetInt(column);
}

ZoneRow ZoneFromRow(const SQLite::Table& row) {
  ZoneRow zone;
  zone.id = row.GetId();
  zone.name = row.GetText("Name");
  zone.bArena = row.GetInt("bArena");
  zone.bPoly = row.GetInt("bPoly");
  zone.typeRect = row.GetInt("TypeRect");
  zone.points = row.GetText("Points");
  ReadIntIfPresent(row, "LineColor", zone.lineColor);
  ReadIntIfPresent(row, "LineWidth", zone.lineWidth);
  ReadIntIfPresent(row, "BkgColor", zone.bkgColor);
  ReadIntIfPresent(row, "BkgStyle", zone.bkgStyle);
  ReadIntIfPresent(row, "BkgHatch", zone.bkgHatch);
  ReadIntIfPresent(row, "BkgOutside", zone.bkgOutside);
  ReadIntIfPresent(row, "DetectInZone", zone.detectInZone);
  ReadIntIfPresent(row, "PercentEntry", zone.percentEntry);
  ReadIntIfPresent(row, "PercentExit", zone.percentExit);
  ReadIntIfPresent(row, "CountEntryIfInZoneAtStart", zone.countEntryIfInZoneAtStart);
  zone.hiddenZone = row.GetText("HiddenZone");
  ReadIntIfPresent(row, "bMovable", zone.bMovable);
  return zone;
}

// The statements of one reconciled child table (Results or Filters).
struct ChildStatements {
  const char* deleteUnlisted;  // IdProtocol, id list
  const char* deleteAll;       // IdProtocol
  const char* exists;          // Id
};

template <typename Row>
void DeleteUnlisted(SQLite::Database& db, int protocolId, const std::vector<Row>& rows,
                    const ChildStatements& sql) {
  std::vector<int> listed;
  for (const Row& row : rows) {
    if (row.id != -1) listed.push_back(row.id);
  }
  if (listed.empty()) {
    db.Execute(Format(sql.deleteAll, protocolId));
  } else {
    db.Execute(Format(sql.deleteUnlisted, protocolId, SqlIdList(listed).c_str()));
  }
}

// Runs update(row) for rows that exist and insert(row) for the others, stopping at the first
// recorded error; inserted rows take their new id.
template <typename Row, typename Update, typename Insert>
void UpdateOrInsert(SQLite::Database& db, std::vector<Row>& rows, const ChildStatements& sql,
                    Update update, Insert insert) {
  for (Row& row : rows) {
    if (db.lastError() != SQLite::kOk) return;
    if (row.id != -1 && RowExists(db, Format(sql.exists, row.id))) {
      update(row);
    } else {
      insert(row);
      row.id = InsertedId(db);
    }
  }
}

}  // namespace

void ReadZoneRows(SQLite::Database& db, int protocolId, std::vector<ZoneRow>& zones) {
  ReadRecords(db,
              Format("select * from Zones where IdProtocol=%d order by Ordre asc, Id asc",
                     protocolId),
              zones, ZoneFromRow);
}

void WriteZoneRows(SQLite::Database& db, int protocolId, const std::vector<ZoneRow>& zones) {
  db.Execute(Format("delete from Zones where IdProtocol=%d", protocolId));
  for (const ZoneRow& z : zones) {
    if (db.lastError() != SQLite::kOk) return;
    db.Execute(Format(
        "insert into Zones(Id,Name,IdProtocol,bArena,bPoly,TypeRect,Points,LineColor,LineWidth,"
        "BkgColor,BkgStyle,BkgHatch,BkgOutside,Ordre,DetectInZone,PercentEntry,PercentExit,"
        "CountEntryIfInZoneAtStart,HiddenZone,bMovable) values ('%d','%s',%d,%d,%d,%d,'%s',%d,%d,"
        "%d,%d,%d,%d,0,%d,%d,%d,%d,'%s',%d)",
        z.id, SqlQuote(z.name).c_str(), protocolId, z.bArena, z.bPoly, z.typeRect,
        SqlQuote(z.points).c_str(), z.lineColor, z.lineWidth, z.bkgColor, z.bkgStyle, z.bkgHatch,
        z.bkgOutside, z.detectInZone, z.percentEntry, z.percentExit, z.countEntryIfInZoneAtStart,
        SqlQuote(z.hiddenZone).c_str(), z.bMovable));
  }
}

void ReadResultRows(SQLite::Database& db, int protocolId, std::vector<ResultRow>& results) {
  ReadRecords(
      db, Format("select Id,Name,Config from Results where IdProtocol=%d order by Id asc",
                 protocolId),
      results, [](const SQLite::Table& row) {
        return ResultRow{row.GetId(), row.GetText("Name"), row.GetText("Config")};
      });
}

void WriteResultRows(SQLite::Database& db, int protocolId, std::vector<ResultRow>& results) {
  static const ChildStatements sql = {"Delete from Results where IdProtocol=%d and Id Not In %s",
                                      "Delete from Results where IdProtocol=%d",
                                      "SELECT Id FROM Results WHERE Id=%d"};
  DeleteUnlisted(db, protocolId, results, sql);
  UpdateOrInsert(
      db, results, sql,
      [&](const ResultRow& r) {
        std::string stored;
        const bool changed =
            !QueryText(db, Format("select Config from Results where Id=%d", r.id), stored) ||
            stored != r.config;
        db.Execute(Format("Update Results Set Name='%s', Config='%s' Where Id=%d",
                          SqlQuote(r.name).c_str(), SqlQuote(r.config).c_str(), r.id));
        // Results cached for another definition would be served as this one's.
        if (changed) db.Execute(Format("delete from ReportsData where IdReport=%d", r.id));
      },
      [&](const ResultRow& r) {
        db.Execute(Format("Insert into Results (Name, Config, IdProtocol) Values ('%s','%s',%d)",
                          SqlQuote(r.name).c_str(), SqlQuote(r.config).c_str(), protocolId));
      });
}

void ReadFilterRows(SQLite::Database& db, int protocolId, std::vector<FilterRow>& filters) {
  ReadRecords(db,
              Format("select Id,Name,Type,List,Formule,Logic from Filters where IdProtocol=%d "
                     "order by Id asc",
                     protocolId),
              filters, [](const SQLite::Table& row) {
                return FilterRow{row.GetId(),          row.GetText("Name"),
                                 row.GetInt("Type"),   row.GetText("List"),
                                 row.GetText("Formule"), row.GetText("Logic")};
              });
}

void WriteFilterRows(SQLite::Database& db, int protocolId, std::vector<FilterRow>& filters) {
  static const ChildStatements sql = {"Delete from Filters where IdProtocol=%d and Id Not In %s",
                                      "Delete from Filters where IdProtocol=%d",
                                      "SELECT Id FROM Filters WHERE Id=%d"};
  DeleteUnlisted(db, protocolId, filters, sql);
  UpdateOrInsert(
      db, filters, sql,
      [&](const FilterRow& f) {
        db.Execute(Format("Update Filters Set Name='%s', Type=%d, List='%s', Formule='%s', "
                          "Logic='%s' Where Id=%d",
                          SqlQuote(f.name).c_str(), f.type, SqlQuote(f.list).c_str(),
                          SqlQuote(f.formule).c_str(), SqlQuote(f.logic).c_str(), f.id));
      },
      [&](const FilterRow& f) {
        db.Execute(Format("Insert into Filters (Name, Type, List, Formule,Logic, IdProtocol) "
                          "Values ('%s',%d,'%s','%s','%s',%d)",
                          SqlQuote(f.name).c_str(), f.type, SqlQuote(f.list).c_str(),
                          SqlQuote(f.formule).c_str(), SqlQuote(f.logic).c_str(), protocolId));
      });
}

}  // namespace vx
