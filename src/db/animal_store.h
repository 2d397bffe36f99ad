// Animals (table Animals) and the texts their columns hold.
//
// AnimalSize is "Exp" when the animal uses the experiment's default size setting (the Infos row
// "Animals"), else the animal's own seven-integer setting; MinSize and MaxSize are then written
// from the experiment default. DefaultArena is empty or "0,<arena number>,<zone id>".
#pragma once

#include <string>
#include <vector>

#include "db/animal.h"
#include "db/experiment.h"
#include "db/sqlite_database.h"

namespace vx {

// False when no animal has that id (the record keeps its values).
bool LoadAnimal(Experiment& experiment, int id, CAnimal& animal);
// Update by id, else insert (the new id is written back); refreshes the experiment's list.
bool SaveAnimal(Experiment& experiment, CAnimal& animal);
bool DeleteAnimal(Experiment& experiment, int id);
bool DeleteAnimals(Experiment& experiment, const std::vector<int>& ids);
// The number of tests of the animal; -1 when the file cannot be read.
int CountTestsOfAnimal(Experiment& experiment, int id);
// Every animal's id and name, sorted by name.
bool ListAnimalsByName(Experiment& experiment, std::vector<NamedId>& animals);

// Column texts.
std::string FormatAnimalSizeColumn(const CAnimal& animal);
// "Exp" or empty: the experiment default. A seven-integer text: the animal's own setting.
// Anything else: an own setting derived from the MinSize and MaxSize columns.
void ParseAnimalSizeColumn(const std::string& text, CAnimal& animal);
std::string FormatDefaultArena(const DefaultArena& arena);
DefaultArena ParseDefaultArena(const std::string& text);

// Inside a transaction the caller holds; fields decode the custom-field values.
bool ReadAnimal(SQLite::Database& db, int id, const std::vector<CField>& fields, CAnimal& animal);
void ReadAllAnimals(SQLite::Database& db, const std::vector<CField>& fields,
                    std::vector<CAnimal>& animals);

}  // namespace vx
