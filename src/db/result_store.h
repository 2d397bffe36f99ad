// Result definitions (table Results) on their own, and the report cache (table ReportsData).
//
// A result definition is a named measure definition of a protocol (its Config text belongs to
// the report code). Saving a definition drops its cached results, since they were computed
// from the old definition. The cache holds one blob per (definition, test); its format belongs
// to the report code too.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/experiment.h"
#include "db/protocol.h"

namespace vx {

// Every column of a Results row. The columns after Config hold the result view's state.
struct ResultDefinition {
  int id = -1;
  int idProtocol = -1;
  std::string name;
  std::string config;
  std::string filter;
  std::string groupBy;
  std::string collapsed;
  std::string checked;
  std::string columns;
  int sldCurve = 50;
  int showCurve = 1;
  std::string chart;
  std::string file;
};

// False when no definition has that id.
bool LoadResultDefinition(Experiment& experiment, int id, ResultDefinition& definition);
// Updates name and config of an existing definition (dropping its cached results), or inserts
// a new one for protocolId (the new id is written back). The protocol's list follows.
bool SaveResultDefinition(Experiment& experiment, ResultRow& row, int protocolId);
// Deletes the definition and the favourites that show it.
bool DeleteResultDefinition(Experiment& experiment, int id);
// A protocol's definitions, by id.
bool ListResultDefinitions(Experiment& experiment, int protocolId, std::vector<NamedId>& list);
// The highest definition id; 0 when there is none, -1 when the file cannot be read.
int HighestResultId(Experiment& experiment);

// The cached result of a test for a definition; false when there is none (data cleared).
bool ReadCachedResult(Experiment& experiment, int reportId, int testId, std::vector<uint8_t>& data);
// Stores the cached result (update or insert); an empty blob deletes the entry instead.
bool StoreCachedResult(Experiment& experiment, int reportId, int testId,
                       const std::vector<uint8_t>& data);
bool DropCachedResult(Experiment& experiment, int reportId, int testId);

}  // namespace vx
