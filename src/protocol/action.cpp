#include "protocol/action.h"

#include "base/text.h"

namespace vx {

std::string FormatAction(const CAction& a) {
  return Format("%d|%d|%d|%d|%d|%d|%d|%d|", 0, a.id, a.kind, a.videoFlag ? 1 : 0, a.codec,
                a.sourceEvent, a.valueA, a.valueB);
}

CAction ParseAction(const std::string& text) {
  CAction action;
  Tokenizer tokens(text, '|', true);
  std::string token;
  auto next = [&](int& field) {
    int value = 0;
    if (!tokens.Next(token) || !TryParseInt(token, value)) return false;
    field = value;
    return true;
  };
  int format = 0;
  if (!next(format) || !next(action.id) || !next(action.kind)) return action;
  // Older programs stored the video-writing actions as kinds 2 and 3.
  if (action.kind == 2) action.kind = kActionStart;
  if (action.kind == 3) action.kind = kActionStop;
  if (!tokens.Next(token) || token.empty()) return action;
  action.videoFlag = Trim(token) != "0";
  if (!next(action.codec) || !next(action.sourceEvent) || !next(action.valueA)) return action;
  next(action.valueB);
  return action;
}

CAction MaximumDurationStop() {
  CAction stop;
  stop.id = -1;
  stop.kind = kActionStop;
  stop.videoFlag = false;
  stop.codec = kCodecFmp4;
  stop.sourceEvent = -1;
  stop.valueA = -1;
  stop.valueB = 1;
  return stop;
}

}  // namespace vx
