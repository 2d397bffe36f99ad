#include "shell/batch_texts.h"

#include "base/text.h"

namespace vx {

const char* BatchOutcomeText(TestOutcomeKind kind) {
  switch (kind) {
    case TestOutcomeKind::kAnalysed: return "analysed";
    case TestOutcomeKind::kUnreadable: return "no such test";
    case TestOutcomeKind::kNoVideo: return "the test has no video";
    case TestOutcomeKind::kVideoMissing: return "the video file cannot be found";
    case TestOutcomeKind::kVideoUnreadable: return "the video cannot be read";
    case TestOutcomeKind::kVideoSizeMismatch: return "the video does not fit the protocol";
    case TestOutcomeKind::kNoDetection: return "the reference image cannot be prepared";
    case TestOutcomeKind::kNotSaved: return "the analysis could not be saved";
    case TestOutcomeKind::kCancelled: return "cancelled, nothing stored";
  }
  return "failed";
}

std::string AttemptsText(const TestOutcome& outcome) {
  if (outcome.attempts <= 1) return "";
  std::string text = Format("attempt %d of %d", outcome.keptAttempt + 1, outcome.attempts);
  if (outcome.settingsFrom >= 0) text += Format(", settings of test %d", outcome.settingsFrom);
  return text;
}

}  // namespace vx
