// Behaviours scored by an observer on a test's video, as stored with the test.
//
// Each scored behaviour has one list of occurrences (start and end times in ms on the test's
// time axis, in time order). What the identifiers mean, and how the occurrences are turned into
// measures, belongs to the behaviour measures; this header fixes only the records.
#pragma once

#include <cstdint>
#include <vector>

namespace vx {

// One occurrence of a behaviour.
struct tRecBehavior {
  uint32_t start = 0;  // ms
  uint32_t end = 0;    // ms
};

// The occurrences of one behaviour in one test.
struct CListRecBehavior {
  int protocolId = -1;      // the protocol the behaviour belongs to
  uint32_t behaviorId = 0;  // first identifier field of a stored record
  uint32_t value = 0;       // the further u32, second identifier field of a stored record
  std::vector<tRecBehavior> occurrences;  // in time order
};

// Every list of one test, tagged with the protocol they were read for (-1 when none).
struct RecordedBehaviors {
  int protocolId = -1;
  std::vector<CListRecBehavior> lists;

  void Clear() {
    protocolId = -1;
    lists.clear();
  }
};

}  // namespace vx
