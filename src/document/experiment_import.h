// Bringing the records of another experiment into the current one.
#pragma once

#include <string>

#include "db/experiment_file.h"

namespace vx {

struct ImportCounts {
  int protocols = 0;  // with their zones, reports and filters
  int animals = 0;
  int fields = 0;  // custom fields, with their choices
  int videos = 0;
};

// Copies every protocol, custom field, animal and video of the experiment at otherPath into
// target's current file, in one transaction, with new ids; custom-field values and the
// protocols that fields and videos name follow the new ids. The videos kept in the other
// experiment's companion folder are copied into target's. The other file is never written: it
// is read through a copy in the temporary folder, upgraded there when it is older. Refused
// untouched: target itself (message 874), a damaged file or one that is not an experiment
// (623), a newer version (1496). On failure target is unchanged.
bool ImportFromExperiment(ExperimentFile& target, const std::string& otherPath, ImportCounts& counts);

}  // namespace vx
