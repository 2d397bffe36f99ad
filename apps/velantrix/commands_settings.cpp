// Verbs on the experiment-wide settings (the Infos rows): settings show, set.
#include <CLI/CLI.hpp>

#include <memory>

#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "db/animal_size.h"
#include "db/infos_store.h"
#include "db/experiment_db.h"
#include "experiment_access.h"
#include "option_values.h"
#include "output.h"
#include "trajectory/smoothing_settings.h"

namespace vx::cli {

namespace {

struct SettingsOptions {
  std::string path;
  bool json = false;
  std::string title;
  std::string notes;
  std::string animalSize;
  std::string refresh;
  std::vector<std::string> rows;  // NAME=VALUE
  bool titleGiven = false, notesGiven = false;
};

int RunSettingsShow(Context& context, const SettingsOptions& o) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, o.path, experiment, status)) return status;
  const ExperimentSettings& s = experiment.settings;
  const SmoothingSettings smoothing = ParseSmoothingSettings(s.smooth);
  const std::string smoothingText = Format("%s, threshold %d %s", SmoothingMethodName(smoothing.method),
                                           smoothing.threshold, ThresholdUnitName(smoothing.thresholdUnit));
  const bool refresh = s.refreshResultAuto == "1";
  if (o.json) {
    context.io.out << "{\"title\": " << JsonString(s.title) << ", \"notes\": " << JsonString(s.notes)
                   << ", \"animal_min_size\": " << s.animalSize.minSize << ", \"animal_max_size\": "
                   << s.animalSize.maxSize << ", \"refresh_results\": " << (refresh ? "true" : "false")
                   << ", \"smoothing\": " << JsonString(smoothingText) << ", \"stored\": {\"Title\": "
                   << JsonString(s.title) << ", \"Notes\": " << JsonString(s.notes) << ", \"Animals\": "
                   << JsonString(FormatAnimalSize(s.animalSize)) << ", \"RefreshResultAuto\": "
                   << JsonString(s.refreshResultAuto) << ", \"Smooth\": " << JsonString(s.smooth)
                   << ", \"ReportsFont\": " << JsonString(s.reportsFont) << "}}\n";
    return kExitOk;
  }
  context.io.out << "Title: " << s.title << '\n'
                 << "Notes: " << s.notes << '\n'
                 << Format("Default animal size: %d to %d cm² (stored %s)\n", s.animalSize.minSize,
                           s.animalSize.maxSize, FormatAnimalSize(s.animalSize).c_str())
                 << "Refresh results automatically: " << (refresh ? "on" : "off") << '\n'
                 << "Smoothing: " << smoothingText << " (change it with velantrix smoothing)\n";
  return kExitOk;
}

// Rows that belong to the file itself or to a verb that must follow a change up.
std::string ReservedRowProblem(const std::string& name) {
  if (EqualsNoCase(name, "VersionDB") || EqualsNoCase(name, "FileType")) {
    return Format("'%s' belongs to the file itself and cannot be set", name.c_str());
  }
  if (EqualsNoCase(name, "Smooth")) return "the smoothing is set with velantrix smoothing, which recomputes every analysed test";
  if (EqualsNoCase(name, "Animals")) return "the default animal size is set with --animal-size MIN,MAX";
  return {};
}

// The rows to write, or the reason the options are wrong.
std::string WantedRows(const SettingsOptions& o, std::vector<std::pair<std::string, std::string>>& rows) {
  if (o.titleGiven) rows.emplace_back("Title", o.title);
  if (o.notesGiven) rows.emplace_back("Notes", o.notes);
  if (!o.animalSize.empty()) {
    const NumberList sizes{"MIN,MAX", ',', 2, {1, 10000, true, "cm²"}, true};
    std::vector<int> values;
    if (std::string problem = ReadWholeNumbers(o.animalSize, sizes, values); !problem.empty()) {
      return "--animal-size: " + problem;
    }
    rows.emplace_back("Animals", FormatAnimalSize(SettingFromSizes(values[0], values[1])));
  }
  if (!o.refresh.empty()) {
    if (!EqualsNoCase(o.refresh, "on") && !EqualsNoCase(o.refresh, "off")) {
      return Format("--refresh-results: '%s' is not on or off", o.refresh.c_str());
    }
    rows.emplace_back("RefreshResultAuto", EqualsNoCase(o.refresh, "on") ? "1" : "0");
  }
  for (const std::string& row : o.rows) {
    const size_t equals = row.find('=');
    if (equals == std::string::npos || equals == 0) return Format("--set: '%s' is not NAME=VALUE", row.c_str());
    const std::string name = row.substr(0, equals);
    if (std::string problem = ReservedRowProblem(name); !problem.empty()) return "--set: " + problem;
    rows.emplace_back(name, row.substr(equals + 1));
  }
  if (rows.empty()) return "nothing to set: give --title, --notes, --animal-size, --refresh-results or --set";
  return {};
}

int RunSettingsSet(Context& context, const SettingsOptions& o) {
  std::vector<std::pair<std::string, std::string>> rows;
  if (std::string problem = WantedRows(o, rows); !problem.empty()) {
    return context.Fail("settings set: " + problem + ".", kExitUsage);
  }
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, o.path, experiment, status)) return status;
  // All rows in one transaction: a failure leaves every setting as it was.
  const bool saved = RunWriteTransaction(experiment.file, [&](SQLite::Database& db) {
    for (const auto& [name, value] : rows) WriteSetting(db, name, value);
  });
  if (!saved) return context.Fail(Format("Unable to write the settings into '%s'.", o.path.c_str()));
  if (!o.animalSize.empty() && !context.quiet) {
    context.io.err << "velantrix: the default animal size applies to the next analyses; analysed "
                      "tests keep their results until they are analysed again.\n";
  }
  return kExitOk;
}

}  // namespace

void RegisterSettingsCommands(CLI::App& app, Context& context, CommandResult& result) {
  CLI::App* verb = Verb(app, "settings", "The experiment's own settings: show, set");
  auto o = std::make_shared<SettingsOptions>();
  CLI::App* show = verb->add_subcommand("show", "Title, notes, default animal size and the other experiment settings");
  show->add_option("EXP", o->path, "Experiment file")->required();
  show->add_flag("--json", o->json, "One JSON document, with the stored rows");
  show->callback([&, o] { result.Select([&, o] { return RunSettingsShow(context, *o); }); });

  CLI::App* set = verb->add_subcommand("set", "Change experiment settings (all or none are written)");
  set->add_option("EXP", o->path, "Experiment file")->required();
  set->add_option("--title", o->title, "The experiment's title")->each([o](const std::string&) { o->titleGiven = true; });
  set->add_option("--notes", o->notes, "Notes")->each([o](const std::string&) { o->notesGiven = true; });
  set->add_option("--animal-size", o->animalSize, "Default animal size MIN,MAX in cm² (a mouse about 10,30)");
  set->add_option("--refresh-results", o->refresh, "Recompute results automatically: on or off");
  set->add_option("--set", o->rows, "Any other setting row as NAME=VALUE (stored text, for scripts)");
  set->callback([&, o] { result.Select([&, o] { return RunSettingsSet(context, *o); }); });
}

}  // namespace vx::cli
