#include "db/test_store.h"

#include <algorithm>

#include "base/messages.h"
#include "base/text.h"
#include "db/experiment_db.h"
#include "db/field_values.h"
#include "db/sql_query.h"

namespace vx {

namespace {

constexpr const char* kLoadOneColumns =
    "Id,Title,Fields,Comment,IdAnimal,ForecastDateAcq,DateAnalyse,InfosAnalyse,IdProtocol,"
    "ParamsDetection,Source,Status,Deleted,Scale,AdjustArena,Duration,Distance,AverageSpeed,"
    "MaxSpeed,MaxRawSpeed,AverageAccel,MaxAccel,Inactive,Color,IdArena";

void WriteTest(SQLite::Database& db, CInfosTest& t, const std::vector<CField>& fields,
               bool resultsAffected) {
  const std::string title = SqlQuote(t.title), comment = SqlQuote(t.comment),
                    values = SqlQuote(FormatFieldValues(t.fields, fields)),
                    params = SqlQuote(t.paramsDetection), adjust = SqlQuote(t.adjustArena);
  if (t.id != -1 && RowExists(db, Format("select Id from Tests where Id=%d", t.id))) {
    db.Execute(Format("update Tests set Title='%s', Comment='%s', Fields='%s', IdAnimal=%d, "
                      "ForecastDateAcq=%lld, DateAnalyse=%lld, Source=%d, ParamsDetection='%s', "
                      "IdProtocol=%d, Status=%d, Deleted=0, Color=%d, AdjustArena='%s', "
                      "IdArena=%d where Id=%d",
                      title.c_str(), comment.c_str(), values.c_str(), t.idAnimal,
                      static_cast<long long>(t.forecastDateAcq),
                      static_cast<long long>(t.dateAnalyse), t.source, params.c_str(),
                      t.idProtocol, t.status, t.color, adjust.c_str(), t.idArena, t.id));
  } else {
    db.Execute(Format("Insert into Tests (Title, Comment, Fields, IdAnimal, ForecastDateAcq, "
                      "DateAnalyse, Source, ParamsDetection, IdProtocol, Status, Color, "
                      "AdjustArena, IdArena) values ('%s','%s','%s',%d,%lld,%lld,%d,'%s',%d,%d,"
                      "%d,'%s',%d)",
                      title.c_str(), comment.c_str(), values.c_str(), t.idAnimal,
                      static_cast<long long>(t.forecastDateAcq),
                      static_cast<long long>(t.dateAnalyse), t.source, params.c_str(),
                      t.idProtocol, t.status, t.color, adjust.c_str(), t.idArena));
    t.id = InsertedId(db);
  }
  if (resultsAffected && db.lastError() == SQLite::kOk) {
    db.Execute(Format("delete from ReportsData where IdTest=%d", t.id));
  }
}

void ReadTestList(SQLite::Database& db, const std::string& sql, const std::vector<CField>& fields,
                  std::vector<CInfosTest>& tests) {
  ReadRecords(db, sql, tests,
              [&fields](const SQLite::Table& row) { return TestFromRow(row, fields); });
}

}  // namespace

CInfosTest TestFromRow(const SQLite::Table& row, const std::vector<CField>& fields) {
  CInfosTest t;
  t.id = row.GetId();
  t.title = row.GetText("Title");
  t.fields = ParseFieldValues(row.GetText("Fields"), fields);
  t.comment = row.GetText("Comment");
  t.idAnimal = row.HasColumn("IdAnimal") && *row.GetValue("IdAnimal") != '\0'
                   ? row.GetInt("IdAnimal")
                   : -1;
  t.forecastDateAcq = row.GetInt64("ForecastDateAcq");
  t.dateAcq = row.GetInt64("DateAcq");
  t.dateAnalyse = row.GetInt64("DateAnalyse");
  t.infosAnalyse = row.GetText("InfosAnalyse");
  t.idProtocol = row.HasColumn("IdProtocol") ? row.GetInt("IdProtocol") : -1;
  t.paramsDetection = row.GetText("ParamsDetection");
  // A Source left empty (or as an old video name) by an upgrade means "no video".
  int source = -1;
  t.source = TryParseInt(row.GetText("Source"), source) ? source : -1;
  t.status = row.GetInt("Status");
  t.scale = row.GetDouble("Scale");
  t.adjustArena = row.GetText("AdjustArena");
  t.duration = row.GetInt("Duration");
  t.distance = row.GetDouble("Distance");
  t.averageSpeed = row.GetDouble("AverageSpeed");
  t.maxSpeed = row.GetDouble("MaxSpeed");
  t.maxRawSpeed = row.GetDouble("MaxRawSpeed");
  t.averageAccel = row.GetDouble("AverageAccel");
  t.maxAccel = row.GetDouble("MaxAccel");
  t.inactive = row.GetInt("Inactive");
  t.color = row.HasColumn("Color") ? row.GetInt("Color") : -1;
  t.idArena = row.HasColumn("IdArena") ? row.GetInt("IdArena") : -1;
  return t;
}

bool ReadTest(SQLite::Database& db, int id, const std::vector<CField>& fields, CInfosTest& test) {
  SQLite::TablePtr row =
      db.GetTable(Format("select %s from Tests where Id=%d", kLoadOneColumns, id));
  if (!row || row->GetRowCount() == 0) return false;
  test = TestFromRow(*row, fields);
  test.headDetection =
      QueryInt(db, Format("select HeadDetection from TestsPoints where Id=%d", id)) != 0;
  return true;
}

void ReadAllTests(SQLite::Database& db, const std::vector<CField>& fields,
                  std::map<int, CInfosTest>& tests) {
  std::vector<CInfosTest> list;
  ReadTestList(db,
               "select Id,Title,Fields,Comment,IdAnimal,ForecastDateAcq,DateAcq,DateAnalyse,"
               "IdProtocol,Source,Status,InfosAnalyse,Deleted,Scale,AdjustArena,Duration,Distance,"
               "AverageSpeed,MaxSpeed,MaxRawSpeed,AverageAccel,MaxAccel,Inactive,Color,IdArena "
               "from Tests order by Id asc",
               fields, list);
  tests.clear();
  for (CInfosTest& test : list) tests[test.id] = std::move(test);
}

bool LoadTest(Experiment& experiment, int id, CInfosTest& test) {
  bool found = false;
  CInfosTest read;
  const bool ok = RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
    found = ReadTest(db, id, experiment.fields, read);
  });
  if (!ok || !found) return false;
  test = std::move(read);
  return true;
}

bool LoadLastTest(Experiment& experiment, CInfosTest& test) {
  std::vector<CInfosTest> list;
  const bool ok = RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
    ReadTestList(db, "select * from Tests order by Id desc limit 1", experiment.fields, list);
  });
  if (!ok || list.empty()) return false;
  test = std::move(list.front());
  return true;
}

bool LoadTestsOfVideo(Experiment& experiment, int videoId, std::vector<CInfosTest>& tests) {
  return RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
    ReadTestList(db, Format("select %s from Tests where Source=%d", kLoadOneColumns, videoId),
                 experiment.fields, tests);
  });
}

bool SaveTest(Experiment& experiment, CInfosTest& test, bool resultsAffected) {
  CInfosTest written = test;
  if (!RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
        WriteTest(db, written, experiment.fields, resultsAffected);
      })) {
    return false;
  }
  test = std::move(written);
  experiment.Remember(test);
  return true;
}

bool ExcludeTests(Experiment& experiment, const std::vector<int>& ids) {
  if (ids.empty()) {
    if (Notifier* notifier = experiment.file.services.notifier; notifier != nullptr) {
      notifier->Notify(msg::kSelectTestToExclude, MessageText(msg::kSelectTestToExclude),
                       MessageIcon::Exclamation);
    }
    return false;
  }
  const std::string list = SqlIdList(ids);
  const bool ok = RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    db.Execute(Format("update Tests set Status=1 where Id in %s", list.c_str()));
    db.Execute(Format("delete from ReportsData where IdTest in %s", list.c_str()));
  });
  if (!ok) return false;
  for (int id : ids) {
    if (CInfosTest* test = experiment.FindTest(id)) test->status = 1;
  }
  return true;
}

bool DeleteTest(Experiment& experiment, int id) {
  const bool ok = RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    db.Execute(Format("delete from Tests where Id=%d", id));
    db.Execute(Format("delete from TestsPoints where Id=%d", id));
    db.Execute(Format("delete from ReportsData where IdTest=%d", id));
  });
  if (ok) {
    experiment.tests.erase(id);
    experiment.RelinkVideoTests();
  }
  return ok;
}

bool DeleteTests(Experiment& experiment, const std::vector<int>& ids) {
  const std::string list = SqlIdList(ids);
  const bool ok = RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    db.Execute(Format("delete from Tests where Id in %s", list.c_str()));
    db.Execute(Format("delete from TestsPoints where Id in %s", list.c_str()));
    db.Execute(Format("delete from ReportsData where IdTest in %s", list.c_str()));
  });
  if (ok) {
    for (int id : ids) experiment.tests.erase(id);
    experiment.RelinkVideoTests();
  }
  return ok;
}

int CountAnalysedTests(Experiment& experiment, int protocolId) {
  return QuerySingleInt(experiment.file, Format("select COUNT(*) from Tests where IdProtocol=%d "
                                                "and DateAnalyse<>0",
                                                protocolId));
}

}  // namespace vx
