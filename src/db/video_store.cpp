#include "db/video_store.h"

#include <algorithm>
#include <set>

#include "base/text.h"
#include "db/experiment_db.h"
#include "db/sql_query.h"

namespace vx {

namespace {

CVideoFile VideoFromRow(const SQLite::Table& row) {
  CVideoFile video;
  video.id = row.GetId();
  video.name = row.GetText("Name");
  video.notes = row.GetText("Notes");
  video.file = row.GetText("File");
  video.idProtocol = row.GetInt("IdProtocol");
  video.status = row.GetInt("Status");
  video.dateAcq = row.GetInt64("DateAcq");
  video.nbFrames = row.GetInt("NbFrames");
  video.duration = row.GetInt("Duration");
  video.width = row.GetInt("Width");
  video.height = row.GetInt("Height");
  video.infos = ParseVideoReadInfo(row.GetText("Infos"));
  return video;
}

void WriteFrameTimes(SQLite::Database& db, const CVideoFile& video) {
  if (video.listePoints.empty()) return;
  db.WriteBlob(Format("update Videos set ListePoints=? where Id=%d", video.id),
               video.listePoints.data(), video.listePoints.size());
}

std::vector<int> Difference(const std::vector<int>& a, const std::set<int>& b) {
  std::vector<int> result;
  for (int id : a) {
    if (!b.contains(id)) result.push_back(id);
  }
  return result;
}

// The tests whose analysis a new test list invalidates, and those that newly use the video.
struct TestListChange {
  std::vector<int> lose;   // no longer listed, or taken from another video
  std::vector<int> gain;   // newly listed
};

TestListChange ApplyTestList(SQLite::Database& db, const CVideoFile& video) {
  TestListChange change;
  const std::vector<int> before =
      QueryInts(db, Format("Select Id From Tests where Source=%d", video.id));
  const std::set<int> beforeSet(before.begin(), before.end());
  const std::set<int> afterSet(video.testIds.begin(), video.testIds.end());
  if (beforeSet == afterSet) return change;

  change.lose = Difference(before, afterSet);
  if (!video.testIds.empty()) {
    for (int id : QueryInts(db, Format("Select Id From Tests where Source<>%d and Source<>-1 and "
                                       "Id In %s",
                                       video.id, SqlIdList(video.testIds).c_str()))) {
      change.lose.push_back(id);
    }
  }
  change.gain = Difference(video.testIds, beforeSet);
  if (!change.lose.empty()) {
    const std::string list = SqlIdList(change.lose);
    db.Execute(Format("update Tests set Source=-1, DateAnalyse=0, InfosAnalyse='', Duration=0, "
                      "Distance=0, AverageSpeed=0, MaxSpeed=0, MaxRawSpeed=0, AverageAccel=0, "
                      "MaxAccel=0, Inactive=0 where Id in %s",
                      list.c_str()));
    db.Execute(Format("update TestsPoints set PointsAnalyse=NULL, Behaviors=NULL where Id in %s",
                      list.c_str()));
  }
  if (!change.gain.empty()) {
    db.Execute(Format("update Tests set Source=%d where Id in %s", video.id,
                      SqlIdList(change.gain).c_str()));
  }
  std::vector<int> affected = change.lose;
  affected.insert(affected.end(), change.gain.begin(), change.gain.end());
  const std::vector<int> reports = QueryInts(db, "select Id from Results");
  db.Execute(Format("delete from ReportsData where IdTest IN %s AND IdReport IN %s",
                    SqlIdList(affected).c_str(), SqlIdList(reports).c_str()));
  return change;
}

void WriteVideo(SQLite::Database& db, CVideoFile& v, TestListChange& change) {
  if (v.id != -1 && RowExists(db, Format("select Id from Videos where Id=%d", v.id))) {
    db.Execute(Format("update Videos set Name = '%s', Notes = '%s', File = '%s', IdProtocol = %d, "
                      "Status = %d, DateAcq = %lld, NbFrames = %d, Duration = %d, Width = %d, "
                      "Height = %d where Id = %d",
                      SqlQuote(v.name).c_str(), SqlQuote(v.notes).c_str(),
                      SqlQuote(v.file).c_str(), v.idProtocol, v.status,
                      static_cast<long long>(v.dateAcq), v.nbFrames, v.duration, v.width,
                      v.height, v.id));
    std::vector<uint8_t> stored;
    db.ReadBlob(Format("select ListePoints from Videos where Id=%d", v.id), stored);
    if (!v.listePoints.empty() && v.listePoints != stored) {
      // The tests' points are timed by these frame times: their results change with them.
      db.Execute(Format("delete from ReportsData where IdTest in (select Id from Tests where "
                        "Source=%d)",
                        v.id));
    }
    WriteFrameTimes(db, v);
  } else {
    InsertVideoRow(db, v, false);
  }
  if (db.lastError() == SQLite::kOk) change = ApplyTestList(db, v);
}

}  // namespace

void InsertVideoRow(SQLite::Database& db, CVideoFile& v, bool withId) {
  const std::string name = SqlQuote(v.name), notes = SqlQuote(v.notes), file = SqlQuote(v.file),
                    infos = SqlQuote(FormatVideoReadInfo(v.infos));
  if (withId) {
    db.Execute(Format("insert into Videos (Id,Name,Notes,File,IdProtocol,Status,DateAcq,NbFrames,"
                      "Duration,Width,Height,ListePoints,Infos)Values (%d,'%s','%s','%s',%d,%d,"
                      "%lld,%d,%d,%d,%d,NULL,'%s')",
                      v.id, name.c_str(), notes.c_str(), file.c_str(), v.idProtocol, v.status,
                      static_cast<long long>(v.dateAcq), v.nbFrames, v.duration, v.width,
                      v.height, infos.c_str()));
  } else {
    db.Execute(Format("insert into Videos (Name,Notes,File,IdProtocol,Status,DateAcq,NbFrames,"
                      "Duration,Width,Height,ListePoints,Infos)Values ('%s','%s','%s',%d,%d,%lld,"
                      "%d,%d,%d,%d,NULL,'%s')",
                      name.c_str(), notes.c_str(), file.c_str(), v.idProtocol, v.status,
                      static_cast<long long>(v.dateAcq), v.nbFrames, v.duration, v.width,
                      v.height, infos.c_str()));
    v.id = InsertedId(db);
  }
  if (db.lastError() == SQLite::kOk) WriteFrameTimes(db, v);
}

void ReadAllVideos(SQLite::Database& db, std::map<int, CVideoFile>& videos) {
  std::vector<CVideoFile> list;
  ReadRecords(db,
              "select Id,Name,Notes,File,IdProtocol,Status,DateAcq,NbFrames,Duration,Width,"
              "Height,Infos from Videos order by Id asc",
              list, VideoFromRow);
  videos.clear();
  for (CVideoFile& video : list) videos[video.id] = std::move(video);
  // The frame times are read with each video so that the in-memory record is complete.
  for (auto& [id, video] : videos) {
    db.ReadBlob(Format("select ListePoints from Videos where Id=%d", id), video.listePoints);
  }
}

bool LoadVideo(Experiment& experiment, int id, CVideoFile& video) {
  bool found = false;
  CVideoFile read;
  const bool ok = RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
    SQLite::TablePtr row =
        db.GetTable(Format("select * from Videos Where Id=%d order by Name asc", id));
    if (!row || row->GetRowCount() == 0) return;
    found = true;
    read = VideoFromRow(*row);
    db.ReadBlob(Format("select ListePoints from Videos where Id=%d", id), read.listePoints);
    read.testIds = QueryInts(db, Format("Select Id From Tests where Source=%d", id));
  });
  if (!ok || !found) return false;
  video = std::move(read);
  return true;
}

bool SaveVideo(Experiment& experiment, CVideoFile& video) {
  CVideoFile written = video;
  TestListChange change;
  if (!RunWriteTransaction(experiment.file,
                           [&](SQLite::Database& db) { WriteVideo(db, written, change); })) {
    return false;
  }
  video = std::move(written);
  for (int id : change.lose) {
    if (CInfosTest* test = experiment.FindTest(id)) {
      test->source = -1;
      test->ClearAnalysis();
    }
  }
  for (int id : change.gain) {
    if (CInfosTest* test = experiment.FindTest(id)) test->source = video.id;
  }
  experiment.Remember(video);
  experiment.RelinkVideoTests();
  return true;
}

bool InsertVideoWithId(Experiment& experiment, CVideoFile& video) {
  if (!RunWriteTransaction(experiment.file,
                           [&](SQLite::Database& db) { InsertVideoRow(db, video, true); })) {
    return false;
  }
  experiment.Remember(video);
  return true;
}

bool DeleteVideo(Experiment& experiment, int id) {
  return DeleteVideos(experiment, {id});
}

bool DeleteVideos(Experiment& experiment, const std::vector<int>& ids) {
  const bool ok = RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    if (ids.size() == 1) {
      db.Execute(Format("delete from Videos where Id=%d", ids.front()));
    } else {
      db.Execute(Format("delete from Videos where Id IN %s", SqlIdList(ids).c_str()));
    }
  });
  if (ok) {
    for (int id : ids) experiment.videos.erase(id);
  }
  return ok;
}

bool ListVideosByName(Experiment& experiment, std::vector<CVideoFile>& videos) {
  return RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
    ReadRecords(db, "select Id,Name, File, Status, DateAcq from Videos order by Name ASC", videos,
                VideoFromRow);
  });
}

std::string ResolveVideoPath(const ExperimentFile& file, const std::string& stored) {
  if (stored.empty() || stored.front() == '/') return stored;
  return file.CompanionFolder() + stored;
}

std::string StoredVideoPath(const ExperimentFile& file, const std::string& path) {
  const std::string folder = file.CompanionFolder();
  if (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0) {
    return path.substr(folder.size());
  }
  return path;
}

CVideoFile VideoRecordOf(const ExperimentFile& file, const std::string& absolutePath,
                         const VideoFileFacts& facts, const std::string& name, int64_t now) {
  CVideoFile video;
  video.name = name;
  video.file = StoredVideoPath(file, absolutePath);
  video.dateAcq = now;
  video.nbFrames = facts.frameCount;
  video.duration = facts.durationMs;
  video.width = facts.width;
  video.height = facts.height;
  video.listePoints = facts.frameTimes;
  video.infos.backend = facts.backend;
  video.infos.known = 1;
  video.infos.first = 0;
  video.infos.second = facts.frameCount - 1;
  video.infos.timeBase = facts.fps > 0 ? 1 : 0;
  return video;
}

}  // namespace vx
