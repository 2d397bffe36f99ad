// The upgrade steps that convert the tests: old per-test tables into points blobs (below 1),
// the protocol diagrams and the tests rebuild (below 6).
#include <cctype>

#include "base/text.h"
#include "db/sql_query.h"
#include "db/upgrade_steps.h"
#include "db/varint_writer.h"

namespace vx::upgrade {

namespace {

// Every integer of a text, in order ("12,30;14,31" gives 12 30 14 31).
std::vector<int> IntegersOf(const std::string& text) {
  std::vector<int> values;
  size_t i = 0;
  while (i < text.size()) {
    const bool sign = text[i] == '-' && i + 1 < text.size() && std::isdigit(
                                                                    static_cast<unsigned char>(text[i + 1]));
    if (!sign && !std::isdigit(static_cast<unsigned char>(text[i]))) {
      ++i;
      continue;
    }
    size_t end = i + 1;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
    values.push_back(ToInt(text.substr(i, end - i)));
    i = end;
  }
  return values;
}

// One point record of the points blob, without head: frame step, centre, box as distances
// from the centre, outline relative to the box's top-left corner.
void AppendOldRow(std::vector<uint8_t>& blob, const SQLite::Table& row, int& previousFrame,
                  bool first) {
  const int frame = row.GetInt("NumFrame");
  const int x = row.GetInt("ImgX"), y = row.GetInt("ImgY");
  const int left = row.GetInt("BlobLeft"), top = row.GetInt("BlobTop");
  const int right = row.GetInt("BlobRight"), bottom = row.GetInt("BlobBottom");
  AppendVarint(blob, first ? frame : static_cast<int64_t>(frame) - previousFrame);
  previousFrame = frame;
  AppendVarint(blob, x);
  AppendVarint(blob, y);
  AppendVarint(blob, static_cast<int64_t>(x) - left);
  AppendVarint(blob, static_cast<int64_t>(y) - top);
  AppendVarint(blob, static_cast<int64_t>(right) - x);
  AppendVarint(blob, static_cast<int64_t>(bottom) - y);
  const std::vector<int> outline = IntegersOf(row.GetText("Contour"));
  const size_t pairs = outline.size() / 2;  // an odd trailing number is ignored
  AppendVarint(blob, static_cast<int64_t>(pairs));
  for (size_t k = 0; k < pairs; ++k) {
    AppendVarint(blob, static_cast<int64_t>(outline[2 * k]) - left);
    AppendVarint(blob, static_cast<int64_t>(outline[2 * k + 1]) - top);
  }
}

std::vector<uint8_t> PointsOfOldTable(SQLite::Database& db, const std::string& table) {
  std::vector<uint8_t> blob;
  SQLite::TablePtr rows = db.GetTable(Format("select * from %s order by NumFrame asc",
                                             table.c_str()));
  if (!rows || !rows->MoveFirst()) return blob;
  int previousFrame = 0;
  bool first = true;
  do {
    AppendOldRow(blob, *rows, previousFrame, first);
    first = false;
  } while (rows->MoveNext());
  return blob;
}

bool TableExists(SQLite::Database& db, const std::string& name) {
  return RowExists(db, Format("SELECT name FROM sqlite_master WHERE type='table' and name='%s'",
                              name.c_str()));
}

// The old definition of an event or action box lacked the format field that newer ones start
// with; entries are separated by ";" and the definition follows the last comma.
std::string RewriteEntry(const std::string& entry) {
  size_t start = 0;
  while (start < entry.size() && std::isspace(static_cast<unsigned char>(entry[start]))) ++start;
  const std::string_view body(entry.data() + start, entry.size() - start);
  const bool box = body.rfind("uml_event", 0) == 0 || body.rfind("uml_action", 0) == 0;
  const size_t comma = entry.rfind(',');
  if (!box || comma == std::string::npos) return entry;
  const std::string definition = entry.substr(comma + 1);
  if (definition.empty() || definition.rfind("0|", 0) == 0) return entry;
  return entry.substr(0, comma + 1) + "0|" + definition;
}

constexpr const char* kIntermediateTests =
    "create table Tests(Id integer PRIMARY KEY AUTOINCREMENT, Title text default '', Fields text "
    "default '', Comment text default '', IdAnimal integer, ForecastDateAcq integer default 0, "
    "DateAcq integer default 0, DateAnalyse integer default 0, IdProtocol integer default -1, "
    "ParamsDetection text default '', Source text default '', ImgWidth integer default 0, "
    "ImgHeight integer default 0, Status integer default 0, Deleted integer default 0, Scale real "
    "default 0, InfosAnalyse text default '', AdjustArena text default '', Duration integer "
    "default 0, Distance real default 0, AverageSpeed real default 0, MaxSpeed real default 0, "
    "AverageAccel real default 0, MaxAccel real default 0, MaxRawSpeed real default 0, Inactive "
    "integer default 0, Color integer default -1)";

void CopyOldTest(SQLite::Database& db, const SQLite::Table& t) {
  const int id = t.GetId();
  std::vector<uint8_t> raw, points;
  db.ReadBlob(Format("select ListePoints from TestsOld where Id=%d", id), raw);
  db.ReadBlob(Format("select PointsAnalyse from TestsOld where Id=%d", id), points);
  auto text = [&t](const char* column) { return SqlQuote(t.GetText(column)); };
  db.Execute(Format(
      "Insert into Tests (Id, Title, Fields, Comment, IdAnimal, ForecastDateAcq, DateAcq, "
      "DateAnalyse, IdProtocol, ParamsDetection, Source, ImgWidth, ImgHeight, Status, Deleted, "
      "Scale, InfosAnalyse, AdjustArena, Duration, Distance, AverageSpeed , MaxSpeed, "
      "AverageAccel, MaxAccel, MaxRawSpeed, Inactive, Color) values (%d,'%s','%s','%s',%d,0,%lld,"
      "%lld,%d,'%s','%s',%d,%d,%d,%d,%f,'%s','%s',%d,%f,%f,%f,%f,%f,%f,%d,%d)",
      id, text("Title").c_str(), text("Fields").c_str(), text("Comment").c_str(),
      t.GetInt("IdAnimal"), static_cast<long long>(t.GetInt64("DateAcq")),
      static_cast<long long>(t.GetInt64("DateAnalyse")), t.GetInt("IdProtocol"),
      text("ParamsDetection").c_str(), text("Source").c_str(), t.GetInt("ImgWidth"),
      t.GetInt("ImgHeight"), t.GetInt("Status"), t.GetInt("Deleted"), t.GetDouble("Scale"),
      text("InfosAnalyse").c_str(), text("AdjustArena").c_str(), t.GetInt("Duration"),
      t.GetDouble("Distance"), t.GetDouble("AverageSpeed"), t.GetDouble("MaxSpeed"),
      t.GetDouble("AverageAccel"), t.GetDouble("MaxAccel"), 0.0, 0, t.GetInt("Color")));
  db.Execute(Format("insert into TestsPoints (Id, ListePoints, PointsAnalyse) values (%d, NULL, "
                    "NULL)",
                    id));
  if (!raw.empty()) {
    db.WriteBlob(Format("update TestsPoints set ListePoints=? where Id=%d", id), raw.data(),
                 raw.size());
  }
  if (!points.empty()) {
    db.WriteBlob(Format("update TestsPoints set PointsAnalyse=? where Id=%d", id), points.data(),
                 points.size());
  }
}

}  // namespace

void ConvertPerTestTables(Run& run) {
  SQLite::Database& db = run.db;
  const std::vector<int> ids = QueryInts(db, "select Id from Tests");
  if (ids.empty()) return;
  std::vector<int> withTable;
  for (int id : ids) {
    if (TableExists(db, Format("Test_%d", id))) withTable.push_back(id);
  }
  run.Start(static_cast<int>(withTable.size()));
  for (int id : withTable) {
    if (run.Failed()) return;
    const std::string table = Format("Test_%d", id);
    const std::vector<uint8_t> blob = PointsOfOldTable(db, table);
    if (!blob.empty()) {
      db.WriteBlob(Format("update Tests set PointsAnalyse=? where Id=%d", id), blob.data(),
                   blob.size());
    }
    db.Execute(Format("Drop table if exists %s", table.c_str()));
    run.Advance();
  }
}

std::string RewriteDiagramText(const std::string& diagram) {
  std::string rewritten;
  size_t start = 0;
  while (start <= diagram.size()) {
    size_t end = diagram.find(';', start);
    if (end == std::string::npos) end = diagram.size();
    rewritten += RewriteEntry(diagram.substr(start, end - start));
    if (end < diagram.size()) rewritten += ';';
    start = end + 1;
  }
  return rewritten;
}

void RewriteDiagrams(Run& run) {
  SQLite::TablePtr table = run.db.GetTable("select Id,Diagram from Protocols");
  if (!table || !table->MoveFirst()) return;
  do {
    const std::string diagram = table->GetText("Diagram");
    const std::string rewritten = RewriteDiagramText(diagram);
    if (rewritten == diagram) continue;
    run.db.Execute(Format("update Protocols set Diagram='%s' where Id=%d",
                          SqlQuote(rewritten).c_str(), table->GetId()));
  } while (!run.Failed() && table->MoveNext());
}

void RebuildTests(Run& run) {
  SQLite::Database& db = run.db;
  const int count = QueryInt(db, "select COUNT(*) from Tests");
  // The table is rebuilt even without tests: later steps and the record code need its newer
  // columns and the TestsPoints table.
  if (count > 0) run.Start(count);
  db.Execute("alter table Tests rename to TestsOld");
  db.Execute(kIntermediateTests);
  db.Execute("create table TestsPoints(Id integer PRIMARY KEY, ListePoints blob, PointsAnalyse "
             "blob)");
  if (count > 0 && !run.Failed()) {
    SQLite::TablePtr old = db.GetTable(
        "select Id, Title, Fields, Comment, IdAnimal, DateAcq, DateAnalyse, IdProtocol, "
        "ParamsDetection, Source, ImgWidth, ImgHeight, Status, End, Deleted, Scale, InfosAnalyse, "
        "AdjustArena, Duration, Distance, AverageSpeed , MaxSpeed, AverageAccel, MaxAccel, Color "
        "from TestsOld order by Id asc");
    if (old && old->MoveFirst()) {
      do {
        CopyOldTest(db, *old);
        run.Advance();
      } while (!run.Failed() && old->MoveNext());
    }
  }
  if (!run.Failed()) db.Execute("Drop table TestsOld");
}

}  // namespace vx::upgrade
