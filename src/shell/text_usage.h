// The text numbers the program's code uses, found in its sources at build time (texts/
// build_texts): what `velantrix texts check` compares the catalogues with.
#pragma once

#include <span>

namespace vx {

// Sorted; each number is named in base/messages.h and used outside tests.
std::span<const int> TextIdsUsedByCode();

}  // namespace vx
