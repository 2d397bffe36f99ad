// The velantrix command line, runnable in-process.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "shell/language_ids.h"

namespace vx::cli {

// Exit statuses of the command-line contract.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNotConfirmed = 3;
inline constexpr int kExitWarnings = 4;  // done, but some result needs a look

// Where a run reads and writes. Tests pass string streams; main() passes the terminal.
struct Io {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  bool inIsTerminal = false;   // questions may be asked at the terminal
  bool errIsTerminal = false;  // progress may be drawn on standard error
  std::string settingsPath;    // the INI settings file; empty: the user's default
  std::string programFolder;   // where the language files are (ends with '/'); empty: English only
  LocaleNames locale;          // the locale variables, which choose the language on a first run
};

int RunCli(const std::vector<std::string>& args, Io& io);

}  // namespace vx::cli
