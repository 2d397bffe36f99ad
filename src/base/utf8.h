// Checking that text is UTF-8, the only encoding the system stores and prints.
#pragma once

#include <string>
#include <string_view>

namespace vx {

// True when text is well-formed UTF-8: no stray continuation bytes, no truncated sequence, no
// overlong forms, no surrogates, nothing above U+10FFFF. Text that is not would be stored and
// then printed back as broken JSON and CSV.
bool IsValidUtf8(std::string_view text);

// The UTF-16 form of a UTF-8 text, for file formats that store UTF-16 (the binary workbook).
// Each byte that does not start a well-formed sequence becomes U+FFFD, so nothing is dropped
// silently and the result always has a valid length.
std::u16string Utf16FromUtf8(std::string_view text);

}  // namespace vx
