// Where the running program lies: the language files are beside it.
#pragma once

#include <string>

namespace vx {

// The folder of the running program, ending with '/'; "" when it cannot be found.
std::string ProgramFolder();

}  // namespace vx
