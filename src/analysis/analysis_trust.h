// Whether the numbers of a finished analysis can be trusted as they stand: the warnings it
// raises (the stored facts of an analysis are in analysis_facts.h). A test that warns is stored
// all the same (nothing is thrown away); the warning tells the user to look at it before its
// numbers go into a table.
#pragma once

#include <string>
#include <vector>

#include "analysis/batch_analysis.h"

namespace vx {

// The minimum detection rate when the user sets none, percent: under it the batch retries
// with other settings, and a test that stays under it is reported.
inline constexpr float kDefaultMinimumRate = 90.0f;

enum class AnalysisWarningKind {
  kLowDetectionRate,  // under the minimum rate: the animal was often not found
  kFramesMissing,     // fewer frames analysed than the video has: damaged, cut or replaced
};

// The warning's name in machine-readable output ("low_detection_rate", "frames_missing").
const char* AnalysisWarningKey(AnalysisWarningKind kind);

struct AnalysisWarning {
  AnalysisWarningKind kind = AnalysisWarningKind::kLowDetectionRate;
  std::string text;  // one English sentence without its final full stop
};

// The warnings of one finished test (none for a test that was not analysed). minimumRate 0
// never warns about the rate.
std::vector<AnalysisWarning> AnalysisWarnings(const TestOutcome& outcome, float minimumRate);

}  // namespace vx
