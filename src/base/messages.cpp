#include "base/messages.h"

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <unordered_map>

#include "base/builtin_texts.h"
#include "base/placeholders.h"

namespace vx {

namespace {

// Texts handed out by MessageText, kept until the program ends so that the pointers stay valid
// (callers hold them across Format calls and threads). Each language in use adds its texts
// once: a few hundred short strings at most.
struct TextState {
  std::mutex mutex;
  std::shared_ptr<const TextSource> source;
  uint32_t generation = 0;  // changes with the source, so that old texts are not reused
  std::unordered_map<uint64_t, std::string> texts;
};

TextState& State() {
  static TextState* state = new TextState;  // never destroyed: threads may still ask at exit
  return *state;
}

}  // namespace

const char* FindBuiltInText(std::span<const BuiltInText> table, int group, int id) {
  const auto found = std::lower_bound(table.begin(), table.end(), std::pair{group, id},
                                      [](const BuiltInText& t, const std::pair<int, int>& wanted) {
                                        return std::pair{t.group, t.id} < wanted;
                                      });
  return (found != table.end() && found->group == group && found->id == id) ? found->text : nullptr;
}

const char* MessageText(int id) {
  const char* english = FindBuiltInText(BuiltInTexts(), 0, id);
  TextState& state = State();
  std::lock_guard lock(state.mutex);
  if (state.source == nullptr) return english != nullptr ? english : "";
  const uint64_t key = (uint64_t{state.generation} << 32) | static_cast<uint32_t>(id);
  if (const auto known = state.texts.find(key); known != state.texts.end()) return known->second.c_str();
  std::optional<std::string> text = state.source->Text(id);
  // A translation that would take other values than the code gives could print garbage or
  // crash in Format: the English text is shown instead.
  if (english != nullptr && (!text || text->empty() || !SamePlaceholders(english, *text))) text = english;
  return state.texts.emplace(key, text.value_or("")).first->second.c_str();
}

void SetTextSource(std::shared_ptr<const TextSource> source) {
  TextState& state = State();
  std::lock_guard lock(state.mutex);
  state.source = std::move(source);
  ++state.generation;
}

}  // namespace vx
