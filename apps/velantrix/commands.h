// Each family of verbs registers itself on the application. One line per family in
// RegisterAllCommands (cli.cpp).
#pragma once

#include <functional>
#include <string>

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

// The verb of that name, created when no family has created it yet: families that share a
// verb ("video add" and "video info") each add their own subverbs to it.
CLI::App* Verb(CLI::App& app, const std::string& name, const std::string& description);

void RegisterExperimentCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterProtocolCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterAnimalCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterVideoCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterTestCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterZoneCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterRefImageCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterTrajectoryCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterDetectionCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterMeasureCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterAnalysisCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterDemoCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterReportCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterPictureCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterFieldCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterBehaviourCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterProgramCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterSettingsCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterFilterCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterHeatMapCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterLifecycleCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterRecordCommands(CLI::App& app, Context& context, CommandResult& result);
void RegisterTextsCommands(CLI::App& app, Context& context, CommandResult& result);

}  // namespace vx::cli
