#include "video_target.h"

#include "base/text.h"
#include "base/time_text.h"
#include "db/experiment.h"
#include "experiment_access.h"
#include "zones/adjusted_zones.h"
#include "zones/zone_rows.h"

namespace vx::cli {

int ResolveVideoTarget(Context& context, const std::string& first, int testId, VideoTarget& target) {
  if (testId < 0) {
    target.videoPath = first;
    return kExitOk;
  }
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, first, experiment, status)) return status;
  target.fromTest = true;
  target.experimentPath = first;
  switch (LoadTestJob(experiment, testId, "", target.job)) {
    case JobStatus::kTestUnreadable:
      return context.Fail(Format("There is no test %d in '%s'.", testId, first.c_str()));
    case JobStatus::kNoVideo:
      return context.Fail(Format("Test %d has no video yet.", testId));
    case JobStatus::kVideoMissing:
      return context.Fail(Format("The video of test %d is missing: '%s'.", testId,
                                 target.job.videoPath.c_str()));
    case JobStatus::kReady:
      break;
  }
  target.videoPath = target.job.videoPath;
  target.openOptions = target.job.openOptions;
  if (target.job.protocolFound) LoadTestZones(target.job.protocol, target.job.test, target.zones);
  return kExitOk;
}

int LoadProtocolZones(Context& context, const std::string& path, int protocolId, ZoneSet& zones) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, experiment, status)) return status;
  const CProtocol* protocol = experiment.FindProtocol(protocolId);
  if (protocol == nullptr) {
    return context.Fail(Format("There is no protocol %d in '%s'.", protocolId, path.c_str()));
  }
  LoadZoneSet(*protocol, zones);
  return kExitOk;
}

int OpenTargetVideo(Context& context, const VideoTarget& target, VideoSource& source) {
  if (!context.files.Exists(target.videoPath)) {
    return context.FailMissing(target.videoPath);
  }
  const VideoStatus status = source.OpenFile(target.videoPath, target.openOptions);
  if (status != VideoStatus::kOk) {
    return context.Fail(Format("Cannot open the video '%s': %s.", target.videoPath.c_str(),
                               VideoStatusText(status)));
  }
  return kExitOk;
}

bool ParseFrameOrTime(const std::string& text, const VideoSource& source, int& frame) {
  if (TryParseInt(text, frame)) return frame >= 0;
  int64_t ms = 0;
  if (!ParseTimeText(text, ms)) return false;
  // The first frame shown at or after that time; one past the last frame when the video ends
  // before it.
  const int last = source.lastFrame() - source.startFrame();
  frame = 0;
  while (frame <= last && source.FrameTimeMs(frame) < ms) ++frame;
  return true;
}

}  // namespace vx::cli
