// Scoring behaviours from key presses, as an observer does while a test's video plays: each
// behaviour has its key; the first press of a key starts an occurrence of its behaviour and
// the next press of the same key ends it. A list of presses (a scoring view's, or a file of
// them) becomes the test's recorded occurrences.
//
// Press list text: one press per line, "TIME KEY" (blank, tab, comma or semicolon between
// them); TIME in seconds ("12.5") or with its unit ("12500ms", "1:30", base/time_text.h); KEY
// one character. Blank lines and lines starting with "#" are skipped. Times are in ms on the
// test's time axis (from the start of the video).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "measures/behavior.h"

namespace vx {

struct KeyPress {
  int64_t timeMs = 0;
  char key = 0;
  int line = 0;  // 1-based line of the press list
};

// Reads a press list. "" on success, else the first problem with its line number.
std::string ParseKeyPresses(const std::string& text, std::vector<KeyPress>& presses);

// The occurrences the presses record for the protocol's behaviours, one list per behaviour
// with at least one occurrence (protocol order). Presses must be in time order, name a key of
// a behaviour and lie within [0, endMs]; an occurrence still open after the last press ends
// at endMs (the end of the video). Keys are matched case-sensitively. "" on success, else
// the reason (recorded is then left empty).
std::string ScoreKeyPresses(const std::vector<KeyPress>& presses,
                            const std::vector<CBehavior>& behaviors, int protocolId,
                            int64_t endMs, RecordedBehaviors& recorded);

}  // namespace vx
