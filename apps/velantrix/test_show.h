// "test show": every field of a test in words, its detection settings by name and as stored
// text, its analysis information and its per-test summary with units.
#pragma once

#include <string>

namespace vx::cli {

struct Context;

int RunTestShow(Context& context, const std::string& path, int testId, bool json);

}  // namespace vx::cli
