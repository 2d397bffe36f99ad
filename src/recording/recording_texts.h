// What a recording says to its user while it runs and when it ends, the same words in the
// terminal and in the windows.
#pragma once

#include <string>

#include "db/protocol.h"
#include "recording/recorder.h"
#include "recording/test_recording.h"

namespace vx {

// "m:ss.t" (minutes, seconds, tenths).
std::string RecordingClockText(int ms);
// Before the start: the countdown of the protocol's delay (text 366); then "Recording m:ss.t
// N frames, D dropped" and, when tracking, the frames with the animal.
std::string RecordingProgressText(const RecordingProgress& progress, bool tracking);
// What a protocol's recording settings do: "until stopped" or the length, and the countdown
// before the start when there is one ("5:00.0, after a 0:10.0 countdown").
std::string ProtocolRecordingText(const CProtocol& protocol);
// "Test N recorded: ..." with its frames, length, dropped frames, file and format, and the
// live tracking's detection rate on a second line when it was stored.
std::string RecordedText(const RecordOutcome& outcome);
// Why a recording stored nothing: its status in words, with the detail when there is one.
std::string NotRecordedReason(const RecordOutcome& outcome);

}  // namespace vx
