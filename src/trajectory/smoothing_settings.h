// The experiment-wide choice of smoothing method and minimum displacement.
//
// Stored in the experiment's Infos table, row "Smooth", as "%d|%d|%d" (method, threshold,
// thresholdUnit). A trajectory is given a copy when it is built; nothing here is global.
#pragma once

#include <string>

namespace vx {

struct ExperimentFile;

enum SmoothingMethod {
  kNoSmoothing = 0,      // "No smoothing"
  kLowessStrong = 1,     // "Lowess method ( strong )": local linear fit, half-width 10
  kLowessLite = 2,       // "Lowess method ( lite )": local linear fit, half-width 4
  kMovingAverage = 3,    // "Moving weighted average": 1 2 3 2 1 over five frames
  kSavitzkyGolay = 4,    // "Moving weighted average ( Savitsky-Golay )": -3 12 17 12 -3
};

enum ThresholdUnit {
  kThresholdPixels = 0,  // "Pixel(s)"
  kThresholdMm = 1,      // "mm"
  kThresholdCm = 2,      // "cm"
};

// The Infos row that holds the setting.
inline constexpr const char* kSmoothingSettingName = "Smooth";

struct SmoothingSettings {
  int method = kLowessLite;      // a SmoothingMethod; other values smooth like kNoSmoothing
  int threshold = 3;             // minimum displacement; 0 (or less) switches the filter off
  int thresholdUnit = kThresholdMm;  // a ThresholdUnit; other values switch the filter off

  bool operator==(const SmoothingSettings&) const = default;

  // True when the data are corrected at all (raw speeds then differ from smoothed ones).
  bool ChangesPositions() const { return method != kNoSmoothing || threshold != 0; }
};

// Reads the stored text. Empty: the defaults (Lowess lite, 3 mm). One character (an older
// form): method 1 when it is "1", else 0, with the filter off. Longer: up to three tokens
// separated by '|'; a missing token keeps its default, a token that is not a number gives 0.
SmoothingSettings ParseSmoothingSettings(const std::string& text);
std::string FormatSmoothingSettings(const SmoothingSettings& settings);

// The names shown to the user ("Lowess method ( lite )", "mm", ...); "" for unknown codes.
const char* SmoothingMethodName(int method);
const char* ThresholdUnitName(int unit);

// True when every field holds a known code and the threshold is not negative.
bool IsValidSmoothingSettings(const SmoothingSettings& settings);

// The experiment's setting, from and to the Infos row "Smooth", each in its own transaction.
// Load fails (settings untouched) only when the file cannot be read; a missing row reads as
// the defaults. Save writes the row (creating it when missing) and returns whether it reached
// the file.
bool LoadSmoothingSettings(ExperimentFile& file, SmoothingSettings& settings);
bool SaveSmoothingSettings(ExperimentFile& file, const SmoothingSettings& settings);

}  // namespace vx
