// File moves that keep an experiment whole: replacing a file in one step, and telling a
// complete working copy from one whose making was interrupted.
#pragma once

#include <string>

#include "base/platform.h"
#include "db/experiment_file.h"

namespace vx {

// Copies from over to without ever leaving to half-written: the copy is made under a temporary
// name beside to ("<to>.saving~") and renamed over it. A write that a killed program left half
// done in to (its hot journal) is settled first, so that the journal cannot later be played
// into the new contents. On failure to is unchanged and the temporary file removed.
bool ReplaceFileSafely(ExperimentFile& file, const std::string& from, const std::string& to);

// Makes from (a closed, whole experiment file in the same folder as to) become to: flushed to
// the disk, then renamed over it. One write of the file instead of two when the copy is not
// needed any more. A file with a journal beside it (a write left half done) is refused. On
// failure both files are as they were.
bool MoveFileSafely(ExperimentFile& file, const std::string& from, const std::string& to);

// The folder part of a path, with its final '/'; empty for a bare file name.
std::string FolderOf(const std::string& path);

// Removes a database file and its rollback journal (a journal left beside a fresh copy would
// be played into it).
void RemoveDatabaseFile(FileSystem& files, const std::string& path);

// True when copy is a whole experiment file: it opens as one (a write left half done in it is
// undone on the way) and holds every page its header announces. A copy interrupted while it
// was being made fails the second test.
bool IsCompleteExperimentCopy(ExperimentFile& file, const std::string& copy);

// Lets SQLite undo a write left half done in path by a killed program (a read-write connection
// does it on its first read). Nothing happens when there is no journal.
void SettleInterruptedWrite(ExperimentFile& file, const std::string& path);

}  // namespace vx
