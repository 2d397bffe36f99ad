// The numbers of the texts a recording shows (texts/Enu.txt holds their words). They sit beside
// base/messages.h rather than in it so that the many files including that header do not depend
// on the recording's texts.
#pragma once

namespace vx::msg {
inline constexpr int kComputerTooSlow = 126;     // frames were dropped
inline constexpr int kStartRecording = 133;
inline constexpr int kStopRecording = 134;
inline constexpr int kRecordingInProgress = 364;
inline constexpr int kRecordingFailed = 365;
inline constexpr int kRecordingCountdown = 366;  // "%s": the time left
}  // namespace vx::msg
