// The language of the command line's messages: --language CODE (saved as the user's setting)
// or the setting, then the locale, then English.
#pragma once

#include <string>

#include "context.h"

namespace vx::cli {

// Starts the program's language for this run. A code that names no language with a file beside
// the program is bad usage: kExitUsage after saying which languages there are; else kExitOk.
int StartLanguage(Context& context, const std::string& languageCode);

}  // namespace vx::cli
