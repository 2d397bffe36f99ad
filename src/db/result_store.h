// Result definitions (table Results) on their own, and the report cache (table ReportsData).
//
// A result definition is a named measure definition of a protocol (its Config text belongs to
// the report code). Saving a definition drops its cached results, since they were computed
// from the old definition. The cache holds one blob per (definition, test); its format belongs
// to the report code too.
#pragma once

#include <cstdint>
#include <map>
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
// Deletes the definition, the favourites that show it and its cached results.
bool DeleteResultDefinition(Experiment& experiment, int id);
// A protocol's definitions, by id.
bool ListResultDefinitions(Experiment& experiment, int protocolId, std::vector<NamedId>& list);
// The highest definition id; 0 when there is none, -1 when the file cannot be read.
int HighestResultId(Experiment& experiment);

// The tests a definition's results are computed for: the tests of protocolId with Status 0 and
// an analysis, or, when acquiredIsEnough (behaviour measures over acquired tests), with a video;
// only those listed in ids when ids is given. In id order, with their titles.
bool SelectReportTests(Experiment& experiment, int protocolId, bool acquiredIsEnough,
                       const std::vector<int>* ids, std::vector<NamedId>& tests);

// The cached results of the tests for a definition, read in one transaction: blobs[testId] for
// every test that has a non-empty entry. False when the file could not be read (blobs empty).
bool ReadCachedResults(Experiment& experiment, int reportId, const std::vector<int>& testIds,
                       std::map<int, std::vector<uint8_t>>& blobs);
// The cached result of a test for a definition; false when there is none (data cleared).
bool ReadCachedResult(Experiment& experiment, int reportId, int testId, std::vector<uint8_t>& data);
// Stores the cached result (update or insert); an empty blob deletes the entry instead.
bool StoreCachedResult(Experiment& experiment, int reportId, int testId,
                       const std::vector<uint8_t>& data);
// The same for several tests in one transaction: all are stored, or none.
struct CachedResult {
  int testId = -1;
  std::vector<uint8_t> data;  // empty: delete the entry
};
bool StoreCachedResults(Experiment& experiment, int reportId,
                        const std::vector<CachedResult>& entries);
bool DropCachedResult(Experiment& experiment, int reportId, int testId);

}  // namespace vx
