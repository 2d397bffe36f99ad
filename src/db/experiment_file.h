// The experiment file that record operations read and write, and the flags that the database
// layer raises for the rest of the program.
//
// Every record operation opens its own connection on CurrentFile() (OpenExperimentDb with no
// path). CurrentFile() is the working copy when the program works on one, otherwise the
// experiment file itself.
#pragma once

#include <functional>
#include <cstdint>
#include <string>
#include <vector>

#include "base/platform.h"

namespace vx {

// What a video file says about itself: read through the video library by the program and
// handed to the database code, which never opens videos itself.
struct VideoFileFacts {
  int frameCount = 0;
  int durationMs = 0;  // the time of the last frame, ms (the first frame is at 0)
  int width = 0;       // pixels
  int height = 0;
  double fps = 0;      // frames per second as the file announces it; 0 when unknown
  int backend = 0;     // the video library's back-end number (1900 FFmpeg); 0 unknown
  std::vector<uint8_t> frameTimes;  // the frame-times blob to store (Videos.ListePoints)
  int announcedCount = 0;  // the count the file's header gives (0: none)
  bool counted = false;  // the frames were counted by decoding (the file's count was wrong
                         // or could not be trusted)
};
// progress(frames, announced) is called while frames are counted; may be empty.
using VideoProbeProgress = std::function<void(int frames, int announced)>;
using VideoProbe = std::function<bool(const std::string& path, VideoFileFacts& facts,
                                      const VideoProbeProgress& progress)>;

struct ExperimentFile {
  std::string path;      // the .vxdb file; empty when no experiment is open
  std::string workPath;  // the working copy; empty when there is none
  bool workOnCopy = false;  // working-copy mode, or a copy in the temporary folder
  bool readOnly = false;    // every write ends in a rollback, without a message
  bool modified = false;    // raised by every committed write
  bool resultsMustRefresh = false;  // raised before every write; result views test it
  int versionBeforeUpgrade = -1;    // the version an upgrade started from, -1 when none

  Services services;
  VideoProbe videoProbe;  // may be empty: video facts are then unknown
  // Tests only: handed to every connection opened on this file (see
  // SQLite::Database::SetStatementHook); a non-zero return fails that statement.
  std::function<int(const std::string& sql)> statementHook;

  // The file that record operations open.
  std::string CurrentFile() const {
    return (workOnCopy || readOnly) && !workPath.empty() ? workPath : path;
  }
  // The companion folder "<path without extension>_files/", which holds videos and images.
  std::string CompanionFolder() const;
};

}  // namespace vx
