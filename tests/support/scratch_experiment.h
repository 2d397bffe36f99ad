// A new, empty experiment file in a temporary folder, wired to fake services, with plain-SQL
// helpers to set up rows and to inspect what the code under test stored.
//
// Header-only: usable by the tests of every module that links the database layer.
#pragma once

#include <string>

#include "db/experiment_db.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace vx::testing {

class ScratchExperiment {
 public:
  ScratchExperiment() {
    file.path = dir.File("exp.vxdb");
    file.services = services.Bundle();
    SQLite::Database db;
    created = OpenExperimentDb(db, file, {.createIfMissing = true});
    file.modified = false;
  }

  // Runs a statement outside the code under test; false when it fails.
  bool Execute(const std::string& sql) const {
    SQLite::Database db;
    return db.Open(file.path) == SQLite::kOk && db.Execute(sql) == SQLite::kOk;
  }

  // The first cell of a query as text ("" for NULL), or "<none>" when there is no row.
  std::string Cell(const std::string& sql) const {
    SQLite::Database db;
    if (db.Open(file.path) != SQLite::kOk) return "<none>";
    SQLite::TablePtr table = db.GetTable(sql);
    if (!table || table->GetRowCount() == 0 || table->GetColumnCount() == 0) return "<none>";
    table->MoveFirst();
    return table->GetText(table->Columns()[0]);
  }

  TempDir dir;
  TestServices services;
  ExperimentFile file;
  bool created = false;
};

}  // namespace vx::testing
