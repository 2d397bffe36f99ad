#include "db/result_store.h"

#include <algorithm>

#include "base/text.h"
#include "db/experiment_db.h"
#include "db/protocol_store.h"
#include "db/sql_query.h"

namespace vx {

namespace {

ResultDefinition DefinitionFromRow(const SQLite::Table& row) {
  ResultDefinition d;
  d.id = row.GetId();
  d.idProtocol = row.GetInt("IdProtocol");
  d.name = row.GetText("Name");
  d.config = row.GetText("Config");
  d.filter = row.GetText("Filter");
  d.groupBy = row.GetText("GroupBy");
  d.collapsed = row.GetText("Collapsed");
  d.checked = row.GetText("Checked");
  d.columns = row.GetText("Columns");
  d.sldCurve = row.GetInt("SldCurve");
  d.showCurve = row.GetInt("ShowCurve");
  d.chart = row.GetText("Chart");
  d.file = row.GetText("File");
  return d;
}

// Keeps the protocol's list of definitions in step with a saved or deleted row.
void RememberResult(Experiment& experiment, const ResultRow& row, int protocolId) {
  CProtocol* protocol = experiment.FindProtocol(protocolId);
  if (protocol == nullptr) return;
  auto found = std::find_if(protocol->results.begin(), protocol->results.end(),
                            [&](const ResultRow& r) { return r.id == row.id; });
  if (found != protocol->results.end()) {
    *found = row;
  } else {
    protocol->results.push_back(row);
  }
}

std::string CacheKey(int reportId, int testId) {
  return Format("where IdReport=%d and IdTest=%d", reportId, testId);
}

}  // namespace

bool LoadResultDefinition(Experiment& experiment, int id, ResultDefinition& definition) {
  std::vector<ResultDefinition> read;
  const bool ok = RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
    ReadRecords(db, Format("select * from Results where Id=%d", id), read, DefinitionFromRow);
  });
  if (!ok || read.empty()) return false;
  definition = read.front();
  return true;
}

bool SaveResultDefinition(Experiment& experiment, ResultRow& row, int protocolId) {
  ResultRow written = row;
  int owner = protocolId;
  const bool ok = RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    const std::string name = SqlQuote(written.name), config = SqlQuote(written.config);
    SQLite::TablePtr existing =
        db.GetTable(Format("select * from Results where Id=%d", written.id));
    if (written.id != -1 && existing && existing->GetRowCount() > 0) {
      owner = existing->GetInt("IdProtocol");
      db.Execute(Format("Update Results Set Name='%s', Config='%s' Where Id=%d", name.c_str(),
                        config.c_str(), written.id));
      db.Execute(Format("delete from ReportsData where IdReport=%d", written.id));
    } else {
      db.Execute(Format("Insert into Results (Name, Config, IdProtocol) Values ('%s','%s',%d)",
                        name.c_str(), config.c_str(), protocolId));
      written.id = InsertedId(db);
    }
  });
  if (!ok) return false;
  row = written;
  RememberResult(experiment, row, owner);
  return true;
}

bool DeleteResultDefinition(Experiment& experiment, int id) {
  const bool ok = RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    db.Execute(Format("delete from Results where Id=%d", id));
    db.Execute(Format("delete from Favorites where IdReport=%d", id));
    db.Execute(Format("delete from ReportsData where IdReport=%d", id));
  });
  if (!ok) return false;
  for (CProtocol& protocol : experiment.protocols) {
    std::erase_if(protocol.results, [id](const ResultRow& r) { return r.id == id; });
  }
  return true;
}

bool ListResultDefinitions(Experiment& experiment, int protocolId, std::vector<NamedId>& list) {
  return ListNamedIds(
      experiment.file,
      Format("select Id, Name from Results where IdProtocol=%d order by Id asc", protocolId), list);
}

int HighestResultId(Experiment& experiment) {
  return QuerySingleInt(experiment.file, "SELECT MAX(Id) AS maxid FROM Results");
}

bool SelectReportTests(Experiment& experiment, int protocolId, bool acquiredIsEnough,
                       const std::vector<int>* ids, std::vector<NamedId>& tests) {
  std::string sql = Format("select Id,Title,Scale,AdjustArena,IdArena,Source,DateAnalyse,"
                           "InfosAnalyse,Fields,IdAnimal from Tests where %s and Status=0 and "
                           "IdProtocol=%d",
                           acquiredIsEnough ? "Source>=0" : "DateAnalyse<>0", protocolId);
  if (ids != nullptr) sql += Format(" and Id in %s", SqlIdList(*ids).c_str());
  sql += " order by Id asc";
  std::vector<NamedId> read;
  const bool ok = RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
    ReadRecords(db, sql, read, [](const SQLite::Table& row) {
      return NamedId{row.GetId(), row.GetText("Title")};
    });
  });
  if (!ok) return false;
  tests = std::move(read);
  return true;
}

bool ReadCachedResults(Experiment& experiment, int reportId, const std::vector<int>& testIds,
                       std::map<int, std::vector<uint8_t>>& blobs) {
  std::map<int, std::vector<uint8_t>> read;
  const bool ok = RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
    for (const int testId : testIds) {
      if (db.lastError() != SQLite::kOk) return;
      std::vector<uint8_t> data;
      db.ReadBlob("select Data from ReportsData " + CacheKey(reportId, testId), data);
      if (!data.empty()) read[testId] = std::move(data);
    }
  });
  blobs.clear();
  if (!ok) return false;
  blobs = std::move(read);
  return true;
}

bool ReadCachedResult(Experiment& experiment, int reportId, int testId,
                      std::vector<uint8_t>& data) {
  data.clear();
  std::vector<uint8_t> read;
  const bool ok = RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
    db.ReadBlob("select Data from ReportsData " + CacheKey(reportId, testId), read);
  });
  if (!ok || read.empty()) return false;
  data = std::move(read);
  return true;
}

bool StoreCachedResult(Experiment& experiment, int reportId, int testId,
                       const std::vector<uint8_t>& data) {
  return StoreCachedResults(experiment, reportId, {{testId, data}});
}

bool StoreCachedResults(Experiment& experiment, int reportId,
                        const std::vector<CachedResult>& entries) {
  return RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    for (const CachedResult& entry : entries) {
      if (db.lastError() != SQLite::kOk) return;
      const std::string key = CacheKey(reportId, entry.testId);
      if (entry.data.empty()) {
        db.Execute("delete from ReportsData " + key);
      } else if (RowExists(db, "select IdTest from ReportsData " + key)) {
        db.WriteBlob("update ReportsData set Data=? " + key, entry.data.data(), entry.data.size());
      } else {
        db.WriteBlob(Format("insert into ReportsData (IdReport, IdTest, Data) Values (%d,%d,?)",
                            reportId, entry.testId),
                     entry.data.data(), entry.data.size());
      }
    }
  });
}

bool DropCachedResult(Experiment& experiment, int reportId, int testId) {
  return RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    db.Execute("delete from ReportsData " + CacheKey(reportId, testId));
  });
}

}  // namespace vx
