// Storing a finished recording: the new video row with its frame times, and the test that was
// recorded now using it, in one write transaction.
#pragma once

#include <cstdint>

#include "db/experiment.h"
#include "db/video_file.h"

namespace vx {

// Inserts video (its id is set) and gives it to test testId: Source, DateAcq (acquisition
// time, seconds since 1970). A test that had an analysis, or behaviours, of an earlier video
// loses them with their cached report results: they belong to frames it no longer has. The
// earlier video's row stays. False, nothing written, when the test does not exist or the write
// failed. The experiment's lists follow a committed write.
bool StoreRecordedVideo(Experiment& experiment, CVideoFile& video, int testId, int64_t dateAcq);

// Whether a video row names file (as stored: relative to the companion folder or absolute).
bool VideoFileInUse(Experiment& experiment, const std::string& file);

}  // namespace vx
