#include "recording/recording_texts.h"

#include "base/messages.h"
#include "base/recording_messages.h"
#include "base/text.h"
#include "protocol/stage_program.h"

namespace vx {

std::string RecordingClockText(int ms) {
  return Format("%d:%02d.%d", ms / 60000, ms / 1000 % 60, ms / 100 % 10);
}

std::string RecordingProgressText(const RecordingProgress& p, bool tracking) {
  if (p.countdownMs > 0) {
    return Format(MessageText(msg::kRecordingCountdown), RecordingClockText(p.countdownMs).c_str());
  }
  std::string line = Format("Recording %s  %d frames, %d dropped", RecordingClockText(p.elapsedMs).c_str(),
                            p.frames, p.dropped);
  if (tracking) line += Format(", animal in %d", p.points);
  return line;
}

std::string ProtocolRecordingText(const CProtocol& protocol) {
  const int64_t lengthMs = MaximumDurationSeconds(protocol.durationRecordNoA, protocol.typeDurationRecordNoA) * 1000;
  const int64_t delayMs = MaximumDurationSeconds(protocol.delayRecordNoA, protocol.typeDelayRecordNoA) * 1000;
  std::string text = lengthMs > 0 ? RecordingClockText(static_cast<int>(lengthMs)) : "until stopped";
  if (delayMs > 0) text += Format(", after a %s countdown", RecordingClockText(static_cast<int>(delayMs)).c_str());
  return text;
}

std::string RecordedText(const RecordOutcome& outcome) {
  const RecordingResult& r = outcome.recording;
  const int frames = r.Frames();
  std::string text = Format("Test %d recorded: %d frames, %s, %d dropped, into '%s' (%s).", outcome.testId,
                            frames, RecordingClockText(r.LengthMs()).c_str(), r.dropped,
                            outcome.storedPath.c_str(), outcome.format->label);
  if (outcome.tracked) {
    text += Format("\nTracked live: the animal was found in %d frames (%.2f %%).", outcome.points,
                   frames > 0 ? 100.0 * outcome.points / frames : 0.0);
  }
  return text;
}

std::string NotRecordedReason(const RecordOutcome& outcome) {
  std::string why = RecordStatusText(outcome.status);
  if (!outcome.detail.empty()) why += ": " + outcome.detail;
  return why;
}

}  // namespace vx
