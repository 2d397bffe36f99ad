#include "db/result_view_store.h"

#include "base/text.h"
#include "db/experiment_db.h"
#include "db/sql_query.h"

namespace vx {

namespace {

FavoriteView FavoriteFromRow(const SQLite::Table& row) {
  FavoriteView v;
  v.id = row.GetId();
  v.name = row.GetText("Name");
  v.idProtocol = row.GetInt("IdProtocol");
  v.idReport = row.GetInt("IdReport");
  v.idFilter = row.GetInt("IdFilter");
  v.groupBy = row.GetText("GroupBy");
  v.orderTests = row.GetInt("OrderTests");
  v.collapsed = row.GetText("Collapsed");
  v.checked = row.GetText("Checked");
  v.columns = row.GetText("Columns");
  v.sldCurve = row.GetInt("SldCurve");
  v.typeView = row.GetInt("TypeView");
  v.chart = row.GetText("Chart");
  v.file = row.GetText("File");
  v.bUpdateFile = row.GetInt("bUpdateFile");
  return v;
}

void WriteFavorite(SQLite::Database& db, FavoriteView& v) {
  const std::string name = SqlQuote(v.name), groupBy = SqlQuote(v.groupBy),
                    collapsed = SqlQuote(v.collapsed), checked = SqlQuote(v.checked),
                    columns = SqlQuote(v.columns), chart = SqlQuote(v.chart),
                    file = SqlQuote(v.file);
  if (v.id != -1 && RowExists(db, Format("select Id from Favorites where Id=%d", v.id))) {
    db.Execute(Format("update Favorites set Name = '%s', IdProtocol = %d, IdReport = %d, "
                      "IdFilter = %d, GroupBy = '%s', OrderTests = %d, Collapsed = '%s', "
                      "Checked = '%s', Columns = '%s', SldCurve = %d, TypeView = %d, Chart = "
                      "'%s', File = '%s', bUpdateFile = %d where Id = %d",
                      name.c_str(), v.idProtocol, v.idReport, v.idFilter, groupBy.c_str(),
                      v.orderTests, collapsed.c_str(), checked.c_str(), columns.c_str(),
                      v.sldCurve, v.typeView, chart.c_str(), file.c_str(), v.bUpdateFile, v.id));
    return;
  }
  db.Execute(Format("insert into Favorites(Name,IdProtocol,IdReport,IdFilter,GroupBy,OrderTests,"
                    "Collapsed,Checked,Columns,SldCurve,TypeView,Chart,File,bUpdateFile) Values "
                    "('%s',%d,%d,%d,'%s',%d,'%s','%s','%s',%d,%d,'%s','%s',%d)",
                    name.c_str(), v.idProtocol, v.idReport, v.idFilter, groupBy.c_str(),
                    v.orderTests, collapsed.c_str(), checked.c_str(), columns.c_str(), v.sldCurve,
                    v.typeView, chart.c_str(), file.c_str(), v.bUpdateFile));
  v.id = InsertedId(db);
}

}  // namespace

bool LoadFavorite(Experiment& experiment, int id, FavoriteView& view) {
  std::vector<FavoriteView> read;
  const bool ok = RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
    ReadRecords(db, Format("select * from Favorites where Id=%d", id), read, FavoriteFromRow);
  });
  if (!ok || read.empty()) return false;
  view = read.front();
  return true;
}

bool SaveFavorite(Experiment& experiment, FavoriteView& view) {
  FavoriteView written = view;
  if (!RunWriteTransaction(experiment.file,
                           [&](SQLite::Database& db) { WriteFavorite(db, written); })) {
    return false;
  }
  view = written;
  return true;
}

bool DeleteFavorite(Experiment& experiment, int id) {
  return RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    db.Execute(Format("delete from Favorites where Id=%d", id));
  });
}

bool LoadColors(Experiment& experiment, std::map<std::string, int>& colors) {
  std::map<std::string, int> read;
  const bool ok = RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
    SQLite::TablePtr table = db.GetTable("select * from Colors");
    if (!table || !table->MoveFirst()) return;
    do {
      read[table->GetText("Ref")] = table->GetInt("Color");
    } while (table->MoveNext());
  });
  if (!ok) return false;
  colors = std::move(read);
  return true;
}

bool SaveColor(Experiment& experiment, const std::string& ref, int color) {
  return RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    const std::string quoted = SqlQuote(ref);
    if (RowExists(db, Format("select Color from Colors where Ref='%s'", quoted.c_str()))) {
      db.Execute(Format("update Colors set Color=%d where Ref='%s'", color, quoted.c_str()));
    } else {
      db.Execute(Format("insert into Colors (Ref, Color) Values ('%s', %d)", quoted.c_str(), color));
    }
  });
}

}  // namespace vx
