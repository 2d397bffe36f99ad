#include "experiment_access.h"

#include <CLI/CLI.hpp>

#include <memory>

#include "base/messages.h"
#include "base/text.h"
#include "context.h"
#include "db/experiment_db.h"
#include "db/schema.h"
#include "option_values.h"

namespace vx::cli {

bool OpenExperimentForCommand(Context& context, const std::string& path, Experiment& experiment,
                              int& status) {
  status = kExitFailed;
  if (!context.files.Exists(path)) {
    context.Fail(Format(MessageText(msg::kFileMissing), path.c_str()));
    return false;
  }
  experiment.file = context.Experiment(path);
  int version = 0;
  {
    SQLite::Database db;
    if (!OpenExperimentDb(db, experiment.file, {.readOnly = true, .checkType = true})) {
      context.Fail(OpenFailureMessage(db.lastError(), path));
      return false;
    }
    version = ReadSchemaVersion(db);
  }
  if (version > kCurrentSchemaVersion) {
    context.Fail(MessageText(msg::kNewerVersion));
    return false;
  }
  if (version < kCurrentSchemaVersion) {
    context.Fail(Format("'%s' has schema version %d and must be converted first: velantrix "
                        "upgrade \"%s\"",
                        path.c_str(), version, path.c_str()));
    return false;
  }
  if (!experiment.LoadAll()) {
    context.Fail(Format("Unable to read the experiment file '%s'.", path.c_str()));
    return false;
  }
  status = kExitOk;
  return true;
}

int ReportCreated(Context& context, bool saved, int id, const char* what) {
  if (!saved) {
    return context.Fail(Format("The %s could not be saved; the file was left as it was.", what));
  }
  context.io.out << id << '\n';
  return kExitOk;
}

int RecordEdit::Apply(Context& context, const char* what, std::string& recordName, std::string& recordNotes) const {
  if (nameFlag->count() > 0) {
    if (Trim(name).empty()) return context.Fail(Format("--name: the %s needs a name.", what), kExitUsage);
    recordName = name;
  }
  if (notesFlag->count() > 0) recordNotes = notes;
  return kExitOk;
}

int RecordEdit::Saved(Context& context, bool saved, const char* what) const {
  if (saved) return kExitOk;
  return context.Fail(Format("The %s %d could not be saved; the experiment file is unchanged.", what, id));
}

CLI::App* AddSetVerb(CLI::App& verb, RecordEdit& edit, const std::string& description) {
  CLI::App* set = verb.add_subcommand("set", description);
  set->add_option("EXP", edit.path, "Experiment file")->required();
  set->add_option("ID", edit.id, "Record id")->required()->check(NumberIn(RecordId()));
  edit.nameFlag = set->add_option("--name", edit.name, "New name");
  edit.notesFlag = set->add_option("--notes", edit.notes, "Notes");
  return set;
}

OutputFormat ChosenFormat(bool json, bool csv) {
  return json ? OutputFormat::Json : csv ? OutputFormat::Csv : OutputFormat::Text;
}

void AddListVerb(CLI::App& verb, Context& context, CommandResult& result,
                 const std::string& description, ListRunner list) {
  auto path = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  auto csv = std::make_shared<bool>(false);
  CLI::App* command = verb.add_subcommand("list", description);
  command->add_option("EXP", *path, "Experiment file")->required();
  command->add_flag("--json", *json, "One JSON document")
      ->excludes(command->add_flag("--csv", *csv, "CSV: a header row, then one row per record"));
  command->callback([&context, &result, path, json, csv, list] {
    result.Select([&context, path, json, csv, list] {
      return list(context, *path, ChosenFormat(*json, *csv));
    });
  });
}

}  // namespace vx::cli
