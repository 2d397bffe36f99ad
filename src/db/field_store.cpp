#include "db/field_store.h"

#include "base/text.h"
#include "db/experiment_db.h"
#include "db/sql_query.h"

namespace vx {

namespace {

void ReadChoices(SQLite::Database& db, CField& field) {
  field.choices.clear();
  if (field.type != kFieldChoice && field.type != kFieldProtocolChoice) return;
  const int protocol =
      field.type == kFieldProtocolChoice && field.category != 0 ? field.idProtocol : -1;
  ReadRecords(db, Format("SELECT * FROM Choices where IdField=%d order by Ordre asc", field.id),
              field.choices, [protocol](const SQLite::Table& row) {
                CChoice choice;
                choice.id = row.GetId();
                choice.name = row.GetText("Name");
                choice.idZone = row.HasColumn("IdZone") ? row.GetInt("IdZone") : -1;
                choice.idProtocol = protocol;
                return choice;
              });
}

CField FieldFromRow(const SQLite::Table& row) {
  CField field;
  field.id = row.GetId();
  field.name = row.GetText("Name");
  field.unit = row.GetText("Unit");
  field.ordre = row.GetInt("Ordre");
  field.category = row.GetInt("Category");
  field.type = row.GetInt("Type");
  field.idProtocol = row.HasColumn("IdProtocol") ? row.GetInt("IdProtocol") : -1;
  field.idZone = row.HasColumn("IdZone") ? row.GetInt("IdZone") : -1;
  return field;
}

void ReadFieldList(SQLite::Database& db, const std::string& sql, std::vector<CField>& fields) {
  ReadRecords(db, sql, fields, FieldFromRow);
  for (CField& field : fields) ReadChoices(db, field);
}

void WriteChoices(SQLite::Database& db, CField& field) {
  if (field.type != kFieldChoice && field.type != kFieldProtocolChoice) return;
  std::vector<int> kept;
  for (const CChoice& choice : field.choices) {
    if (choice.id >= 0) kept.push_back(choice.id);
  }
  if (kept.empty()) {
    db.Execute(Format("delete from Choices where IdField=%d", field.id));
  } else {
    db.Execute(Format("delete from Choices where IdField=%d and Id NOT in %s", field.id,
                      SqlIdList(kept).c_str()));
  }
  for (size_t order = 0; order < field.choices.size() && db.lastError() == SQLite::kOk; ++order) {
    CChoice& choice = field.choices[order];
    const std::string name = SqlQuote(choice.name);
    if (choice.id >= 0) {
      db.Execute(Format("update Choices set Name= '%s',Ordre=%d, IdZone=%d where Id=%d",
                        name.c_str(), static_cast<int>(order), choice.idZone, choice.id));
    } else {
      db.Execute(Format("insert into Choices(Name,IdField,Ordre,IdZone) values ('%s',%d,%d,%d)",
                        name.c_str(), field.id, static_cast<int>(order), choice.idZone));
      choice.id = InsertedId(db);
    }
  }
}

void WriteField(SQLite::Database& db, CField& field, bool keepId) {
  const std::string name = SqlQuote(field.name);
  const std::string unit = SqlQuote(field.unit);
  if (field.id >= 0 && RowExists(db, Format("select Id from Fields where Id=%d", field.id))) {
    db.Execute(Format("update Fields set Name='%s',IdProtocol=%d,Unit='%s',Category=%d,Type=%d,"
                      "IdZone=%d where Id=%d",
                      name.c_str(), field.idProtocol, unit.c_str(), field.category, field.type,
                      field.idZone, field.id));
  } else if (keepId && field.id >= 0) {
    db.Execute(Format("insert into Fields(Id,Name,IdProtocol,Unit,Ordre,Category,Type,IdZone) "
                      "values (%d,'%s',%d,'%s',0,%d,%d,%d)",
                      field.id, name.c_str(), field.idProtocol, unit.c_str(), field.category,
                      field.type, field.idZone));
    field.ordre = 0;
  } else {
    db.Execute(Format("insert into Fields(Name,IdProtocol,Unit,Ordre,Category,Type,IdZone) "
                      "values ('%s',%d,'%s',0,%d,%d,%d)",
                      name.c_str(), field.idProtocol, unit.c_str(), field.category, field.type,
                      field.idZone));
    field.id = InsertedId(db);
    field.ordre = 0;
  }
  if (db.lastError() == SQLite::kOk) WriteChoices(db, field);
}

void ReadPicks(SQLite::Database& db, const std::string& sql, std::vector<FieldPick>& picks) {
  ReadRecords(db, sql, picks, [](const SQLite::Table& row) {
    return FieldPick{row.GetId(), row.GetText("Name"), row.GetInt("Type")};
  });
}

}  // namespace

bool ReadField(SQLite::Database& db, int id, CField& field) {
  SQLite::TablePtr table = db.GetTable(Format("SELECT * FROM Fields where Id=%d", id));
  if (!table || table->GetRowCount() == 0) return false;
  field = FieldFromRow(*table);
  ReadChoices(db, field);
  return true;
}

void ReadAllFields(SQLite::Database& db, std::vector<CField>& fields) {
  ReadFieldList(db, "SELECT * FROM Fields order by Category asc, Ordre asc", fields);
}

void ReadProtocolFields(SQLite::Database& db, int protocolId, std::vector<CField>& fields) {
  ReadFieldList(db, Format("SELECT * FROM Fields Where IdProtocol=%d", protocolId), fields);
}

bool LoadField(Experiment& experiment, int id, CField& field) {
  bool found = false;
  CField read;
  const bool ok = RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
    found = ReadField(db, id, read);
  });
  if (!ok || !found) return false;
  field = std::move(read);
  return true;
}

bool SaveField(Experiment& experiment, CField& field, bool keepId) {
  CField written = field;
  if (!RunWriteTransaction(experiment.file,
                           [&](SQLite::Database& db) { WriteField(db, written, keepId); })) {
    return false;
  }
  field = written;
  experiment.Remember(field);
  return true;
}

bool DeleteField(Experiment& experiment, int id) {
  const bool ok = RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    db.Execute(Format("delete from Fields where Id=%d", id));
    db.Execute(Format("delete from Choices where IdField=%d", id));
  });
  if (ok) std::erase_if(experiment.fields, [id](const CField& f) { return f.id == id; });
  return ok;
}

bool ListFieldsForPicker(Experiment& experiment, int category, std::vector<FieldPick>& picks) {
  return RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
    ReadPicks(db, Format("select Id,Name,Type from Fields WHERE Category=%d order by Name ASC",
                         category),
              picks);
  });
}

bool ListFieldsForPicker(Experiment& experiment, int category, const std::vector<int>& protocolIds,
                         std::vector<FieldPick>& picks) {
  return RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
    ReadPicks(db, Format("select Id,Name,Type from Fields WHERE Category=%d AND IdProtocol IN %s",
                         category, SqlIdList(protocolIds).c_str()),
              picks);
  });
}

}  // namespace vx
