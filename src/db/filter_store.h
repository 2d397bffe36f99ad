// Test filters (table Filters) on their own; a protocol save also reconciles its filters
// (protocol_store.h). The List, Formule and Logic texts belong to the filter code.
#pragma once

#include <vector>

#include "db/experiment.h"
#include "db/protocol.h"

namespace vx {

// False when no filter has that id; protocolId receives the filter's protocol.
bool LoadFilter(Experiment& experiment, int id, FilterRow& filter, int& protocolId);
// Update by id, else insert for protocolId (the new id is written back); the protocol's list
// follows.
bool SaveFilter(Experiment& experiment, FilterRow& filter, int protocolId);
bool DeleteFilter(Experiment& experiment, int id);
// A protocol's filters, by id.
bool ListFilters(Experiment& experiment, int protocolId, std::vector<NamedId>& list);
// The highest filter id; 0 when there is none, -1 when the file cannot be read.
int HighestFilterId(Experiment& experiment);

}  // namespace vx
