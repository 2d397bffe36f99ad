// The texts compiled into the program, generated at build time from the English catalogue
// (texts/Enu.txt) by texts/build_texts: what the program shows when no language file gives a
// text, so that a message is never empty.
#pragma once

#include <span>

namespace vx {

// One text: group is 0 for numbered texts, the menu id for menu items, the dialog id for
// dialog controls (control id -1 being the dialog's caption). Tables are sorted by (group, id).
struct BuiltInText {
  int group;
  int id;
  const char* text;  // UTF-8, line breaks already in place
};

std::span<const BuiltInText> BuiltInTexts();
std::span<const BuiltInText> BuiltInMenuTexts();
std::span<const BuiltInText> BuiltInDialogTexts();

// The text of (group, id) in table, or nullptr when it has none.
const char* FindBuiltInText(std::span<const BuiltInText> table, int group, int id);

}  // namespace vx
