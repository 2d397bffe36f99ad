// Each family of verbs registers itself on the application. One line per family in
// RegisterAllCommands (cli.cpp).
#pragma once

#include <functional>

namespace CLI {
class App;
}

namespace vx::cli {

struct Context;

// The command chosen on the command line. A subcommand's parse callback selects the function
// to run; it runs after parsing, when every flag (global ones included) has its value.
struct CommandResult {
  std::function<int()> run;
  void Select(std::function<int()> command) { run = std::move(command); }
};

void RegisterExperimentCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterZoneCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterRefImageCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterTrajectoryCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterVideoCommands(CLI::App& app, Context& context, CommandResult& result);

}  // namespace vx::cli
