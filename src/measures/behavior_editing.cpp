#include "measures/behavior_editing.h"

#include "base/text.h"

namespace vx {

std::string AddBehavior(BehaviorSet& set, int protocolId, const std::string& name, char key, int kind) {
  const std::string trimmed = Trim(name);
  if (trimmed.empty() || trimmed.find_first_of("|;") != std::string::npos) {
    return "The behaviour needs a name without \"|\" or \";\".";
  }
  if (key <= ' ' || key == 127 || key == '#' || key == ',' || key == ';' || key == '|') {
    return "The key must be one letter, digit or sign.";
  }
  if (kind != 0 && kind != 1) return "The kind must be 0 or 1.";
  for (const CBehavior& other : set.behaviors) {
    if (EqualsNoCase(other.name, trimmed)) return Format("The protocol already has a behaviour '%s'.", other.name.c_str());
    if (static_cast<char>(other.key) == key) {
      return Format("The key '%c' already records '%s'.", key, other.name.c_str());
    }
  }
  CBehavior behavior;
  behavior.id = set.nextId++;
  behavior.protocolId = static_cast<uint32_t>(protocolId);
  behavior.name = trimmed;
  behavior.key = static_cast<uint8_t>(key);
  behavior.kind = static_cast<uint32_t>(kind);
  set.behaviors.push_back(behavior);
  return {};
}

}  // namespace vx
