// The tables of a current experiment file (schema version 24), the first Infos rows, and how a
// file is recognised as an experiment file of this system.
#pragma once

#include <string>

#include "db/sqlite_database.h"

namespace vx {

inline constexpr int kCurrentSchemaVersion = 24;
inline constexpr const char* kFileTypeName = "Velantrix";

// Creation statements of the current tables, in creation order.
namespace schema {
extern const char* const kChoices;
extern const char* const kFields;
extern const char* const kAnimals;
extern const char* const kTests;
extern const char* const kTestsPoints;
extern const char* const kProtocols;
extern const char* const kZones;
extern const char* const kImgRef;
extern const char* const kResults;
extern const char* const kColors;
extern const char* const kFilters;
extern const char* const kFavorites;
extern const char* const kVideos;
extern const char* const kMovableZones;
extern const char* const kReportsData;
extern const char* const kInfos;
// Older first forms that upgrades create before later steps add their columns.
extern const char* const kResultsFirstForm;  // without Chart and File
extern const char* const kFiltersFirstForm;  // without Formule
extern const char* const kVideosFirstForm;   // without Infos
}  // namespace schema

// The experiment's default animal-size setting of a new file.
inline constexpr const char* kDefaultAnimalSizeSetting = "0|1|6|5|50|10|70";

// Creates every table and the first Infos rows. Errors are left in db.lastError().
void CreateSchema(SQLite::Database& db);

// The schema version stored in Infos ("VersionDB"): 0 when the row is missing, -1 when the
// query cannot run. hasRow tells whether a row exists.
int ReadSchemaVersion(SQLite::Database& db, bool* hasRow = nullptr);

// True when the open file is an experiment file of this system (see the identification rules
// in schema.cpp). Does not close the connection.
bool CheckFileType(SQLite::Database& db);

// The number of triggers and views in the file's schema (this system creates none).
int CountForeignSchemaObjects(SQLite::Database& db);

// True when table has a column of that name (case-insensitive).
bool ColumnExists(SQLite::Database& db, const std::string& table, const std::string& column);

}  // namespace vx
