// The analysis information of a test (column Tests.InfosAnalyse): what the analysis run and
// the video source recorded about how the test was analysed.
//
// Text form, version 5: "%d|%d|%u|%d|%d|%d|%u|%d|%d|%I64d|%d|%d|%d|%d|%d|%u|%d|%d|%d|%d" =
// version | values 1..8 | the 64-bit stamp | values 9..15 | 0 | values 16, 17.
// Older versions hold fewer fields: 0 values 1..8; 1 adds the stamp; 2 values 9 and 10; 3 value
// 11; 4 values 12..15, the always-0 field and value 16; 5 value 17. Values 1..10 and the stamp
// belong to the analysis run, values 11..17 to the video source.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vx {

struct AnalysisInfo {
  int version = 5;
  // values[1] .. values[17]; values[0] is unused. Values 2, 6 and 14 are unsigned 32-bit in the
  // text, the others signed 32-bit.
  std::array<int64_t, 18> values{};
  int64_t stamp = 0;

  // Names of the video source's values (the run's values 1..10 are indexed by number).
  static constexpr int kBackend = 11;        // 700, 1400, 1900; default 1900
  static constexpr int kTimingSource = 12;   // 0 own times, 1 from fps, 2 backend ms
  static constexpr int kStartFrame = 13;
  static constexpr int kStartTimeMs = 14;    // unsigned
  static constexpr int kLastFrame = 15;
  static constexpr int kFrameCorrection = 16;
  static constexpr int kProgramVersion = 17;  // major*65536 + minor*256 + patch

  AnalysisInfo();  // every value at its default
  int64_t& operator[](int index) { return values[index]; }
  int64_t operator[](int index) const { return values[index]; }
};

// Always writes version 5.
std::string FormatAnalysisInfo(const AnalysisInfo& info);
// Reads any version 0..5; absent fields keep their defaults. A field missing inside the part
// that the text's version promises ends the reading and resets the stamp to 0. Never fails.
AnalysisInfo ParseAnalysisInfo(const std::string& text);

}  // namespace vx
