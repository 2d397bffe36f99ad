// Reading and writing a test's detection settings in the experiment file (Tests.ParamsDetection)
// and the raw reference images that may come with them (table ImgRef).
//
// Every call opens its own connection on the experiment's current file and runs in one
// transaction (db/experiment_db.h); failures are reported by the database layer and returned
// as false.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "db/experiment_file.h"
#include "db/sqlite_database.h"
#include "detection/detection_settings.h"

namespace vx {

// The settings of test testId. False when the file cannot be read or has no such test
// (settings then hold the defaults).
bool LoadTestDetectionSettings(ExperimentFile& file, int testId, DetectionSettings& settings);

// The settings a new test of animal animalId starts from: those of the animal's most recently
// analysed test, or the defaults when it has none. False only when the file cannot be read.
bool LoadAnimalDetectionSettings(ExperimentFile& file, int animalId, DetectionSettings& settings);

// A library image stored as raw pixels (exactly channels × width × height bytes, one channel
// when Gray is set, else three) becomes the reference image; an encoded one is left for the
// reference preparation of the analysis, and the reference stays empty. Runs inside the
// caller's transaction.
cv::Mat ReadRawReferenceImage(SQLite::Database& db, int imageId);

struct DetectionSaveOptions {
  // Stores the reference image in the image library first and sets settings.referenceImageId;
  // runs inside the transaction. False aborts the save.
  std::function<bool(SQLite::Database&, DetectionSettings&)> storeReference;
  // Saved together with an analysis: its stamp becomes the settings' stamp, and writeAnalysis
  // writes the analysis record inside the same transaction.
  std::optional<int64_t> analysisStamp;
  std::function<bool(SQLite::Database&)> writeAnalysis;
};

// Writes the settings of test testId. The stamp becomes the analysis stamp when saved with an
// analysis, otherwise the clock's tick count in milliseconds. One write transaction: nothing
// is written when any step fails.
bool SaveDetectionSettings(ExperimentFile& file, int testId, DetectionSettings& settings,
                           const DetectionSaveOptions& options = {});

}  // namespace vx
