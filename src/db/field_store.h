// Custom field definitions (table Fields) and their list choices (table Choices).
//
// A field belongs to one of two categories (0 or 1) and is listed category by category, in its
// display order. List fields (types 2 and 3) own their choices; a type-3 choice also names a
// protocol: the field's protocol when its category is not 0, else -1.
#pragma once

#include <vector>

#include "db/experiment.h"
#include "db/field.h"
#include "db/sqlite_database.h"

namespace vx {

// Reads one field and its choices. False when no field has that id.
bool LoadField(Experiment& experiment, int id, CField& field);
// Saves the field (update by id, else insert; with keepId an absent row is inserted under the
// field's own id, as an import does) and then reconciles its choices: choices no longer listed
// are deleted, the others updated or inserted with their position as order. New ids are
// written back into the record and the experiment's field list is refreshed.
bool SaveField(Experiment& experiment, CField& field, bool keepId = false);
// Deletes the field and its choices.
bool DeleteField(Experiment& experiment, int id);

// The fields of one category sorted by name, with their type (for pickers); with protocolIds,
// only fields of those protocols.
struct FieldPick {
  int id = -1;
  std::string name;
  int type = 0;
};
bool ListFieldsForPicker(Experiment& experiment, int category, std::vector<FieldPick>& picks);
bool ListFieldsForPicker(Experiment& experiment, int category, const std::vector<int>& protocolIds,
                         std::vector<FieldPick>& picks);

// Inside a transaction the caller holds.
bool ReadField(SQLite::Database& db, int id, CField& field);
void ReadAllFields(SQLite::Database& db, std::vector<CField>& fields);
void ReadProtocolFields(SQLite::Database& db, int protocolId, std::vector<CField>& fields);

}  // namespace vx
