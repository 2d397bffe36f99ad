// The upgrade step below 13: videos that old files kept beside each test (in the companion
// folder, named after the test) become rows of Videos, and the tests point at them. Moving the
// raw points out of the tests leaves free pages, so the file is compacted when a video moved.
#include "base/system_platform.h"
#include "base/text.h"
#include "db/sql_query.h"
#include "db/upgrade_steps.h"
#include "db/video_store.h"

namespace vx::upgrade {

namespace {

std::string OldVideoName(int testId, int fileVersion) {
  return fileVersion == 0 ? Format("Test_%d.%s", testId, "vxf")
                          : Format("Test_%d_%d.%s", testId, fileVersion, "vxf");
}

bool FileExists(const ExperimentFile& file, const std::string& path) {
  static SystemFileSystem systemFiles;
  const FileSystem& files = file.services.files != nullptr ? *file.services.files : systemFiles;
  return files.Exists(path);
}

// Inserts the video row of a test (same id) from its file and moves the raw points into it.
void RegisterTestVideo(Run& run, int testId, const std::string& name, const std::string& stored,
                       int64_t dateAcq) {
  SQLite::Database& db = run.db;
  VideoFileFacts facts;
  const std::string path = ResolveVideoPath(run.file, stored);
  if (!run.file.videoProbe || !run.file.videoProbe(path, facts, {})) facts = VideoFileFacts{};
  std::vector<uint8_t> raw;
  db.ReadBlob(Format("select ListePoints from TestsPoints where Id=%d", testId), raw);
  db.Execute(Format("Insert into Videos (Id, Name, Notes, File, IdProtocol, Status, DateAcq, "
                    "NbFrames, Duration, Width, Height, ListePoints) Values (%d, '%s', '', '%s', "
                    "%d, %d, %lld, %d, %d, %d, %d, NULL)",
                    testId, SqlQuote(name).c_str(), SqlQuote(stored).c_str(), -1, 0,
                    static_cast<long long>(dateAcq), facts.frameCount, facts.durationMs,
                    facts.width, facts.height));
  // Times recorded with the old test win; otherwise those read from the file.
  if (raw.empty()) raw = facts.frameTimes;
  if (!raw.empty()) {
    db.WriteBlob(Format("update Videos set ListePoints=? where Id=%d", testId), raw.data(),
                 raw.size());
  }
  db.Execute(Format("Update Tests set Source=%d where Id=%d", testId, testId));
  db.Execute(Format("Update TestsPoints set ListePoints=NULL where Id=%d", testId));
}

}  // namespace

void MoveVideosOutOfTests(Run& run) {
  SQLite::Database& db = run.db;
  SQLite::TablePtr tests =
      db.GetTable("select Id, Source, VideoFileVersion, DateAcq from Tests order by Id asc");
  if (!tests || !tests->MoveFirst()) return;
  run.Start(tests->GetRowCount());
  do {
    const int id = tests->GetId();
    const std::string source = tests->GetText("Source");
    const std::string stored = OldVideoName(id, tests->GetInt("VideoFileVersion"));
    const int shared = QueryInt(db,
                                Format("select Id from Videos where File='%s' and Id<>%d",
                                       SqlQuote(stored).c_str(), id),
                                -1);
    if (shared >= 0) {
      db.Execute(Format("Update Tests set Source=%d where Id=%d", shared, id));
      db.Execute(Format("Update TestsPoints set ListePoints=NULL where Id=%d", id));
      run.compact = true;
    } else if (!source.empty() && FileExists(run.file, ResolveVideoPath(run.file, stored))) {
      RegisterTestVideo(run, id, source, stored, tests->GetInt64("DateAcq"));
      run.compact = true;
    } else {
      // The old text named a source that left no file: the test has no video.
      db.Execute(Format("Update Tests set Source=-1 where Id=%d", id));
    }
    run.Advance();
  } while (!run.Failed() && tests->MoveNext());
}

}  // namespace vx::upgrade
