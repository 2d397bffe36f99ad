// A fresh experiment file in a temporary folder, wired to recording fakes, for the tests of
// the database layer and of every module above it. Header-only: it needs vx_db, which the test
// programs of db and the modules above link.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/experiment.h"
#include "db/experiment_db.h"
#include "db/sqlite_database.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace vx::testing {

class ExperimentFixture {
 public:
  explicit ExperimentFixture(const std::string& fileName = "experiment.vxdb") {
    experiment.file.path = dir.File(fileName);
    experiment.file.services = services.Bundle();
    SQLite::Database db;
    created = OpenExperimentDb(db, experiment.file, {.createIfMissing = true});
    experiment.file.modified = false;
    loaded = created && experiment.LoadAll();
  }

  const std::string& path() const { return experiment.file.path; }

  TempDir dir;
  TestServices services;
  Experiment experiment;
  bool created = false;
  bool loaded = false;
};

// Every row of a query on a file, as text cells (NULL as ""), through a connection of its own;
// independent of the record code under test.
inline std::vector<std::vector<std::string>> QueryRows(const std::string& path,
                                                       const std::string& sql) {
  SQLite::Database db;
  std::vector<std::vector<std::string>> rows;
  if (db.Open(path) != SQLite::kOk) return rows;
  SQLite::TablePtr table = db.GetTable(sql);
  if (!table || !table->MoveFirst()) return rows;
  do {
    std::vector<std::string> row;
    for (const std::string& column : table->Columns()) row.push_back(table->GetText(column));
    rows.push_back(std::move(row));
  } while (table->MoveNext());
  return rows;
}

// Runs statements on a file through a connection of its own (to prepare or damage a file).
inline void ExecuteSql(const std::string& path, const std::string& sql) {
  SQLite::Database db;
  ASSERT_EQ(db.Open(path), SQLite::kOk);
  ASSERT_EQ(db.Execute(sql), SQLite::kOk) << sql << ": " << db.ErrorText();
}

// The single value of a query ("" when there is no row).
inline std::string QueryValue(const std::string& path, const std::string& sql) {
  const auto rows = QueryRows(path, sql);
  return rows.empty() || rows[0].empty() ? std::string() : rows[0][0];
}

}  // namespace vx::testing
