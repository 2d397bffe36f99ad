#include "shell/record_deletion.h"

#include "base/text.h"
#include "db/animal_store.h"
#include "db/protocol_store.h"
#include "db/test_store.h"
#include "db/video_store.h"

namespace vx {

std::string DeletionRefusal(const Experiment& experiment, RecordKind kind, int id) {
  if (kind == RecordKind::kTest) return "";
  int users = 0;
  for (const auto& [testId, test] : experiment.tests) {
    users += (kind == RecordKind::kProtocol && test.idProtocol == id) || (kind == RecordKind::kAnimal && test.idAnimal == id) ||
             (kind == RecordKind::kVideo && test.source == id);
  }
  if (users == 0) return "";
  const char* what = kind == RecordKind::kProtocol ? "protocol" : kind == RecordKind::kAnimal ? "animal" : "video";
  return Format("The %s %d is used by %d test%s: delete %s first, or give %s another %s.", what, id, users,
                users == 1 ? "" : "s", users == 1 ? "it" : "them", users == 1 ? "it" : "them", what);
}

bool DeleteRecord(Experiment& experiment, RecordKind kind, int id) {
  switch (kind) {
    case RecordKind::kProtocol: return DeleteProtocol(experiment, id);
    case RecordKind::kAnimal: return DeleteAnimal(experiment, id);
    case RecordKind::kVideo: return DeleteVideo(experiment, id);
    case RecordKind::kTest: return DeleteTest(experiment, id);
  }
  return false;
}

}  // namespace vx
