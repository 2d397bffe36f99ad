// The analysis information of a test (column Tests.InfosAnalyse): what the analysis run and
// the video source recorded about how the test was analysed.
//
// Text form, version 5: "%d|%d|%u|%d|%d|%d|%u|%d|%d|%I64d|%d|%d|%d|%d|%d|%u|%d|%d|%d|%d" =
// version | values 1..8 | the 64-bit stamp | values 9..15 | 0 | values 16, 17.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vx {

struct AnalysisInfo {
  int version = 5;
  // values[1] .. values[17]; values[0] is unused. Values 2, 6 and 14 are unsigned in the text.
  std::array<int64_t, 18> values{};
  int64_t stamp = 0;

  AnalysisInfo();  // every value at its default
  int64_t& operator[](int index) { return values[index]; }
  int64_t operator[](int index) const { return values[index]; }
};

std::string FormatAnalysisInfo(const AnalysisInfo& info);
// Reads any version 0..5; absent fields keep their defaults. Never fails.
AnalysisInfo ParseAnalysisInfo(const std::string& text);

}  // namespace vx
