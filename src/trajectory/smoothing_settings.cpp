#include "trajectory/smoothing_settings.h"

#include "base/text.h"
#include "db/experiment_db.h"
#include "db/infos_store.h"

namespace vx {

SmoothingSettings ParseSmoothingSettings(const std::string& text) {
  SmoothingSettings settings;
  if (text.empty()) return settings;
  if (text.size() == 1) {
    settings.method = text == "1" ? kLowessStrong : kNoSmoothing;
    settings.threshold = 0;
    settings.thresholdUnit = kThresholdPixels;
    return settings;
  }
  Tokenizer tokens(text, '|');
  std::string token;
  if (tokens.Next(token)) settings.method = ToInt(token);
  if (tokens.Next(token)) settings.threshold = ToInt(token);
  if (tokens.Next(token)) settings.thresholdUnit = ToInt(token);
  return settings;
}

std::string FormatSmoothingSettings(const SmoothingSettings& settings) {
  return Format("%d|%d|%d", settings.method, settings.threshold, settings.thresholdUnit);
}

const char* SmoothingMethodName(int method) {
  switch (method) {
    case kNoSmoothing: return "No smoothing";
    case kLowessStrong: return "Lowess method ( strong )";
    case kLowessLite: return "Lowess method ( lite )";
    case kMovingAverage: return "Moving weighted average";
    case kSavitzkyGolay: return "Moving weighted average ( Savitsky-Golay )";
    default: return "";
  }
}

const char* ThresholdUnitName(int unit) {
  switch (unit) {
    case kThresholdPixels: return "Pixel(s)";
    case kThresholdMm: return "mm";
    case kThresholdCm: return "cm";
    default: return "";
  }
}

bool IsValidSmoothingSettings(const SmoothingSettings& settings) {
  return settings.method >= kNoSmoothing && settings.method <= kSavitzkyGolay &&
         settings.threshold >= 0 && settings.thresholdUnit >= kThresholdPixels &&
         settings.thresholdUnit <= kThresholdCm;
}

bool LoadSmoothingSettings(ExperimentFile& file, SmoothingSettings& settings) {
  // A missing row is the defaults; only an unreadable file is a failure.
  std::string text;
  if (!RunReadTransaction(file, [&](SQLite::Database& db) { ReadSetting(db, kSmoothingSettingName, text); })) {
    return false;
  }
  settings = ParseSmoothingSettings(text);
  return true;
}

bool SaveSmoothingSettings(ExperimentFile& file, const SmoothingSettings& settings) {
  return SetExperimentSetting(file, kSmoothingSettingName, FormatSmoothingSettings(settings));
}

}  // namespace vx
