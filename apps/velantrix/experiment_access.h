// Opening an experiment file for one command, with the checks every record command makes: the
// file exists, is an experiment file of this system, and has the current schema version (an
// older file must go through "velantrix upgrade" first; a newer one is refused).
#pragma once

#include <functional>
#include <string>

#include "commands.h"
#include "db/experiment.h"
#include "output.h"

namespace CLI {
class Option;
}

namespace vx::cli {

struct Context;

// Fills experiment (file wired to the context's services, lists loaded). On failure the reason
// is printed on standard error, status holds the exit status and the file is untouched.
bool OpenExperimentForCommand(Context& context, const std::string& path, Experiment& experiment,
                              int& status);

// Ends a command that created a record: prints the new id alone, or fails (the save has left
// the file as it was). what names the record ("protocol").
int ReportCreated(Context& context, bool saved, int id, const char* what);

// The output shape chosen by --json / --csv.
OutputFormat ChosenFormat(bool json, bool csv);

// Registers "<verb> list EXP [--json|--csv]", which runs list with the chosen shape.
using ListRunner = std::function<int(Context& context, const std::string& path, OutputFormat)>;
void AddListVerb(CLI::App& verb, Context& context, CommandResult& result,
                 const std::string& description, ListRunner list);

// What every "set" verb shares: the experiment, the record's id, and its name and notes, each
// changed only when typed.
struct RecordEdit {
  std::string path;
  int id = -1;
  std::string name, notes;
  CLI::Option* nameFlag = nullptr;
  CLI::Option* notesFlag = nullptr;

  // Stores the typed name and notes in the record's fields; kExitUsage after printing when the
  // name is blank. what names the record ("animal").
  int Apply(Context& context, const char* what, std::string& recordName, std::string& recordNotes) const;
  // Ends the command: kExitOk, or the failure when the save did not happen.
  int Saved(Context& context, bool saved, const char* what) const;
};

// Registers "<verb> set EXP ID [--name NAME] [--notes TEXT]"; the caller adds the rest.
CLI::App* AddSetVerb(CLI::App& verb, RecordEdit& edit, const std::string& description);

}  // namespace vx::cli
