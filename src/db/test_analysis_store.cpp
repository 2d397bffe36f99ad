#include "db/test_analysis_store.h"

#include "base/text.h"
#include "db/experiment_db.h"
#include "db/sql_query.h"
#include "db/test_store.h"

namespace vx {

namespace {

void ReadBlobs(SQLite::Database& db, int testId, int videoId, TestBlobs& blobs) {
  blobs.headDetection =
      QueryInt(db, Format("select HeadDetection from TestsPoints where Id=%d", testId)) != 0;
  db.ReadBlob(Format("select PointsAnalyse from TestsPoints where Id=%d", testId), blobs.points);
  db.ReadBlob(Format("select Behaviors from TestsPoints where Id=%d", testId), blobs.behaviors);
  db.ReadBlob(Format("select ListePoints from Videos where Id=%d", videoId), blobs.frameTimes);
}

// Sets a blob column, or NULL for no bytes.
void WriteBlobOrNull(SQLite::Database& db, const char* column, const char* table, int id,
                     const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) {
    db.Execute(Format("update %s set %s=NULL where Id=%d", table, column, id));
  } else {
    db.WriteBlob(Format("update %s set %s=? where Id=%d", table, column, id), bytes.data(),
                 bytes.size());
  }
}

void WriteAnalysis(SQLite::Database& db, const CInfosTest& t, const std::vector<uint8_t>& points,
                   bool withDetectionSettings) {
  if (withDetectionSettings) {
    db.Execute(Format("update Tests set ParamsDetection='%s'where Id=%d",
                      SqlQuote(t.paramsDetection).c_str(), t.id));
  }
  const int head = t.headDetection ? 1 : 0;
  if (RowExists(db, Format("select Id from TestsPoints where Id=%d", t.id))) {
    db.Execute(Format("update TestsPoints set HeadDetection=%d where Id=%d", head, t.id));
  } else {
    db.Execute(Format("insert into TestsPoints (Id, HeadDetection, PointsAnalyse) values (%d, %d, "
                      "NULL)",
                      t.id, head));
  }
  WriteBlobOrNull(db, "PointsAnalyse", "TestsPoints", t.id, points);
  db.Execute(Format("update Tests set DateAnalyse=%lld, Scale=%f, InfosAnalyse='%s', Duration=%d, "
                    "Distance=%f, AverageSpeed=%f, MaxSpeed=%f, AverageAccel=%f, MaxAccel=%f, "
                    "Inactive=%d where Id=%d",
                    static_cast<long long>(t.dateAnalyse), t.scale,
                    SqlQuote(t.infosAnalyse).c_str(), t.duration, t.distance, t.averageSpeed,
                    t.maxSpeed, t.averageAccel, t.maxAccel, t.inactive, t.id));
  // The analysis statement leaves the raw maximum out; without it a fresh analysis would show
  // another summary than the recomputation of the same trajectory.
  db.Execute(Format("update Tests set MaxRawSpeed=%f where Id=%d", t.maxRawSpeed, t.id));
  db.Execute(Format("delete from ReportsData where IdTest=%d", t.id));
}

}  // namespace

bool LoadTestBlobs(Experiment& experiment, const CInfosTest& test, TestBlobs& blobs) {
  std::map<int, TestBlobs> read;
  if (!LoadTestsBlobs(experiment, {&test}, read)) return false;
  blobs = std::move(read[test.id]);
  return true;
}

bool LoadTestsBlobs(Experiment& experiment, const std::vector<const CInfosTest*>& tests,
                    std::map<int, TestBlobs>& blobs) {
  std::map<int, TestBlobs> read;
  if (!RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
        for (const CInfosTest* test : tests) ReadBlobs(db, test->id, test->source, read[test->id]);
      })) {
    return false;
  }
  blobs = std::move(read);
  return true;
}

bool SaveAnalysis(Experiment& experiment, CInfosTest& test, const std::vector<uint8_t>& points,
                  bool withDetectionSettings, int lockWaitMs) {
  if (!RunPatientWriteTransaction(experiment.file, lockWaitMs, [&](SQLite::Database& db) {
        WriteAnalysis(db, test, points, withDetectionSettings);
      })) {
    return false;
  }
  experiment.Remember(test);
  return true;
}

bool ResetAnalysis(Experiment& experiment, int testId) {
  const bool ok = RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    db.Execute(Format("update Tests set DateAnalyse=0, InfosAnalyse='', Duration=0, Distance=0, "
                      "AverageSpeed=0, MaxSpeed=0, MaxRawSpeed=0, AverageAccel=0, MaxAccel=0, "
                      "Inactive=0 where Id=%d",
                      testId));
    db.Execute(Format("update TestsPoints set PointsAnalyse=NULL where Id=%d", testId));
    db.Execute(Format("delete from ReportsData where IdTest=%d", testId));
  });
  if (ok) {
    if (CInfosTest* test = experiment.FindTest(testId)) test->ClearAnalysis();
  }
  return ok;
}

bool SaveBehaviors(Experiment& experiment, int testId, const std::vector<uint8_t>& behaviors,
                   const std::vector<int>& reportIds) {
  return RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    if (!RowExists(db, Format("select Id from TestsPoints where Id=%d", testId))) {
      db.Execute(Format("insert into TestsPoints (Id, Behaviors) values (%d, NULL)", testId));
    }
    WriteBlobOrNull(db, "Behaviors", "TestsPoints", testId, behaviors);
    db.Execute(Format("delete from ReportsData where IdTest=%d AND IdReport IN %s", testId,
                      SqlIdList(reportIds).c_str()));
  });
}

bool HasRecordedBehaviors(Experiment& experiment, int testId) {
  bool found = false;
  const bool ok = RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
    found = RowExists(db, Format("select Id from TestsPoints where Id=%d AND LENGTH(Behaviors) "
                                 "IS NOT NULL",
                                 testId));
  });
  return ok && found;
}

bool SaveDetectionSettings(Experiment& experiment, int testId, const std::string& settings) {
  const bool ok = RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    db.Execute(Format("update Tests set ParamsDetection='%s'where Id=%d",
                      SqlQuote(settings).c_str(), testId));
  });
  if (ok) {
    if (CInfosTest* test = experiment.FindTest(testId)) test->paramsDetection = settings;
  }
  return ok;
}

namespace {
bool ReadOneText(Experiment& experiment, const std::string& sql, std::string& value) {
  bool found = false;
  std::string read;
  const bool ok = RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
    found = QueryText(db, sql, read);
  });
  if (!ok || !found) return false;
  value = read;
  return true;
}
}  // namespace

bool ReadDetectionSettings(Experiment& experiment, int testId, std::string& settings) {
  return ReadOneText(experiment, Format("Select ParamsDetection from Tests where Id=%d", testId),
                     settings);
}

bool LatestDetectionSettingsOfAnimal(Experiment& experiment, int animalId, std::string& settings) {
  return ReadOneText(experiment,
                     Format("Select ParamsDetection from Tests where IdAnimal=%d order by "
                            "DateAnalyse desc, Id desc limit 1",
                            animalId),
                     settings);
}

bool SaveArenaAdjustment(Experiment& experiment, int testId, const std::string& adjustArena,
                         int idArena) {
  bool found = false;
  const bool ok = RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    found = RowExists(db, Format("select Id from Tests where Id=%d", testId));
    if (!found) return;
    db.Execute(Format("update Tests set AdjustArena='%s', IdArena=%d where Id=%d",
                      SqlQuote(adjustArena).c_str(), idArena, testId));
    db.Execute(Format("delete from ReportsData where IdTest=%d", testId));
  });
  if (!ok || !found) return false;
  if (CInfosTest* test = experiment.FindTest(testId)) {
    test->adjustArena = adjustArena;
    test->idArena = idArena;
  }
  return true;
}

bool RecomputeSummaries(Experiment& experiment, int protocolId, bool inactivityOnly,
                        const SummaryComputer& compute, const CountProgress& progress,
                        const std::function<void(SQLite::Database& db)>& firstStatements) {
  std::vector<std::pair<int, TestSummary>> written;
  const bool ok = RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    if (firstStatements) firstStatements(db);
    const std::string where =
        protocolId < 0 ? std::string("where DateAnalyse<>0")
                       : Format("where IdProtocol=%d AND DateAnalyse<>0", protocolId);
    const int total =
        protocolId < 0
            ? QueryInt(db, "select COUNT(*) from Tests where DateAnalyse<>0")
            : QueryInt(db, Format("select COUNT(*) from Tests where IdProtocol=%d and "
                                  "DateAnalyse<>0",
                                  protocolId));
    SQLite::TablePtr table = db.GetTable(
        Format("select Id,Title,Fields,Comment,IdAnimal,DateAnalyse,IdProtocol,Source,Status,"
               "Deleted,Scale,AdjustArena,IdArena from Tests %s order by Id asc",
               where.c_str()));
    if (!table || !table->MoveFirst()) return;
    int done = 0;
    do {
      const CInfosTest test = TestFromRow(*table, experiment.fields);
      TestBlobs blobs;
      ReadBlobs(db, test.id, test.source, blobs);
      TestSummary summary;
      if (compute(test, blobs, summary)) {
        if (inactivityOnly) {
          db.Execute(Format("update Tests set Inactive=%d where Id=%d", summary.inactive, test.id));
        } else {
          db.Execute(Format("update Tests set Distance=%f, AverageSpeed=%f, MaxSpeed=%f, "
                            "MaxRawSpeed=%f, AverageAccel=%f, MaxAccel=%f, Inactive=%d where Id=%d",
                            summary.distance, summary.averageSpeed, summary.maxSpeed,
                            summary.maxRawSpeed, summary.averageAccel, summary.maxAccel,
                            summary.inactive, test.id));
        }
        written.emplace_back(test.id, summary);
      }
      // What changed the summary (smoothing, inactivity delay) changes the reports too.
      db.Execute(Format("delete from ReportsData where IdTest=%d", test.id));
      if (progress) progress(++done, total);
    } while (db.lastError() == SQLite::kOk && table->MoveNext());
  });
  if (!ok) return false;
  for (const auto& [id, summary] : written) {
    CInfosTest* test = experiment.FindTest(id);
    if (test == nullptr) continue;
    test->inactive = summary.inactive;
    if (inactivityOnly) continue;
    test->distance = summary.distance;
    test->averageSpeed = summary.averageSpeed;
    test->maxSpeed = summary.maxSpeed;
    test->maxRawSpeed = summary.maxRawSpeed;
    test->averageAccel = summary.averageAccel;
    test->maxAccel = summary.maxAccel;
  }
  return true;
}

}  // namespace vx
