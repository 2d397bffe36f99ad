#include "analysis/smoothing_settings.h"

#include "base/text.h"
#include "db/experiment_db.h"

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
  SQLite::Database db;
  if (!OpenExperimentDb(db, file)) return false;
  db.BeginTransaction();
  SQLite::TablePtr table = db.GetTable("select Value from Infos where Name='Smooth'");
  const std::string text =
      table && table->GetRowCount() > 0 ? table->GetText("Value") : std::string();
  if (!EndReadTransaction(db, file)) return false;
  settings = ParseSmoothingSettings(text);
  return true;
}

bool SaveSmoothingSettings(ExperimentFile& file, const SmoothingSettings& settings) {
  SQLite::Database db;
  if (!OpenExperimentDb(db, file)) return false;
  MarkWriting(file);
  db.BeginTransaction();
  const std::string value = SqlQuote(FormatSmoothingSettings(settings));
  SQLite::TablePtr row = db.GetTable("select Name from Infos where Name='Smooth'");
  if (row && row->GetRowCount() > 0) {
    db.Execute(Format("update Infos set Value='%s' where Name='Smooth'", value.c_str()));
  } else {
    db.Execute(Format("insert into Infos(Name, Value) values ('Smooth','%s')", value.c_str()));
  }
  return EndWriteTransaction(db, file);
}

}  // namespace vx
