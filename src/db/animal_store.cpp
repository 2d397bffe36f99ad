#include "db/animal_store.h"

#include "base/text.h"
#include "db/experiment_db.h"
#include "db/field_values.h"
#include "db/protocol_store.h"
#include "db/sql_query.h"

#include <algorithm>

namespace vx {

namespace {

constexpr const char* kExperimentSize = "Exp";

CAnimal AnimalFromRow(const SQLite::Table& row, const std::vector<CField>& fields) {
  CAnimal animal;
  animal.id = row.GetId();
  animal.name = row.GetText("Name");
  animal.notes = row.GetText("Notes");
  animal.maxSize = row.GetDouble("MaxSize");
  animal.minSize = row.GetDouble("MinSize");
  animal.status = row.GetInt("Status");
  ParseAnimalSizeColumn(row.GetText("AnimalSize"), animal);
  animal.defaultArena = ParseDefaultArena(row.GetText("DefaultArena"));
  animal.fields = ParseFieldValues(row.GetText("Fields"), fields);
  return animal;
}

void WriteAnimal(SQLite::Database& db, CAnimal& animal, const Experiment& experiment) {
  // An animal on the experiment's setting carries the experiment's sizes in its columns, so
  // that readers of MinSize and MaxSize alone see the sizes in force.
  const int minSize = animal.usesExperimentSize ? experiment.settings.animalSize.minSize
                                                : static_cast<int>(animal.minSize);
  const int maxSize = animal.usesExperimentSize ? experiment.settings.animalSize.maxSize
                                                : static_cast<int>(animal.maxSize);
  const std::string name = SqlQuote(animal.name), notes = SqlQuote(animal.notes),
                    fields = SqlQuote(FormatFieldValues(animal.fields, experiment.fields)),
                    size = SqlQuote(FormatAnimalSizeColumn(animal)),
                    arena = SqlQuote(FormatDefaultArena(animal.defaultArena));
  if (animal.id != -1 && RowExists(db, Format("select Id from Animals where Id=%d", animal.id))) {
    db.Execute(Format("update Animals set Name='%s', Notes='%s', MinSize=%d, MaxSize=%d, "
                      "Fields='%s', Status=%d, AnimalSize='%s', DefaultArena='%s', Deleted=0 "
                      "where Id=%d",
                      name.c_str(), notes.c_str(), minSize, maxSize, fields.c_str(), animal.status,
                      size.c_str(), arena.c_str(), animal.id));
  } else {
    db.Execute(Format("Insert into Animals (Name, Notes, MinSize, MaxSize, Fields, Status, "
                      "AnimalSize, DefaultArena, Deleted) values ('%s','%s',%d,%d,'%s',%d, '%s', "
                      "'%s', 0)",
                      name.c_str(), notes.c_str(), minSize, maxSize, fields.c_str(), animal.status,
                      size.c_str(), arena.c_str()));
    animal.id = InsertedId(db);
  }
  animal.minSize = minSize;
  animal.maxSize = maxSize;
}

}  // namespace

std::string FormatAnimalSizeColumn(const CAnimal& animal) {
  return animal.usesExperimentSize ? kExperimentSize : FormatAnimalSize(animal.size);
}

void ParseAnimalSizeColumn(const std::string& text, CAnimal& animal) {
  if (text.empty() || text == kExperimentSize) {
    animal.usesExperimentSize = true;
    return;
  }
  animal.usesExperimentSize = false;
  if (!ParseAnimalSize(text, animal.size)) {
    animal.size = SettingFromSizes(static_cast<int>(animal.minSize),
                                   static_cast<int>(animal.maxSize));
  }
}

std::string FormatDefaultArena(const DefaultArena& arena) {
  return arena.set ? Format("%d,%d,%d", 0, arena.first, arena.second) : std::string();
}

DefaultArena ParseDefaultArena(const std::string& text) {
  DefaultArena arena;
  const std::vector<std::string> tokens = Split(text, ',', false);
  int version = 0;
  if (tokens.size() < 3 || !TryParseInt(tokens[0], version) ||
      !TryParseInt(tokens[1], arena.first) || !TryParseInt(tokens[2], arena.second)) {
    return DefaultArena{};
  }
  arena.set = true;
  return arena;
}

bool ReadAnimal(SQLite::Database& db, int id, const std::vector<CField>& fields,
                CAnimal& animal) {
  SQLite::TablePtr row = db.GetTable(Format("SELECT * FROM Animals where Id=%d", id));
  if (!row || row->GetRowCount() == 0) return false;
  animal = AnimalFromRow(*row, fields);
  return true;
}

void ReadAllAnimals(SQLite::Database& db, const std::vector<CField>& fields,
                    std::vector<CAnimal>& animals) {
  ReadRecords(db, "SELECT * FROM Animals order by Id asc", animals,
              [&fields](const SQLite::Table& row) { return AnimalFromRow(row, fields); });
}

bool LoadAnimal(Experiment& experiment, int id, CAnimal& animal) {
  bool found = false;
  CAnimal read;
  const bool ok = RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
    found = ReadAnimal(db, id, experiment.fields, read);
  });
  if (!ok || !found) return false;
  animal = std::move(read);
  return true;
}

bool SaveAnimal(Experiment& experiment, CAnimal& animal) {
  CAnimal written = animal;
  if (!RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
        WriteAnimal(db, written, experiment);
      })) {
    return false;
  }
  animal = std::move(written);
  experiment.Remember(animal);
  return true;
}

bool DeleteAnimal(Experiment& experiment, int id) {
  const bool ok = RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    db.Execute(Format("delete from Animals where Id=%d", id));
  });
  if (ok) std::erase_if(experiment.animals, [id](const CAnimal& a) { return a.id == id; });
  return ok;
}

bool DeleteAnimals(Experiment& experiment, const std::vector<int>& ids) {
  const bool ok = RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    db.Execute(Format("delete from Animals where Id in %s", SqlIdList(ids).c_str()));
  });
  if (ok) {
    std::erase_if(experiment.animals, [&ids](const CAnimal& a) {
      return std::find(ids.begin(), ids.end(), a.id) != ids.end();
    });
  }
  return ok;
}

int CountTestsOfAnimal(Experiment& experiment, int id) {
  return QuerySingleInt(experiment.file, Format("Select COUNT(*) from Tests where IdAnimal=%d", id));
}

bool ListAnimalsByName(Experiment& experiment, std::vector<NamedId>& animals) {
  return ListNamedIds(experiment.file, "select Id,Name from Animals order by Name ASC", animals);
}

}  // namespace vx
