// Videos of the experiment (table Videos) and the tests that use them.
//
// A video's File is stored relative to the experiment's companion folder when the file lies
// inside it, and as given (normally absolute) otherwise. Its frame times (ListePoints) travel
// as the bytes of the frame-times blob.
//
// Test-list rule of a save: the tests that used the video and are no longer listed, and the
// listed tests taken from another video, lose their analysis (source, summary, points and
// behaviours cleared); the newly listed tests get the video; the cached results of every
// affected test are dropped. A save that does not change the list touches no test.
#pragma once

#include <string>
#include <vector>

#include "db/experiment.h"
#include "db/sqlite_database.h"
#include "db/video_file.h"

namespace vx {

// Reads the video, its frame times and its test list. False when no video has that id.
bool LoadVideo(Experiment& experiment, int id, CVideoFile& video);
// Update by id (Infos is kept as stored), else insert with the frame times; then applies the
// test-list rule above with video.testIds as the new list. New frame times drop the cached
// report results of the video's tests. Refreshes the experiment's maps.
bool SaveVideo(Experiment& experiment, CVideoFile& video);
// Inserts the video under its own id (import).
bool InsertVideoWithId(Experiment& experiment, CVideoFile& video);
bool DeleteVideo(Experiment& experiment, int id);
bool DeleteVideos(Experiment& experiment, const std::vector<int>& ids);
// Id, name, file, status and acquisition date of every video, sorted by name (pickers).
bool ListVideosByName(Experiment& experiment, std::vector<CVideoFile>& videos);

// Where a stored File lies on disk, and the form a path is stored in.
std::string ResolveVideoPath(const ExperimentFile& file, const std::string& stored);
std::string StoredVideoPath(const ExperimentFile& file, const std::string& path);

// The record of a readable video file (absolutePath) about to be added under name: its facts,
// the frame times its probe read, and how it was read (the first and the last frame index as the two
// numbers of the description). now: the acquisition date, seconds since 1970.
CVideoFile VideoRecordOf(const ExperimentFile& file, const std::string& absolutePath,
                         const VideoFileFacts& facts, const std::string& name, int64_t now);

// Inside a transaction the caller holds (no test-list rule).
void ReadAllVideos(SQLite::Database& db, std::map<int, CVideoFile>& videos);
void InsertVideoRow(SQLite::Database& db, CVideoFile& video, bool withId);

}  // namespace vx
