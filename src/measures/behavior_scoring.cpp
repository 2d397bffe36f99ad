#include "measures/behavior_scoring.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "base/text.h"
#include "base/time_text.h"

namespace vx {

namespace {

bool ReadPressTime(const std::string& text, int64_t& ms) {
  double seconds = 0;
  if (TryParseDouble(text, seconds)) {
    if (!std::isfinite(seconds) || seconds < 0 || seconds > 4.0e6) return false;
    ms = std::llround(seconds * 1000);
    return true;
  }
  return ParseTimeText(text, ms);
}

}  // namespace

std::string ParseKeyPresses(const std::string& text, std::vector<KeyPress>& presses) {
  presses.clear();
  int lineNumber = 0;
  for (const std::string& raw : Split(text, '\n', true)) {
    ++lineNumber;
    std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    std::replace_if(line.begin(), line.end(), [](char c) { return c == '\t' || c == ',' || c == ';'; }, ' ');
    const size_t space = line.find(' ');
    const std::string time = line.substr(0, space);
    const std::string key = space == std::string::npos ? "" : Trim(line.substr(space));
    KeyPress press;
    press.line = lineNumber;
    if (!ReadPressTime(time, press.timeMs)) {
      return Format("line %d: '%s' is not a time (seconds, or 250ms, 1:30)", lineNumber, time.c_str());
    }
    if (key.size() != 1) return Format("line %d: the key must be one character, not '%s'", lineNumber, key.c_str());
    press.key = key[0];
    presses.push_back(press);
  }
  return {};
}

std::string ScoreKeyPresses(const std::vector<KeyPress>& presses,
                            const std::vector<CBehavior>& behaviors, int protocolId,
                            int64_t endMs, RecordedBehaviors& recorded) {
  recorded.Clear();
  std::map<size_t, CListRecBehavior> lists;  // by behaviour position
  std::map<size_t, int64_t> open;            // start of the running occurrence
  int64_t previous = 0;
  for (const KeyPress& press : presses) {
    const auto behavior = std::find_if(behaviors.begin(), behaviors.end(),
                                       [&](const CBehavior& b) { return static_cast<char>(b.key) == press.key; });
    if (behavior == behaviors.end()) return Format("line %d: no behaviour has the key '%c'", press.line, press.key);
    if (press.timeMs < previous) return Format("line %d: the presses must be in time order", press.line);
    if (press.timeMs > endMs) {
      return Format("line %d: %lld ms is after the end of the video (%lld ms)", press.line,
                    static_cast<long long>(press.timeMs), static_cast<long long>(endMs));
    }
    previous = press.timeMs;
    const size_t index = static_cast<size_t>(behavior - behaviors.begin());
    if (const auto running = open.find(index); running != open.end()) {
      lists[index].occurrences.push_back({static_cast<uint32_t>(running->second), static_cast<uint32_t>(press.timeMs)});
      open.erase(running);
    } else {
      open[index] = press.timeMs;
    }
  }
  for (const auto& [index, start] : open) {
    lists[index].occurrences.push_back({static_cast<uint32_t>(start), static_cast<uint32_t>(endMs)});
  }
  recorded.protocolId = protocolId;
  for (auto& [index, list] : lists) {
    list.protocolId = protocolId;
    list.behaviorId = behaviors[index].id;
    recorded.lists.push_back(std::move(list));
  }
  return {};
}

}  // namespace vx
