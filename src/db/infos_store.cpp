#include "db/infos_store.h"

#include "base/text.h"
#include "db/experiment_db.h"
#include "db/sql_query.h"

namespace vx {

bool ReadSetting(SQLite::Database& db, const std::string& name, std::string& value) {
  return QueryText(db, Format("select Value from Infos where name='%s'", SqlQuote(name).c_str()),
                   value);
}

void WriteSetting(SQLite::Database& db, const std::string& name, const std::string& value) {
  const std::string quotedName = SqlQuote(name);
  const std::string quotedValue = SqlQuote(value);
  if (RowExists(db, Format("Select Value from Infos where name='%s'", quotedName.c_str()))) {
    db.Execute(Format("update Infos set Value = '%s' where Name='%s'", quotedValue.c_str(),
                      quotedName.c_str()));
  } else {
    db.Execute(Format("insert into Infos(Name, Value) Values ('%s', '%s')", quotedName.c_str(),
                      quotedValue.c_str()));
  }
}

bool GetExperimentSetting(ExperimentFile& file, const std::string& name, std::string& value) {
  bool found = false;
  std::string read;
  const bool ok = RunReadTransaction(file, [&](SQLite::Database& db) {
    found = ReadSetting(db, name, read);
  });
  if (!ok || !found) return false;
  value = read;
  return true;
}

bool SetExperimentSetting(ExperimentFile& file, const std::string& name,
                          const std::string& value) {
  return RunWriteTransaction(file, [&](SQLite::Database& db) { WriteSetting(db, name, value); });
}

void ReadExperimentSettings(SQLite::Database& db, ExperimentSettings& settings) {
  auto fixedRow = [&](const char* name, std::string& value) {
    value.clear();
    QueryText(db, Format("select Value from Infos where Name='%s'", name), value);
  };
  fixedRow("Title", settings.title);
  fixedRow("Notes", settings.notes);
  fixedRow("Smooth", settings.smooth);
  fixedRow("ReportsFont", settings.reportsFont);
  fixedRow("RefreshResultAuto", settings.refreshResultAuto);
  std::string animals;
  fixedRow("Animals", animals);
  settings.animalSize = AnimalSizeSetting{};
  ParseAnimalSize(animals, settings.animalSize);
}

}  // namespace vx
