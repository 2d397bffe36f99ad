#include "analysis/analysis_trust.h"

#include "base/text.h"

namespace vx {

namespace {

// Which filter refused the blobs of the frames without the animal: the one to loosen.
std::string RejectionText(const RejectionCounts& counts) {
  std::vector<std::string> parts;
  if (counts.tooSmall > 0) parts.push_back(Format("too small for the size filter in %d frames", counts.tooSmall));
  if (counts.tooLarge > 0) parts.push_back(Format("too large for the size filter in %d frames", counts.tooLarge));
  if (counts.wrongShape > 0) {
    parts.push_back(Format("too long and thin for an animal in %d frames", counts.wrongShape));
  }
  if (parts.empty()) return {};
  std::string text = "; the largest blob found was ";
  for (size_t i = 0; i < parts.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
  }
  return text;
}

}  // namespace

std::vector<AnalysisWarning> AnalysisWarnings(const TestOutcome& outcome, float minimumRate) {
  std::vector<AnalysisWarning> warnings;
  if (outcome.kind != TestOutcomeKind::kAnalysed) return warnings;
  if (minimumRate > 0 && outcome.rate < minimumRate) {
    std::string text = Format("detection rate %.2f %% is under the minimum of %g %% over %d "
                              "frames: check the detection settings before using its numbers",
                              outcome.ShownRate(), minimumRate, outcome.frames);
    text += RejectionText(outcome.rejections);
    warnings.push_back({AnalysisWarningKind::kLowDetectionRate, text});
  }
  if (outcome.frames < outcome.framesExpected) {
    std::string text = Format("only %d of the video's %d frames were analysed: the video ends "
                              "early (damaged, cut or replaced since it was added); the results "
                              "cover the frames analysed",
                              outcome.frames, outcome.framesExpected);
    warnings.push_back({AnalysisWarningKind::kFramesMissing, text});
  }
  return warnings;
}

const char* AnalysisWarningKey(AnalysisWarningKind kind) {
  switch (kind) {
    case AnalysisWarningKind::kLowDetectionRate: return "low_detection_rate";
    case AnalysisWarningKind::kFramesMissing: return "frames_missing";
  }
  return "warning";
}

}  // namespace vx
