#include "db/protocol_store.h"

#include "base/text.h"
#include "db/experiment_db.h"
#include "db/protocol_rows.h"
#include "db/sql_query.h"

namespace vx {

namespace {

void ReadProtocolRow(const SQLite::Table& row, CProtocol& protocol) {
  protocol.id = row.GetId();
  protocol.name = row.GetText("Name");
  protocol.notes = row.GetText("Notes");
  protocol.headDetection = row.GetBool("HeadDetection");
  protocol.width = row.GetInt("Width");
  protocol.height = row.GetInt("Height");
  protocol.source = row.GetText("Source");
  protocol.webcam = row.GetBool("Webcam");
  protocol.maxFps = row.GetInt("MaxFps");
  protocol.crop = row.GetInt("Crop");
  protocol.rulerLength = row.GetInt("RulerLength");
  protocol.rulerUnit = row.GetInt("RulerUnit");
  protocol.diagram = row.GetText("Diagram");
  protocol.maxDuration = row.GetInt("MaxDuration");
  protocol.maxTypeDuration = row.GetInt("MaxTypeDuration");
  protocol.delayRecordNoA = row.GetInt("DelayRecordNoA");
  protocol.typeDelayRecordNoA = row.GetInt("TypeDelayRecordNoA");
  protocol.formatRecordNoA = row.GetInt("FormatRecordNoA");
  protocol.durationRecordNoA = row.GetInt("DurationRecordNoA");
  protocol.typeDurationRecordNoA = row.GetInt("TypeDurationRecordNoA");
  protocol.defaultResult = row.HasColumn("DefaultResult") ? row.GetInt("DefaultResult") : -1;
  protocol.secArenas = row.GetText("SecArenas");
  protocol.inactivityDelay = row.GetInt("InactivityDelay");
  protocol.inactivityUnit = row.GetInt("InactivityUnit");
  protocol.generalOption = ParseProtocolParams(row.GetText("Params"));
  protocol.behaviors = row.GetText("Behaviors");
  protocol.nameTestAuto = row.GetText("NameTestAuto");
  protocol.maxIdZone = row.HasColumn("MaxIdZone") ? row.GetInt("MaxIdZone") : -1;
}

// Step 1 of a save: the protocol row itself.
void WriteProtocolRow(SQLite::Database& db, CProtocol& p) {
  const std::string name = SqlQuote(p.name), notes = SqlQuote(p.notes),
                    source = SqlQuote(p.source), diagram = SqlQuote(p.diagram),
                    secArenas = SqlQuote(p.secArenas),
                    params = SqlQuote(FormatProtocolParams(p.generalOption)),
                    behaviors = SqlQuote(p.behaviors), nameTestAuto = SqlQuote(p.nameTestAuto);
  if (p.id == -1) {
    db.Execute(Format(
        "insert into Protocols (Name, Notes, Width, Height, RulerLength, RulerUnit, Source, "
        "Webcam, MaxFps, Crop, Diagram, MaxDuration, MaxTypeDuration, DelayRecordNoA, "
        "TypeDelayRecordNoA, FormatRecordNoA, DurationRecordNoA, TypeDurationRecordNoA, "
        "SecArenas, HeadDetection, InactivityDelay, InactivityUnit, Params, Behaviors, "
        "NameTestAuto, MaxIdZone) values ('%s','%s',%d,%d,%d,%d,'%s',%d,%d,%d,'%s',%d,%d,%d,%d,"
        "%d,%d,%d,'%s',%d,%d,%d,'%s','%s','%s',%d)",
        name.c_str(), notes.c_str(), p.width, p.height, p.rulerLength, p.rulerUnit,
        source.c_str(), p.webcam ? 1 : 0, p.maxFps, p.crop, diagram.c_str(), p.maxDuration,
        p.maxTypeDuration, p.delayRecordNoA, p.typeDelayRecordNoA, p.formatRecordNoA,
        p.durationRecordNoA, p.typeDurationRecordNoA, secArenas.c_str(), p.headDetection ? 1 : 0,
        p.inactivityDelay, p.inactivityUnit, params.c_str(), behaviors.c_str(),
        nameTestAuto.c_str(), p.maxIdZone));
    p.id = InsertedId(db);
    return;
  }
  db.Execute(Format(
      "update Protocols set Name='%s', Notes='%s', Width=%d, Height=%d, RulerLength=%d, "
      "RulerUnit=%d, Source='%s', Webcam=%d, MaxFps=%d, Crop=%d, Diagram='%s', MaxDuration=%d, "
      "MaxTypeDuration=%d, DelayRecordNoA=%d, TypeDelayRecordNoA=%d, FormatRecordNoA=%d, "
      "DurationRecordNoA=%d, TypeDurationRecordNoA=%d, SecArenas='%s', HeadDetection=%d, "
      "InactivityDelay=%d, InactivityUnit=%d, Params='%s', Behaviors='%s', NameTestAuto='%s', "
      "MaxIdZone=%d where Id=%d",
      name.c_str(), notes.c_str(), p.width, p.height, p.rulerLength, p.rulerUnit, source.c_str(),
      p.webcam ? 1 : 0, p.maxFps, p.crop, diagram.c_str(), p.maxDuration, p.maxTypeDuration,
      p.delayRecordNoA, p.typeDelayRecordNoA, p.formatRecordNoA, p.durationRecordNoA,
      p.typeDurationRecordNoA, secArenas.c_str(), p.headDetection ? 1 : 0, p.inactivityDelay,
      p.inactivityUnit, params.c_str(), behaviors.c_str(), nameTestAuto.c_str(), p.maxIdZone,
      p.id));
}

void WriteScreenShot(SQLite::Database& db, const CProtocol& p) {
  if (p.screenShotJpeg.empty()) {
    db.Execute(Format("update Protocols set ScreenShot=NULL where Id=%d", p.id));
  } else {
    db.WriteBlob(Format("update Protocols set ScreenShot=? where Id=%d", p.id),
                 p.screenShotJpeg.data(), p.screenShotJpeg.size());
  }
}

}  // namespace

void WriteProtocol(SQLite::Database& db, CProtocol& protocol, bool resultsAffected) {
  // Every step depends on the previous one; a recorded error ends the save at once.
  const auto failed = [&db] { return db.lastError() != SQLite::kOk; };
  WriteProtocolRow(db, protocol);
  if (failed()) return;
  WriteScreenShot(db, protocol);
  if (failed()) return;
  WriteZoneRows(db, protocol.id, protocol.zones);
  if (failed()) return;
  WriteResultRows(db, protocol.id, protocol.results);
  if (failed()) return;
  WriteFilterRows(db, protocol.id, protocol.filters);
  if (failed()) return;
  if (resultsAffected) {
    db.Execute(Format("delete from ReportsData where IdReport IN (select Id from Results where "
                      "IdProtocol=%d)",
                      protocol.id));
  }
}

std::string FormatProtocolParams(bool generalOption) {
  return Format("%d|%d|", 0, generalOption ? 1 : 0);
}

bool ParseProtocolParams(const std::string& text) {
  if (text.empty()) return false;
  Tokenizer tokens(text, '|');
  std::string first, second;
  if (!tokens.Next(first) || !tokens.Next(second)) return false;
  return ToInt(second) != 0;
}

bool ReadProtocol(SQLite::Database& db, int id, CProtocol& protocol) {
  SQLite::TablePtr row = db.GetTable(Format("select * from Protocols where Id=%d", id));
  if (!row || row->GetRowCount() == 0) return false;
  CProtocol read;
  ReadProtocolRow(*row, read);
  db.ReadBlob(Format("select ScreenShot from Protocols where Id=%d", id), read.screenShotJpeg);
  ReadZoneRows(db, id, read.zones);
  ReadResultRows(db, id, read.results);
  ReadFilterRows(db, id, read.filters);
  protocol = std::move(read);
  return true;
}

void ReadAllProtocols(SQLite::Database& db, std::vector<CProtocol>& protocols) {
  protocols.clear();
  for (int id : QueryInts(db, "select Id from Protocols order by Id asc")) {
    CProtocol protocol;
    if (ReadProtocol(db, id, protocol)) protocols.push_back(std::move(protocol));
  }
}

void ReadNamedIds(SQLite::Database& db, const std::string& sql, std::vector<NamedId>& entries) {
  ReadRecords(db, sql, entries, [](const SQLite::Table& row) {
    return NamedId{row.GetId(), row.GetText("Name")};
  });
}

bool LoadProtocol(Experiment& experiment, int id, CProtocol& protocol) {
  bool found = false;
  CProtocol read;
  const bool ok = RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
    found = ReadProtocol(db, id, read);
  });
  if (!ok || !found) return false;
  protocol = std::move(read);
  return true;
}

bool SaveProtocol(Experiment& experiment, CProtocol& protocol, bool resultsAffected) {
  CProtocol written = protocol;
  const bool ok = RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    WriteProtocol(db, written, resultsAffected);
  });
  if (!ok) return false;
  protocol = std::move(written);
  experiment.Remember(protocol);
  return true;
}

bool DeleteProtocol(Experiment& experiment, int id) {
  const bool ok = RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    db.Execute(Format("delete from Protocols where Id=%d", id));
    db.Execute(Format("delete from Zones where IdProtocol=%d", id));
    db.Execute(Format("delete from Favorites where IdProtocol=%d", id));
    const std::vector<int> fieldIds =
        QueryInts(db, Format("SELECT Id FROM Fields where IdProtocol=%d", id));
    db.Execute(Format("delete from Choices where IdField in %s", SqlIdList(fieldIds).c_str()));
    db.Execute(Format("delete from Fields where IdProtocol=%d", id));
    db.Execute(Format(
        "delete from ReportsData where IdReport IN (select Id from Results where IdProtocol=%d)",
        id));
  });
  if (!ok) return false;
  std::erase_if(experiment.protocols, [id](const CProtocol& p) { return p.id == id; });
  std::erase_if(experiment.fields, [id](const CField& f) { return f.idProtocol == id; });
  return true;
}

bool ListProtocolsByName(Experiment& experiment, std::vector<NamedId>& protocols) {
  return ListNamedIds(experiment.file, "select Id,Name from Protocols order by Name ASC",
                      protocols);
}

}  // namespace vx
