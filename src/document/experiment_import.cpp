#include "document/experiment_import.h"

#include <functional>
#include <map>
#include <vector>

#include "base/messages.h"
#include "base/text.h"
#include "db/experiment_db.h"
#include "db/field_store.h"
#include "db/field_values.h"
#include "db/schema.h"
#include "db/sql_query.h"
#include "db/upgrade.h"
#include "document/experiment_document.h"
#include "document/working_copy.h"

namespace vx {

namespace {

using IdMap = std::map<int, int>;

std::vector<std::string> Columns(SQLite::Database& db, const std::string& table) {
  std::vector<std::string> names;
  SQLite::TablePtr info = db.GetTable(Format("PRAGMA main.table_info('%s')", table.c_str()));
  if (info && info->MoveFirst()) {
    do names.push_back(info->GetText("name")); while (info->MoveNext());
  }
  return names;
}

// Copies the rows of src.table chosen by where into main.table, every column as it is except
// Id (left to the new row unless keepId) and the ones given in replaced (column -> SQL
// expression over the source row). Returns the new id of the last row copied.
int CopyRows(SQLite::Database& db, const std::string& table, const std::string& where,
             const std::map<std::string, std::string>& replaced, bool keepId = false) {
  std::string columns, values;
  for (const std::string& column : Columns(db, table)) {
    if (column == "Id" && !keepId) continue;
    const auto replacement = replaced.find(column);
    columns += (columns.empty() ? "" : ",") + column;
    values += (values.empty() ? "" : ",") + (replacement != replaced.end() ? replacement->second : column);
  }
  db.Execute(Format("insert into main.%s (%s) select %s from src.%s where %s", table.c_str(),
                    columns.c_str(), values.c_str(), table.c_str(), where.c_str()));
  return InsertedId(db);
}

// The protocol ids of a column, rewritten through the map (-1 and unknown ids stay -1).
std::string ProtocolExpression(const IdMap& protocols, const std::string& column) {
  std::string expression = "case " + column;
  for (const auto& [from, to] : protocols) expression += Format(" when %d then %d", from, to);
  return expression + " else -1 end";
}

void CopyProtocols(SQLite::Database& db, IdMap& protocols, ImportCounts& counts) {
  for (int id : QueryInts(db, "select Id from src.Protocols order by Id")) {
    protocols[id] = CopyRows(db, "Protocols", Format("Id=%d", id), {});
    const std::map<std::string, std::string> owner = {{"IdProtocol", std::to_string(protocols[id])}};
    CopyRows(db, "Zones", Format("IdProtocol=%d", id), owner, true);
    IdMap results;
    for (int result : QueryInts(db, Format("select Id from src.Results where IdProtocol=%d order by Id", id))) {
      results[result] = CopyRows(db, "Results", Format("Id=%d", result), owner);
    }
    CopyRows(db, "Filters", Format("IdProtocol=%d", id), owner);
    // The protocol's default result table follows its new id.
    const int defaultResult = QueryInt(db, Format("select DefaultResult from src.Protocols where Id=%d", id), -1);
    db.Execute(Format("update main.Protocols set DefaultResult=%d where Id=%d",
                      results.count(defaultResult) > 0 ? results[defaultResult] : -1, protocols[id]));
    ++counts.protocols;
  }
}

void CopyFields(SQLite::Database& db, const IdMap& protocols, FieldIdTranslation& translation,
                ImportCounts& counts) {
  for (int id : QueryInts(db, "select Id from src.Fields order by Id")) {
    translation.fields[id] = CopyRows(db, "Fields", Format("Id=%d", id),
                                      {{"IdProtocol", ProtocolExpression(protocols, "IdProtocol")}});
    for (int choice : QueryInts(db, Format("select Id from src.Choices where IdField=%d order by Id", id))) {
      translation.choices[choice] = CopyRows(db, "Choices", Format("Id=%d", choice),
                                             {{"IdField", std::to_string(translation.fields[id])}});
    }
    ++counts.fields;
  }
}

void CopyAnimals(SQLite::Database& db, const FieldIdTranslation& translation, ImportCounts& counts) {
  std::vector<CField> fields;
  ReadAllFields(db, fields);  // the current file's fields, imported ones included
  SQLite::TablePtr animals = db.GetTable("select Id, Fields from src.Animals order by Id");
  if (!animals || !animals->MoveFirst()) return;
  do {
    const std::string values =
        FormatFieldValues(ParseFieldValues(animals->GetText("Fields"), fields, &translation), fields);
    CopyRows(db, "Animals", Format("Id=%d", animals->GetId()), {{"Fields", "'" + SqlQuote(values) + "'"}});
    ++counts.animals;
  } while (animals->MoveNext());
}

// A video kept in the other experiment's companion folder is copied into this one's (under a
// free name) before its row is written; a video named by a full path stays where it is.
bool CopyVideos(SQLite::Database& db, ExperimentFile& target, const std::string& otherPath, const IdMap& protocols,
                std::vector<std::string>& copied, ImportCounts& counts) {
  FileSystem& files = *target.services.files;
  const std::string from = GetCompanionFolder(otherPath), to = target.CompanionFolder();
  SQLite::TablePtr videos = db.GetTable("select Id, File from src.Videos order by Id");
  if (!videos || !videos->MoveFirst()) return true;
  do {
    std::string stored = videos->GetText("File");
    if (!stored.empty() && stored.front() != '/' && files.Exists(from + stored)) {
      std::string name = stored;
      for (int n = 2; files.Exists(to + name); ++n) name = Format("%d_%s", n, stored.c_str());
      if (!files.CreateDirectories(to) || !files.CopyFile(from + stored, to + name)) return false;
      copied.push_back(to + name);
      stored = name;
    }
    CopyRows(db, "Videos", Format("Id=%d", videos->GetId()),
             {{"File", "'" + SqlQuote(stored) + "'"}, {"IdProtocol", ProtocolExpression(protocols, "IdProtocol")}});
    ++counts.videos;
  } while (videos->MoveNext());
  return true;
}

void Refuse(ExperimentFile& target, int messageId, const std::string& text) {
  target.services.notifier->Notify(messageId, text, MessageIcon::Stop);
}

// The other file, copied to the temporary folder with the journal a killed writer may have
// left (without it the copy could hold half a write), checked and brought to this version.
bool PrepareCopy(ExperimentFile& target, const std::string& otherPath, const std::string& copy) {
  FileSystem& files = *target.services.files;
  RemoveDatabaseFile(files, copy);
  const std::string damaged = Format(MessageText(msg::kNotAnExperiment), otherPath.c_str());
  if (!files.CopyFile(otherPath, copy) ||
      (files.FileSize(otherPath + "-journal") > 0 && !files.CopyFile(otherPath + "-journal", copy + "-journal"))) {
    Refuse(target, msg::kNotAnExperiment, damaged);
    return false;
  }
  ExperimentFile source = target;
  source.path = copy;
  source.workPath.clear();
  SQLite::Database db;
  if (!OpenExperimentDb(db, source, {.path = copy, .checkType = true})) {
    Refuse(target, msg::kNotAnExperiment, damaged);
    return false;
  }
  if (ReadSchemaVersion(db) > kCurrentSchemaVersion) {
    Refuse(target, msg::kImportNewerVersion, MessageText(msg::kImportNewerVersion));
    return false;
  }
  if (!UpgradeExperimentDb(db, source) || db.lastError() != SQLite::kOk) {
    Refuse(target, msg::kNotAnExperiment, damaged);
    return false;
  }
  return true;
}

}  // namespace

bool ImportFromExperiment(ExperimentFile& target, const std::string& otherPath, ImportCounts& counts) {
  FileSystem& files = *target.services.files;
  counts = {};
  if (otherPath == target.path) {
    Refuse(target, msg::kSelectOtherFile, MessageText(msg::kSelectOtherFile));
    return false;
  }
  // One copy per target: two programs importing into two experiments do not share it.
  const std::string copy =
      files.TempFolder() + Format("dbimport-%zx.vxdb", std::hash<std::string>{}(target.path));
  std::vector<std::string> copied;
  bool imported = PrepareCopy(target, otherPath, copy);
  if (imported) {
    SQLite::Database db;
    imported = OpenExperimentDb(db, target) &&
               db.Execute("ATTACH DATABASE '" + SqlQuote(copy) + "' AS src") == SQLite::kOk;
    if (imported) {
      MarkWriting(target);
      IdMap protocols;
      FieldIdTranslation translation;
      if (db.BeginTransaction()) {
        CopyProtocols(db, protocols, counts);
        CopyFields(db, protocols, translation, counts);
        CopyAnimals(db, translation, counts);
        if (!CopyVideos(db, target, otherPath, protocols, copied, counts)) db.SetLastError(SQLite::kIoErr);
      }
      imported = EndWriteTransaction(db, target);
    }
  }
  if (!imported) {
    for (const std::string& file : copied) files.RemoveFile(file);
    counts = {};
  }
  RemoveDatabaseFile(files, copy);
  return imported;
}

}  // namespace vx
