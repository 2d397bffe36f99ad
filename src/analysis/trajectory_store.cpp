#include "analysis/trajectory_store.h"

#include "analysis/behavior_blob.h"
#include "analysis/trajectory_blob.h"
#include "base/text.h"
#include "db/experiment_db.h"

namespace vx {

namespace {

bool TestsPointsRowExists(SQLite::Database& db, int testId) {
  SQLite::TablePtr row = db.GetTable(Format("select Id from TestsPoints where Id=%d", testId));
  return row && row->GetRowCount() > 0;
}

// A blob column of a test's TestsPoints row; an empty buffer stores NULL.
void StoreTestsPointsBlob(SQLite::Database& db, const char* column, int testId,
                          const std::vector<uint8_t>& blob) {
  if (blob.empty()) {
    db.Execute(Format("update TestsPoints set %s=NULL where Id=%d", column, testId));
  } else {
    db.WriteBlob(Format("update TestsPoints set %s=? where Id=%d", column, testId), blob.data(),
                 blob.size());
  }
}

// One write operation in the calling order of db/experiment_db.h.
template <typename Statements>
bool RunWriteTransaction(ExperimentFile& file, Statements statements) {
  SQLite::Database db;
  if (!OpenExperimentDb(db, file)) return false;
  MarkWriting(file);
  db.BeginTransaction();
  statements(db);
  return EndWriteTransaction(db, file);
}

}  // namespace

void WriteTestPoints(SQLite::Database& db, int testId, const Trajectory& trajectory,
                     bool headDetection) {
  const int head = headDetection ? 1 : 0;
  if (!TestsPointsRowExists(db, testId)) {
    db.Execute(Format("insert into TestsPoints (Id, HeadDetection, PointsAnalyse) "
                      "values (%d, %d, NULL)", testId, head));
  } else {
    db.Execute(Format("update TestsPoints set HeadDetection=%d where Id=%d", head, testId));
  }
  StoreTestsPointsBlob(db, "PointsAnalyse", testId, WritePoints(trajectory, headDetection));
}

void WriteTestBehaviors(SQLite::Database& db, int testId, const RecordedBehaviors& behaviors) {
  if (!TestsPointsRowExists(db, testId)) {
    db.Execute(Format("insert into TestsPoints (Id, Behaviors) values (%d, NULL)", testId));
  }
  StoreTestsPointsBlob(db, "Behaviors", testId, WriteBehaviors(behaviors));
}

void WriteVideoFrameTimes(SQLite::Database& db, int videoId, const FrameTimes& frameTimes) {
  const std::vector<uint8_t> blob = WriteFrameTimes(frameTimes);
  // A null pointer binds NULL: a video without frames has no times.
  db.WriteBlob(Format("update Videos set ListePoints=? where Id=%d", videoId),
               blob.empty() ? nullptr : blob.data(), blob.size());
}

void ClearTestAnalyses(SQLite::Database& db, const std::vector<int>& testIds) {
  if (testIds.empty()) return;
  db.Execute(Format("update TestsPoints set PointsAnalyse=NULL, Behaviors=NULL where Id in %s",
                    SqlIdList(testIds).c_str()));
}

void ReadTestTrajectoryBlobs(SQLite::Database& db, int testId, int videoId,
                             TestTrajectoryBlobs& blobs) {
  db.ReadBlob(Format("select Behaviors from TestsPoints where Id=%d", testId), blobs.behaviors);
  SQLite::TablePtr head =
      db.GetTable(Format("select HeadDetection from TestsPoints where Id=%d", testId));
  blobs.headDetection = head && head->GetRowCount() > 0 && head->GetBool("HeadDetection");
  db.ReadBlob(Format("select ListePoints from Videos where Id=%d", videoId), blobs.frameTimes);
  db.ReadBlob(Format("select PointsAnalyse from TestsPoints where Id=%d", testId), blobs.points);
}

bool DecodeTestTrajectory(const TestTrajectoryBlobs& blobs, int protocolId,
                          Trajectory& trajectory, TrajectoryLoadInfo* info) {
  const bool pointsValid =
      ReadTrajectory(trajectory, blobs.points, blobs.frameTimes, blobs.headDetection);
  const bool behaviorsValid = ReadBehaviors(trajectory.behaviors, blobs.behaviors, protocolId);
  if (info != nullptr) {
    info->headDetection = blobs.headDetection;
    info->pointsCorrupt = !pointsValid;
    info->behaviorsCorrupt = !behaviorsValid;
  }
  return pointsValid && behaviorsValid;
}

bool SaveTestPoints(ExperimentFile& file, int testId, const Trajectory& trajectory,
                    bool headDetection) {
  return RunWriteTransaction(
      file, [&](SQLite::Database& db) { WriteTestPoints(db, testId, trajectory, headDetection); });
}

bool SaveTestBehaviors(ExperimentFile& file, int testId, const RecordedBehaviors& behaviors) {
  return RunWriteTransaction(
      file, [&](SQLite::Database& db) { WriteTestBehaviors(db, testId, behaviors); });
}

bool SaveVideoFrameTimes(ExperimentFile& file, int videoId, const FrameTimes& frameTimes) {
  return RunWriteTransaction(
      file, [&](SQLite::Database& db) { WriteVideoFrameTimes(db, videoId, frameTimes); });
}

bool ClearAnalyses(ExperimentFile& file, const std::vector<int>& testIds) {
  return RunWriteTransaction(file,
                             [&](SQLite::Database& db) { ClearTestAnalyses(db, testIds); });
}

bool LoadTestTrajectory(ExperimentFile& file, const CInfosTest& test, Trajectory& trajectory,
                        TrajectoryLoadInfo* info) {
  TestTrajectoryBlobs blobs;
  {
    SQLite::Database db;
    if (!OpenExperimentDb(db, file)) return false;
    db.BeginTransaction();
    ReadTestTrajectoryBlobs(db, test.id, test.source, blobs);
    if (!EndReadTransaction(db, file)) return false;
  }
  trajectory.Clear();
  trajectory.SetScale(test.scale);
  DecodeTestTrajectory(blobs, test.idProtocol, trajectory, info);
  return true;
}

}  // namespace vx
