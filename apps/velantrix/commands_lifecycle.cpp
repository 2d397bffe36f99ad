// Verbs on the experiment file as a whole: recover, rename, compact, import, backup.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <memory>

#include "base/messages.h"
#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "document/experiment_backup.h"
#include "document/experiment_document.h"
#include "document/experiment_import.h"
#include "experiment_cycle.h"

namespace vx::cli {

namespace {

std::string Canonical(const std::string& path) {
  std::error_code error;
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
  return error ? path : canonical.string();
}

int Missing(Context& context, const std::string& path) {
  return context.Fail(Format(MessageText(msg::kFileMissing), path.c_str()));
}

// Opens path on its own, outside the cycle of writing verbs, for the verbs that move or
// recover its files.
int OpenOwnDocument(Context& context, const std::string& path, ExperimentDocument& document) {
  if (!context.files.Exists(path)) return Missing(context, path);
  const DocumentResult opened = document.OpenExperiment(path, {.upgrade = false, .loadLists = false});
  return opened == DocumentResult::Ok ? kExitOk : OpenFailureStatus(context, opened);
}

int RunRecover(Context& context, const std::string& path, bool keep) {
  const std::string copy = GetWorkingCopyPath(path, context.files.DriveKindOf(path), context.files.TempFolder());
  const bool leftover = context.files.FileSize(copy) > 0;
  context.asker.presets[msg::kNotProperlySaved] = keep ? Answer::Yes : Answer::No;
  ExperimentDocument document(context.services(), context.videoProbe);
  if (const int status = OpenOwnDocument(context, path, document); status != kExitOk) return status;
  if (!document.SaveExperiment()) return kExitFailed;  // the copy stays for another try
  const bool recovered = document.Recovered();
  document.CloseExperiment(false);
  if (context.quiet) return kExitOk;
  context.io.out << path << ": "
                 << (!leftover    ? "no working copy was left by an interrupted run; nothing to do."
                     : recovered ? "the changes of the interrupted run were recovered and saved."
                                 : "the working copy of the interrupted run was discarded.")
                 << '\n';
  return kExitOk;
}

int RunRename(Context& context, const std::string& path, std::string name) {
  if (name.size() > 5 && name.compare(name.size() - 5, 5, ".vxdb") == 0) name.resize(name.size() - 5);
  if (name.empty() || name.find('/') != std::string::npos) {
    return context.Fail("NEW is the new name of the experiment, without folder.", kExitUsage);
  }
  ExperimentDocument document(context.services(), context.videoProbe);
  if (const int status = OpenOwnDocument(context, path, document); status != kExitOk) return status;
  const bool renamed = document.RenameExperiment(name);
  const std::string newPath = document.experiment.file.path;
  document.CloseExperiment(false);
  if (!renamed) return kExitFailed;
  if (!context.quiet) context.io.out << newPath << '\n';
  return kExitOk;
}

int RunCompact(Context& context, const std::string& path) {
  if (context.document == nullptr) return Missing(context, path);
  const int64_t before = context.files.FileSize(context.document->experiment.file.CurrentFile());
  if (!context.document->CompactExperiment()) return kExitFailed;
  const int64_t after = context.files.FileSize(context.document->experiment.file.CurrentFile());
  if (!context.quiet) context.io.out << path << ": " << before << " -> " << after << " bytes\n";
  return kExitOk;
}

int RunImport(Context& context, const std::string& path, const std::string& other) {
  if (context.document == nullptr) return Missing(context, path);
  if (!context.files.Exists(other)) return Missing(context, other);
  ExperimentFile target = context.Experiment(Canonical(path));
  ImportCounts counts;
  if (!ImportFromExperiment(target, Canonical(other), counts)) return kExitFailed;
  if (!context.quiet) {
    context.io.out << Format(MessageText(msg::kImportDone), counts.protocols, counts.animals, counts.fields,
                             counts.videos)
                   << '\n';
  }
  return kExitOk;
}

int RunBackup(Context& context, const std::string& path, const std::string& out, bool videos) {
  if (const int status = context.CheckExperimentFile(path); status != kExitOk) return status;
  ExperimentFile file = context.Experiment(path);
  return BackupExperiment(file, out, videos) ? kExitOk : kExitFailed;
}

}  // namespace

void RegisterLifecycleCommands(CLI::App& app, Context& context, CommandResult& result) {
  struct Options {
    std::string path, other, out;
    bool keep = false, discard = false, videos = false;
  };
  auto o = std::make_shared<Options>();

  CLI::App* recover = app.add_subcommand(
      "recover", "Keep or discard the changes that an interrupted run left in the experiment's working copy");
  recover->add_option("EXP", o->path, "Experiment file")->required();
  CLI::Option* keep = recover->add_flag("--keep", o->keep, "Save the interrupted run's changes into the file");
  recover->add_flag("--discard", o->discard, "Throw them away; the file stays as last saved")->excludes(keep);
  recover->callback([&context, &result, o] {
    result.Select([&context, o] {
      if (o->keep == o->discard) return context.Fail("recover: give --keep or --discard.", kExitUsage);
      return RunRecover(context, o->path, o->keep);
    });
  });

  CLI::App* rename = app.add_subcommand("rename", "Rename an experiment with its companion folder");
  rename->add_option("EXP", o->path, "Experiment file")->required();
  rename->add_option("NEW", o->other, "New name, in the same folder (without .vxdb)")->required();
  rename->callback([&context, &result, o] { result.Select([&context, o] { return RunRename(context, o->path, o->other); }); });

  CLI::App* compact = app.add_subcommand("compact", "Rebuild the experiment file without its free space");
  compact->add_option("EXP", o->path, "Experiment file")->required();
  compact->callback([&context, &result, o] { result.Select([&context, o] { return RunCompact(context, o->path); }); });

  CLI::App* import = app.add_subcommand(
      "import", "Copy the protocols, custom fields, animals and videos of another experiment into this one");
  import->add_option("EXP", o->path, "Experiment file")->required();
  import->add_option("OTHER", o->other, "The experiment to import from (never written)")->required();
  import->callback([&context, &result, o] { result.Select([&context, o] { return RunImport(context, o->path, o->other); }); });

  CLI::App* backup = app.add_subcommand("backup", "Write the experiment, and optionally its videos, into a zip archive");
  backup->add_option("EXP", o->path, "Experiment file")->required();
  backup->add_option("--out", o->out, "The zip archive to write")->required();
  backup->add_flag("--videos", o->videos, "Add the experiment's video files");
  backup->callback([&context, &result, o] {
    result.Select([&context, o] { return RunBackup(context, o->path, o->out, o->videos); });
  });
}

}  // namespace vx::cli
