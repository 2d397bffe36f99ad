#include "analysis/analysis_trust.h"

#include "base/text.h"

namespace vx {

std::vector<AnalysisWarning> AnalysisWarnings(const TestOutcome& outcome, float minimumRate) {
  std::vector<AnalysisWarning> warnings;
  if (outcome.kind != TestOutcomeKind::kAnalysed) return warnings;
  if (minimumRate > 0 && outcome.rate < minimumRate) {
    std::string text = Format("detection rate %.2f %% is under the minimum of %g %% over %d "
                              "frames: check the detection settings before using its numbers",
                              outcome.rate, minimumRate, outcome.frames);
    warnings.push_back({AnalysisWarningKind::kLowDetectionRate, text});
  }
  return warnings;
}

}  // namespace vx
