// The experiment-wide settings kept as name/value rows in the Infos table.
//
// The code keeps at most one row per name. The fixed rows ("Title", "Notes", "Smooth",
// "ReportsFont", "RefreshResultAuto", "Animals") are read together when an experiment is
// opened; every other name ("Units", "GroupByGeneral", "OrderGeneral", ...) is read and written
// on demand through GetExperimentSetting / SetExperimentSetting, and its format belongs to the
// code that uses it.
#pragma once

#include <string>

#include "db/animal_size.h"
#include "db/experiment_file.h"
#include "db/sqlite_database.h"

namespace vx {

struct ExperimentSettings {
  std::string title;
  std::string notes;
  std::string smooth;             // smoothing setting text
  std::string reportsFont;
  std::string refreshResultAuto;
  AnimalSizeSetting animalSize;   // the "Animals" row; the new-file default when unreadable
};

// Reads one setting in its own read transaction. True when the row exists (value set); false
// when it does not or the file cannot be read (value untouched).
bool GetExperimentSetting(ExperimentFile& file, const std::string& name, std::string& value);
// Writes one setting in its own write transaction (update when the row exists, else insert).
bool SetExperimentSetting(ExperimentFile& file, const std::string& name, const std::string& value);

// The same statements inside a transaction the caller holds.
bool ReadSetting(SQLite::Database& db, const std::string& name, std::string& value);
void WriteSetting(SQLite::Database& db, const std::string& name, const std::string& value);
void ReadExperimentSettings(SQLite::Database& db, ExperimentSettings& settings);

}  // namespace vx
