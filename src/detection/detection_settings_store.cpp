#include "detection/detection_settings_store.h"

#include <cstring>

#include "base/system_platform.h"
#include "base/text.h"
#include "db/experiment_db.h"

namespace vx {

namespace {

const Clock& ClockOf(const ExperimentFile& file) {
  static SystemClock systemClock;
  return file.services.clock != nullptr ? *file.services.clock : systemClock;
}

// Runs one settings query in a read transaction; found tells whether a row came back.
bool ReadSettings(ExperimentFile& file, const std::string& sql, DetectionSettings& settings,
                  bool& found) {
  settings.Reset(ClockOf(file));
  found = false;
  SQLite::Database db;
  if (!OpenExperimentDb(db, file)) return false;
  db.BeginTransaction();
  SQLite::TablePtr table = db.GetTable(sql);
  if (table && table->GetRowCount() > 0) {
    found = true;
    settings = ParseDetectionSettings(table->GetText("ParamsDetection"), ClockOf(file));
    if (settings.referenceImageId >= 0) {
      settings.referenceImage = ReadRawReferenceImage(db, settings.referenceImageId);
    }
  }
  return EndReadTransaction(db, file);
}

}  // namespace

cv::Mat ReadRawReferenceImage(SQLite::Database& db, int imageId) {
  SQLite::TablePtr facts =
      db.GetTable(Format("select Gray,Width,Height from ImgRef where Id=%d", imageId));
  if (!facts || facts->GetRowCount() == 0) return {};
  const int channels = facts->GetBool("Gray") ? 1 : 3;
  const int width = facts->GetInt("Width");
  const int height = facts->GetInt("Height");
  if (width <= 0 || height <= 0) return {};
  std::vector<uint8_t> blob;
  db.ReadBlob(Format("select Img from ImgRef where Id=%d", imageId), blob);
  const size_t rawSize = static_cast<size_t>(channels) * width * height;
  if (blob.size() != rawSize) return {};
  cv::Mat image(height, width, CV_8UC(channels));
  std::memcpy(image.data, blob.data(), rawSize);
  return image;
}

bool LoadTestDetectionSettings(ExperimentFile& file, int testId, DetectionSettings& settings) {
  bool found = false;
  const bool read = ReadSettings(
      file, Format("Select ParamsDetection from Tests where Id=%d", testId), settings, found);
  return read && found;
}

bool LoadAnimalDetectionSettings(ExperimentFile& file, int animalId,
                                 DetectionSettings& settings) {
  bool found = false;
  return ReadSettings(file,
                      Format("Select ParamsDetection from Tests where IdAnimal=%d order by "
                             "DateAnalyse desc, Id desc limit 1",
                             animalId),
                      settings, found);
}

bool SaveDetectionSettings(ExperimentFile& file, int testId, DetectionSettings& settings,
                           const DetectionSaveOptions& options) {
  SQLite::Database db;
  if (!OpenExperimentDb(db, file)) return false;
  MarkWriting(file);
  db.BeginTransaction();
  DetectionSettings saved = settings;
  if (options.storeReference && !options.storeReference(db, saved)) {
    db.SetLastError(db.lastError() != SQLite::kOk ? db.lastError() : SQLite::kError);
  }
  saved.stamp = options.analysisStamp ? *options.analysisStamp
                                      : static_cast<int64_t>(ClockOf(file).TickMs());
  if (db.lastError() == SQLite::kOk) {
    db.Execute(Format("update Tests set ParamsDetection='%s'where Id=%d",
                      SqlQuote(FormatDetectionSettings(saved)).c_str(), testId));
  }
  if (db.lastError() == SQLite::kOk && options.writeAnalysis && !options.writeAnalysis(db)) {
    db.SetLastError(db.lastError() != SQLite::kOk ? db.lastError() : SQLite::kError);
  }
  if (!EndWriteTransaction(db, file)) return false;
  settings = std::move(saved);
  return true;
}

}  // namespace vx
