// Whether a record of the experiment may be deleted: a protocol, an animal or a video that
// tests still use is kept (deleting it would leave those tests pointing at nothing).
#pragma once

#include <string>

#include "db/experiment.h"

namespace vx {

enum class RecordKind { kProtocol, kAnimal, kVideo, kTest };

// "" when the record may go; otherwise why not, in words.
std::string DeletionRefusal(const Experiment& experiment, RecordKind kind, int id);

// Deletes the record through its store; false when the file could not be written.
bool DeleteRecord(Experiment& experiment, RecordKind kind, int id);

}  // namespace vx
