#include "experiment_cycle.h"

#include <CLI/CLI.hpp>

#include <set>

#include "commands.h"
#include "context.h"
#include "document/experiment_document.h"

namespace vx::cli {

namespace {

// Verbs that only read the experiment (the report cache that some of them fill is rebuilt on
// demand, so it may be written to the file directly), and the lifecycle verbs that run their
// own cycle.
bool RunsOutsideCycle(const std::string& words) {
  static const std::set<std::string> kVerbs = {
      "info", "check", "new", "trajectory", "measure", "report run", "export", "heatmap",
      "trackimage", "frame", "overlay", "arena suggest", "backup", "recover", "rename"};
  const std::string last = words.substr(words.rfind(' ') == std::string::npos ? 0 : words.rfind(' ') + 1);
  return kVerbs.count(words) > 0 || last == "list" || last == "show";
}

// The chosen subcommand, deepest first, and its words ("test add").
CLI::App* ChosenLeaf(CLI::App& app, std::string& words) {
  CLI::App* leaf = &app;
  for (;;) {
    const auto chosen = leaf->get_subcommands();
    if (chosen.empty()) return leaf;
    leaf = chosen.front();
    words += (words.empty() ? "" : " ") + leaf->get_name();
  }
}

}  // namespace

int OpenFailureStatus(Context& context, DocumentResult result) {
  if (result != DocumentResult::Cancelled) return kExitFailed;
  if (context.asker.unanswered) {
    context.Fail("the question needs an answer: run the command at a terminal, or give "
                 "--recover keep|discard (--yes answers yes).");
  }
  return kExitNotConfirmed;
}

int RunChosenVerb(CLI::App& app, Context& context, CommandResult& result) {
  std::string words;
  CLI::App* leaf = ChosenLeaf(app, words);
  const CLI::Option* exp = leaf->get_option_no_throw("EXP");
  if (exp == nullptr || exp->count() == 0 || RunsOutsideCycle(words)) return result.run();
  const std::string path = exp->as<std::string>();
  if (!context.files.Exists(path)) return result.run();  // the verb says what is wrong

  ExperimentDocument document(context.services(), context.videoProbe);
  const DocumentResult opened = document.OpenExperiment(path, {.upgrade = false, .loadLists = false});
  if (opened != DocumentResult::Ok) {
    return OpenFailureStatus(context, opened);
  }
  context.document = &document;
  const int status = result.run();
  context.document = nullptr;
  // A verb that failed half-way over several tests has stored the ones that succeeded: what
  // reached the working copy is saved whatever the status.
  if (!document.SaveAndCloseExperiment()) return kExitFailed;  // the copy stays, for recovery
  return status;
}

}  // namespace vx::cli
