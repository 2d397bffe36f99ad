#include "db/recorded_video_store.h"

#include "base/text.h"
#include "db/experiment_db.h"
#include "db/sql_query.h"
#include "db/video_store.h"

namespace vx {

bool StoreRecordedVideo(Experiment& experiment, CVideoFile& video, int testId, int64_t dateAcq) {
  CVideoFile written = video;
  bool testFound = false;
  const bool ok = RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    testFound = RowExists(db, Format("select Id from Tests where Id=%d", testId));
    if (!testFound) return;
    InsertVideoRow(db, written, false);
    db.Execute(Format("update Tests set Source=%d, DateAcq=%lld, DateAnalyse=0, InfosAnalyse='', "
                      "Duration=0, Distance=0, AverageSpeed=0, MaxSpeed=0, MaxRawSpeed=0, "
                      "AverageAccel=0, MaxAccel=0, Inactive=0 where Id=%d",
                      written.id, static_cast<long long>(dateAcq), testId));
    db.Execute(Format("update TestsPoints set PointsAnalyse=NULL, Behaviors=NULL where Id=%d",
                      testId));
    db.Execute(Format("delete from ReportsData where IdTest=%d", testId));
  });
  if (!ok || !testFound) return false;
  video = std::move(written);
  video.testIds = {testId};
  experiment.Remember(video);
  if (CInfosTest* test = experiment.FindTest(testId)) {
    test->source = video.id;
    test->dateAcq = dateAcq;
    test->ClearAnalysis();
  }
  experiment.RelinkVideoTests();
  return true;
}

bool VideoFileInUse(Experiment& experiment, const std::string& file) {
  bool used = false;
  RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
    used = RowExists(db, Format("select Id from Videos where File='%s'", SqlQuote(file).c_str()));
  });
  return used;
}

}  // namespace vx
