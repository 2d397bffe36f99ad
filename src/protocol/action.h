// An action box of a protocol's stage program: what the program does when its source event
// fires (start or stop the recording of points; for acquisitions also the video).
//
// Definition text: "%d|%d|%d|%d|%d|%d|%d|%d|" with 0 (format), id, kind, video flag (1 or 0),
// codec, source event, value a, value b. Reading takes the fields in that order and stops at
// the first missing or malformed one; the others keep their defaults.
#pragma once

#include <string>

namespace vx {

inline constexpr int kCodecFmp4 = 877677894;  // the fourcc "FMP4"

enum ActionKind { kActionStart = 0, kActionStop = 1 };

struct CAction {
  int id = -1;              // the action's id in the program
  int kind = kActionStart;  // 0 start, 1 stop (stored 2 and 3 read as 0 and 1)
  bool videoFlag = false;
  int codec = kCodecFmp4;
  int sourceEvent = -1;     // the event whose firing emits this action
  int valueA = -1;          // carried through
  int valueB = 1;           // carried through

  bool operator==(const CAction&) const = default;
};

std::string FormatAction(const CAction& action);
// Never fails: a short or damaged text leaves the remaining fields at their defaults.
CAction ParseAction(const std::string& text);

// The stop the program emits by itself when the protocol's maximum duration is exceeded.
CAction MaximumDurationStop();

}  // namespace vx
