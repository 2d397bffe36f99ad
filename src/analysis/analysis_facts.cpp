#include "analysis/analysis_facts.h"

#include "analysis/analysis_run.h"
#include "db/analysis_info.h"
#include "video/video_info.h"

namespace vx {

namespace {

const char* EndingWords(int64_t ending) {
  switch (static_cast<RunEnding>(ending)) {
    case RunEnding::kPeriodEnded: return "end of the period";
    case RunEnding::kStopAction: return "stopped by the stage program";
    case RunEnding::kMaximumDuration: return "maximum duration reached";
    case RunEnding::kCancelled: return "cancelled";
  }
  return "unknown";
}

}  // namespace

AnalysisFacts ReadAnalysisFacts(const CInfosTest& test, const CVideoFile* video) {
  AnalysisFacts facts;
  facts.videoFrames = video != nullptr ? video->nbFrames : -1;
  facts.analysed = test.IsAnalysed();
  if (!facts.analysed) return facts;
  const AnalysisInfo info = ParseAnalysisInfo(test.infosAnalyse);
  facts.framesAnalysed = info[run_info::kPeriodFrames];
  facts.framesWithAnimal = info[run_info::kAnimalFrames];
  if (facts.framesAnalysed > 0) {
    facts.detectionRate = 100.0 * static_cast<double>(facts.framesWithAnimal) /
                          static_cast<double>(facts.framesAnalysed);
  }
  facts.timing = static_cast<int>(info[AnalysisInfo::kTimingSource]);
  facts.firstFrame = info[run_info::kStartFrame];
  facts.lastFrame = info[run_info::kLastFrame];
  if (facts.firstFrame >= 0) {
    facts.startMs = info[run_info::kStartTime];
    facts.endMs = info[run_info::kEndTime];
  }
  facts.ending = EndingWords(info[run_info::kEnding]);
  return facts;
}

std::string TimingWords(int timing) {
  const std::string name = TimingSourceName(timing);
  switch (timing) {
    case 0: return name + " (the program's own frame times)";
    case 1: return name + " (times from the frame rate)";
    case 2: return name + " (time stamps of the video)";
    default: return name;
  }
}

}  // namespace vx
