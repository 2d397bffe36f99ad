// Renaming an experiment: its file, its companion folder and its working copy move together.
//
// A rename is several moves, and a crash may stop it between two. Before the first move a
// marker "<old path>.renaming~" records the new path; the file's own move is the one that
// decides (the companion folder and the working copy move before it). The next open of the old
// path finishes the rename when the file had moved and undoes it otherwise, so the file always
// finds its companion folder and its working copy.
#pragma once

#include <string>

#include "db/experiment_file.h"

namespace vx {

// Renames the experiment file.path (working copy in workPath, locked by the caller) to
// newName in the same folder. Refuses, with message 793 and nothing changed, a name whose file,
// working copy or companion folder exists; a failed move undoes the moves made (message 794).
// On success file.path and file.workPath name the new files.
bool RenameExperimentFiles(ExperimentFile& file, const std::string& newName);

// Finishes or undoes a rename of path that a crash interrupted; nothing when there is none.
void FinishInterruptedRename(ExperimentFile& file, const std::string& path);

}  // namespace vx
