#include "db/filter_store.h"

#include <algorithm>

#include "base/text.h"
#include "db/experiment_db.h"
#include "db/protocol_store.h"
#include "db/sql_query.h"

namespace vx {

bool LoadFilter(Experiment& experiment, int id, FilterRow& filter, int& protocolId) {
  bool found = false;
  FilterRow read;
  int owner = -1;
  const bool ok = RunReadTransaction(experiment.file, [&](SQLite::Database& db) {
    SQLite::TablePtr row = db.GetTable(Format(
        "select Id,Name,Type,List,Formule,Logic, IdProtocol from Filters where Id=%d", id));
    if (!row || row->GetRowCount() == 0) return;
    found = true;
    read = {row->GetId(),         row->GetText("Name"),    row->GetInt("Type"),
            row->GetText("List"), row->GetText("Formule"), row->GetText("Logic")};
    owner = row->GetInt("IdProtocol");
  });
  if (!ok || !found) return false;
  filter = read;
  protocolId = owner;
  return true;
}

bool SaveFilter(Experiment& experiment, FilterRow& filter, int protocolId) {
  FilterRow written = filter;
  const bool ok = RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    const std::string name = SqlQuote(written.name), list = SqlQuote(written.list),
                      formule = SqlQuote(written.formule), logic = SqlQuote(written.logic);
    if (written.id != -1 && RowExists(db, Format("select Id from Filters where Id=%d", written.id))) {
      db.Execute(Format("Update Filters Set Name='%s', Type=%d, List='%s', Formule='%s', "
                        "Logic='%s' Where Id=%d",
                        name.c_str(), written.type, list.c_str(), formule.c_str(), logic.c_str(),
                        written.id));
    } else {
      db.Execute(Format("Insert into Filters (Name, Type, List, Formule, Logic, IdProtocol) "
                        "Values ('%s',%d,'%s','%s','%s',%d)",
                        name.c_str(), written.type, list.c_str(), formule.c_str(), logic.c_str(),
                        protocolId));
      written.id = InsertedId(db);
    }
  });
  if (!ok) return false;
  filter = written;
  for (CProtocol& protocol : experiment.protocols) {
    auto found = std::find_if(protocol.filters.begin(), protocol.filters.end(),
                              [&](const FilterRow& f) { return f.id == filter.id; });
    if (found != protocol.filters.end()) {
      *found = filter;
      return true;
    }
  }
  if (CProtocol* protocol = experiment.FindProtocol(protocolId)) protocol->filters.push_back(filter);
  return true;
}

bool DeleteFilter(Experiment& experiment, int id) {
  const bool ok = RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    db.Execute(Format("delete from Filters where Id=%d", id));
  });
  if (!ok) return false;
  for (CProtocol& protocol : experiment.protocols) {
    std::erase_if(protocol.filters, [id](const FilterRow& f) { return f.id == id; });
  }
  return true;
}

bool ListFilters(Experiment& experiment, int protocolId, std::vector<NamedId>& list) {
  return ListNamedIds(
      experiment.file,
      Format("select Id, Name from Filters where IdProtocol=%d order by Id asc", protocolId), list);
}

int HighestFilterId(Experiment& experiment) {
  return QuerySingleInt(experiment.file, "SELECT MAX(Id) AS maxid FROM Filters");
}

}  // namespace vx
