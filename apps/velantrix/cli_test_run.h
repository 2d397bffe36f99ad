// Running the command line in-process for tests: captured output and exit status. Settings go
// to a file in the test's folder, never to the user's.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli.h"

namespace vx::cli::testing {

struct RunResult {
  int status = -1;
  std::string out, err;
};

inline RunResult RunCommand(const std::vector<std::string>& args, const std::string& settingsPath,
                            bool stdinIsTerminal = false, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out, err;
  Io io{in, out, err, stdinIsTerminal, false, settingsPath};
  RunResult result;
  result.status = RunCli(args, io);
  result.out = out.str();
  result.err = err.str();
  return result;
}

}  // namespace vx::cli::testing
