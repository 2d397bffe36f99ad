// Checking that text is UTF-8, the only encoding the system stores and prints.
#pragma once

#include <string_view>

namespace vx {

// True when text is well-formed UTF-8: no stray continuation bytes, no truncated sequence, no
// overlong forms, no surrogates, nothing above U+10FFFF. Text that is not would be stored and
// then printed back as broken JSON and CSV.
bool IsValidUtf8(std::string_view text);

}  // namespace vx
