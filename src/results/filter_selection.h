// Evaluating a filter over the loaded tests of its protocol, and the tests a report takes
// through a filter.
#pragma once

#include <string>
#include <vector>

#include "db/experiment.h"
#include "results/filter.h"

namespace vx {

struct FilterSelection {
  std::string selection;  // ",id,id," (or ",-999,"; "" for an unknown filter type)
  std::string error;      // a formula's last error text, "" when none
};

// The filter's selection. formula, when given, replaces the stored formula (a text being
// edited); storedForm says which tokens it is written with. Tests are those of the filter's
// protocol, in id order.
FilterSelection EvaluateFilter(const Experiment& experiment, const CFilter& filter,
                               const std::string* formula = nullptr, bool storedForm = true);

// The loaded filter of that id, with its protocol, or false.
bool FindFilter(const Experiment& experiment, int id, CFilter& filter);

enum class FilterUse { kOk, kNoFilter, kOtherProtocol };

// The ids a filter selects among the tests of protocolId, for a report of that protocol.
FilterUse FilterTestIds(const Experiment& experiment, int filterId, int protocolId,
                        std::vector<int>& ids, FilterSelection* evaluation = nullptr);

}  // namespace vx
