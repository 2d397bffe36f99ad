#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <iostream>

#include "base/memory_tuning.h"
#include "base/program_folder.h"
#include "cli.h"

int main(int argc, char** argv) {
  vx::KeepFreedMemoryForReuse();
  // Numbers are written and read with a point whatever the user's locale.
  std::setlocale(LC_ALL, "");
  std::setlocale(LC_NUMERIC, "C");
  std::vector<std::string> args(argv + 1, argv + argc);
  const auto variable = [](const char* name) { return std::string(std::getenv(name) ? std::getenv(name) : ""); };
  vx::cli::Io io{std::cin, std::cout, std::cerr, isatty(STDIN_FILENO) != 0,
                 isatty(STDERR_FILENO) != 0, {}, vx::ProgramFolder(),
                 {variable("LC_ALL"), variable("LC_MESSAGES"), variable("LANG")}};
  return vx::cli::RunCli(args, io);
}
