// A batch analysis's outcomes in words, the same in the terminal and in the batch window.
#pragma once

#include <string>

#include "analysis/batch_analysis.h"

namespace vx {

// "analysed", "the video file cannot be found", "cancelled, nothing stored", ...
const char* BatchOutcomeText(TestOutcomeKind kind);

// The retries of a test: "" for a test kept from its first attempt, otherwise "attempt 2 of
// 3" with ", settings of test 4" when another test's settings won.
std::string AttemptsText(const TestOutcome& outcome);

}  // namespace vx
