// The video a picture command works on, named either directly (VIDEO) or through a test of an
// experiment (EXP TEST_ID): the video file, how to open it and, for a test, its protocol's
// zones and its trajectory.
#pragma once

#include <string>

#include "analysis/analysis_job.h"
#include "context.h"
#include "trajectory/trajectory.h"
#include "video/video_source.h"
#include "zones/zone_set.h"

namespace vx::cli {

struct VideoTarget {
  std::string videoPath;
  FileOpenOptions openOptions;
  bool fromTest = false;
  std::string experimentPath;
  TestJob job;             // the test, its protocol and its video (fromTest only)
  ZoneSet zones;           // the protocol's zones (fromTest, or --zones)
};

// Resolves first (a video, or an experiment when testId >= 0) into target. Returns kExitOk or
// the failure status after printing the reason (no such test, the test has no video, the
// video is missing).
int ResolveVideoTarget(Context& context, const std::string& first, int testId, VideoTarget& target);

// Loads the zones of protocol protocolId of the experiment at path into zones.
int LoadProtocolZones(Context& context, const std::string& path, int protocolId, ZoneSet& zones);

// Opens target's video into source, or says why not.
int OpenTargetVideo(Context& context, const VideoTarget& target, VideoSource& source);

// A frame index from "N" (a frame) or a time with its unit ("90s", "1:30", see
// base/time_text.h) at the source's frame times (one past the last frame when the video ends
// before that time). False when the text is neither.
bool ParseFrameOrTime(const std::string& text, const VideoSource& source, int& frame);

}  // namespace vx::cli
