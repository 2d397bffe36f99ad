// Verbs on whole experiment files: new, info, check, upgrade.
#include <CLI/CLI.hpp>

#include <memory>

#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "db/experiment_db.h"
#include "base/messages.h"
#include "db/schema.h"
#include "db/upgrade.h"
#include "output.h"

namespace vx::cli {

namespace {

int RunNew(Context& context, const std::string& path) {
  if (context.files.Exists(path)) return context.Fail(Format("'%s' already exists.", path.c_str()));
  ExperimentFile file = context.Experiment(path);
  SQLite::Database db;
  if (!OpenExperimentDb(db, file, {.createIfMissing = true})) {
    return context.Fail(Format(MessageText(msg::kCannotCreate), path.c_str()));
  }
  return kExitOk;
}

int RunCheck(Context& context, const std::string& path) {
  if (!context.files.Exists(path)) return context.FailMissing(path);
  ExperimentFile file = context.Experiment(path);
  SQLite::Database db;
  if (!OpenExperimentDb(db, file, {.readOnly = true, .checkType = true})) {
    return context.Fail(OpenFailureMessage(db.lastError(), path));
  }
  if (!context.quiet) context.io.out << path << ": experiment file, schema version "
                                     << ReadSchemaVersion(db) << '\n';
  return kExitOk;
}

struct InfoFacts {
  int version = 0;
  std::string fileType, title, smooth;
  std::vector<std::pair<std::string, int>> counts;
};

std::string InfosValue(SQLite::Database& db, const char* name) {
  SQLite::TablePtr table = db.GetTable(Format("select Value from Infos where name='%s'", name));
  return table && table->GetRowCount() > 0 ? table->GetText("Value") : std::string();
}

int RunInfo(Context& context, const std::string& path, bool json) {
  if (!context.files.Exists(path)) return context.FailMissing(path);
  ExperimentFile file = context.Experiment(path);
  SQLite::Database db;
  if (!OpenExperimentDb(db, file, {.readOnly = true, .checkType = true})) {
    return context.Fail(OpenFailureMessage(db.lastError(), path));
  }
  InfoFacts facts;
  facts.version = ReadSchemaVersion(db);
  facts.fileType = InfosValue(db, "FileType");
  facts.title = InfosValue(db, "Title");
  facts.smooth = InfosValue(db, "Smooth");
  const char* tables[][2] = {{"protocols", "Protocols"}, {"animals", "Animals"},
                             {"tests", "Tests"},         {"videos", "Videos"},
                             {"reports", "Results"},     {"filters", "Filters"}};
  for (const auto& [label, table] : tables) {
    SQLite::TablePtr count = db.GetTable(Format("select COUNT(*) from %s", table));
    facts.counts.emplace_back(label, count ? count->FirstColumnAsInt() : 0);
  }
  if (json) {
    std::ostream& out = context.io.out;
    out << "{\"version\": " << facts.version << ", \"file_type\": " << JsonString(facts.fileType)
        << ", \"title\": " << JsonString(facts.title);
    for (const auto& [label, count] : facts.counts) out << ", \"" << label << "\": " << count;
    out << ", \"smoothing\": " << JsonString(facts.smooth) << "}\n";
    return kExitOk;
  }
  std::ostream& out = context.io.out;
  out << "Schema version: " << facts.version << '\n'
      << "File type: " << facts.fileType << '\n'
      << "Title: " << facts.title << '\n';
  for (const auto& [label, count] : facts.counts) {
    std::string name = label;
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
    out << name << ": " << count << '\n';
  }
  out << "Smoothing: " << (facts.smooth.empty() ? "(default)" : facts.smooth) << '\n';
  return kExitOk;
}

// Progress of the conversions on standard error: one line redrawn per item.
UpgradeProgress TerminalProgress(Context& context) {
  UpgradeProgress progress;
  if (!context.ShowProgress()) return progress;
  auto range = std::make_shared<int>(0);
  auto done = std::make_shared<int>(0);
  progress.start = [&context, range, done](int items) {
    *range = items;
    *done = 0;
    context.io.err << "\rconverting: 0/" << items << std::flush;
  };
  progress.advance = [&context, range, done] {
    context.io.err << "\rconverting: " << ++*done << "/" << *range
                   << (*done == *range ? "\n" : "") << std::flush;
  };
  progress.message = [&context](int, const std::string& text) {
    context.io.err << text.substr(0, text.find('\n')) << '\n';
  };
  return progress;
}

int RunUpgrade(Context& context, const std::string& path) {
  if (!context.files.Exists(path)) return context.FailMissing(path);
  ExperimentFile file = context.Experiment(path);
  SQLite::Database db;
  if (!OpenExperimentDb(db, file, {.checkType = true})) {
    return context.Fail(OpenFailureMessage(db.lastError(), path));
  }
  const int version = ReadSchemaVersion(db);
  if (version == kCurrentSchemaVersion) {
    if (!context.quiet) {
      context.io.out << path << ": already at schema version " << version << '\n';
    }
    return kExitOk;
  }
  if (version > kCurrentSchemaVersion) return context.Fail(MessageText(msg::kNewerVersion));
  const std::string question = Format(
      "'%s' was made by an older version of Velantrix (schema version %d) and must be converted "
      "to version %d. Convert it now?",
      path.c_str(), version, kCurrentSchemaVersion);
  if (context.asker.Ask(1207, question, AskButtons::YesNo) != Answer::Yes) {
    return context.Fail("Not converted: the file was left as it was (use --yes to convert "
                        "without asking).",
                        kExitNotConfirmed);
  }
  if (!UpgradeExperimentDb(db, file, TerminalProgress(context)) || db.lastError() != 0) {
    return context.Fail("The conversion failed; the file was left as it was.");
  }
  if (!context.quiet) {
    context.io.out << path << ": converted from schema version " << file.versionBeforeUpgrade
                   << " to " << kCurrentSchemaVersion << '\n';
  }
  return kExitOk;
}

}  // namespace

void RegisterExperimentCommands(CLI::App& app, Context& context, CommandResult& result) {
  auto path = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);

  CLI::App* create = app.add_subcommand("new", "Create a new experiment file");
  create->add_option("EXP", *path, "Experiment file to create (.vxdb)")->required();
  create->callback([&, path] { result.Select([&, path] { return RunNew(context, *path); }); });

  CLI::App* info = app.add_subcommand("info", "Show an experiment file's version, title and counts");
  info->add_option("EXP", *path, "Experiment file")->required();
  info->add_flag("--json", *json, "One JSON document");
  info->callback([&, path, json] {
    result.Select([&, path, json] { return RunInfo(context, *path, *json); });
  });

  CLI::App* check = app.add_subcommand("check", "Exit 0 when EXP is an experiment file");
  check->add_option("EXP", *path, "File to check")->required();
  check->callback([&, path] { result.Select([&, path] { return RunCheck(context, *path); }); });

  CLI::App* upgrade = app.add_subcommand(
      "upgrade", "Convert an experiment of an older schema version to the current one");
  upgrade->add_option("EXP", *path, "Experiment file")->required();
  upgrade->callback([&, path] { result.Select([&, path] { return RunUpgrade(context, *path); }); });
}

}  // namespace vx::cli
