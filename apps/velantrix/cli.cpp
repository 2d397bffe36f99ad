#include "cli.h"

#include <CLI/CLI.hpp>

#include <sstream>

#include "adjustment_session.h"
#include "commands_extra.h"
#include "base/messages.h"
#include "context.h"
#include "experiment_cycle.h"
#include "language_choice.h"
#include "option_values.h"

namespace vx::cli {

namespace {

void RegisterAllCommands(CLI::App& app, Context& context, CommandResult& result) {
  RegisterExperimentCommands(app, context, result);
  RegisterProtocolCommands(app, context, result);
  RegisterAnimalCommands(app, context, result);
  RegisterVideoCommands(app, context, result);
  RegisterTestCommands(app, context, result);
  RegisterZoneCommands(app, context, result);
  RegisterRefImageCommands(app, context, result);
  RegisterTrajectoryCommands(app, context, result);
  RegisterDetectionCommands(app, context, result);
  RegisterMeasureCommands(app, context, result);
  RegisterAnalysisCommands(app, context, result);
  RegisterDemoCommands(app, context, result);
  RegisterReportCommands(app, context, result);
  RegisterCatalogueCommands(app, context, result);
  RegisterPictureCommands(app, context, result);
  RegisterFieldCommands(app, context, result);
  RegisterBehaviourCommands(app, context, result);
  RegisterProgramCommands(app, context, result);
  RegisterSettingsCommands(app, context, result);
  RegisterFilterCommands(app, context, result);
  RegisterHeatMapCommands(app, context, result);
  RegisterLifecycleCommands(app, context, result);
  RegisterRecordCommands(app, context, result);
  RegisterExportCommands(app, context, result);
  RegisterArenaCommands(app, context, result);
  RegisterTextsCommands(app, context, result);
}

// The first word that names no command, with the words before it ("zone frobnicate"), or "".
// Checked before parsing: CLI11 takes an unknown word for an extra argument, and with --help
// after it would print the root help and succeed.
std::string UnknownCommand(CLI::App& app, const std::vector<std::string>& args) {
  CLI::App* group = &app;
  std::string words;
  bool takesValue = false;
  for (const std::string& word : args) {
    if (group->get_require_subcommand_min() == 0) break;  // a command: the rest are its arguments
    if (takesValue) {  // the value of an option given before the command ("--recover keep")
      takesValue = false;
      continue;
    }
    if (!word.empty() && word[0] == '-') {
      const CLI::Option* option = word.find('=') == std::string::npos ? group->get_option_no_throw(word) : nullptr;
      takesValue = option != nullptr && option->get_expected_min() > 0;
      continue;
    }
    if (word.empty()) continue;
    words += (words.empty() ? "" : " ") + word;
    CLI::App* next = nullptr;
    try {
      next = group->get_subcommand(word);
    } catch (const CLI::OptionNotFound&) {
      return words;
    }
    group = next;
  }
  return "";
}

}  // namespace

CLI::App* Verb(CLI::App& app, const std::string& name, const std::string& description) {
  for (CLI::App* existing : app.get_subcommands({})) {
    if (existing->get_name() == name) return existing;
  }
  CLI::App* verb = app.add_subcommand(name, description);
  verb->require_subcommand(1);
  return verb;
}

int RunCli(const std::vector<std::string>& args, Io& io) {
  // Text that is not UTF-8 would be stored, then printed back as broken JSON and CSV.
  if (const std::string problem = CheckArgumentsAreUtf8(args); !problem.empty()) {
    io.err << "velantrix: " << problem << ".\n";
    return kExitUsage;
  }
  Context context(io);
  CommandResult result;

  CLI::App app("Velantrix: video tracking of small animals in behavioural experiments.",
               "velantrix");
  app.set_version_flag("--version", std::string(VX_VERSION));
  app.require_subcommand(1);
  app.fallthrough();
  app.add_flag("-q,--quiet", context.quiet, "Silence everything but errors and the requested output");
  app.add_flag("-y,--yes", context.asker.assumeYes, "Answer yes to every question");
  std::string recover;
  app.add_option("--recover", recover,
                 "What to do with the working copy a crash left behind: keep its changes or discard them")
      ->check(CLI::IsMember({"keep", "discard"}));
  std::string language;
  app.add_option("--language", language,
                 "The language of messages, kept for the next runs: en, fr ... ('velantrix texts languages' lists them)");
  RegisterAllCommands(app, context, result);

  if (const std::string unknown = UnknownCommand(app, args); !unknown.empty()) {
    const std::string group = unknown.substr(0, unknown.rfind(' ') == std::string::npos ? 0 : unknown.rfind(' '));
    io.err << "velantrix: unknown command '" << unknown << "'; 'velantrix " << (group.empty() ? "" : group + " ")
           << "--help' lists the commands.\n";
    return kExitUsage;
  }
  // CLI11 wants the program name first and the words in reverse order.
  std::vector<std::string> words(args.rbegin(), args.rend());
  try {
    app.parse(words);
  } catch (const CLI::ParseError& error) {
    std::ostringstream out, err;
    const int code = app.exit(error, out, err);
    io.out << out.str();
    io.err << err.str();
    return code == 0 ? kExitOk : kExitUsage;
  }
  context.notifier.quiet = context.quiet;
  if (!result.run) return kExitUsage;
  if (const int status = StartLanguage(context, language); status != kExitOk) return status;
  if (!recover.empty()) context.asker.presets[msg::kNotProperlySaved] = recover == "keep" ? Answer::Yes : Answer::No;
  const int status = RunChosenVerb(app, context, result);
  if (context.asker.unanswered && status == kExitFailed) return kExitNotConfirmed;
  return status;
}

}  // namespace vx::cli
