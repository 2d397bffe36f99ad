// A zip archive of an experiment, with or without its videos.
#pragma once

#include <string>

#include "db/experiment_file.h"

namespace vx {

// Writes "<name>.vxdb" (the current state of file: its working copy when one is open) and, with
// videos, every video file of the experiment under "<name>_files/" (a video named by a full
// path outside the companion folder goes there under its file name) into zipPath. The archive
// is built under a temporary name beside zipPath and renamed at the end, so a failed backup
// (message 501) leaves no partial archive. Message 500 names each file as it is added. A video
// that is missing is left out and named in message 500's place; the backup still succeeds.
bool BackupExperiment(ExperimentFile& file, const std::string& zipPath, bool withVideos);

}  // namespace vx
