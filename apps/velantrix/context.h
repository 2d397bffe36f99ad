// What every command of the command line shares: the terminal, the platform services and the
// global flags.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "base/ini_settings.h"
#include "base/platform.h"
#include "base/system_platform.h"
#include "cli.h"
#include "db/experiment_file.h"

namespace vx {
class ExperimentDocument;
}

namespace vx::cli {

// Numbered messages go to standard error, one per line block, unless --quiet.
class TerminalNotifier : public Notifier {
 public:
  explicit TerminalNotifier(std::ostream& err) : err_(err) {}
  void Notify(int messageId, const std::string& text, MessageIcon icon) override;
  bool quiet = false;
 private:
  std::ostream& err_;
};

// Questions are answered by --yes, or at the terminal when standard input is one; otherwise
// they are not answered (Cancel) and the command ends with exit status 3.
class TerminalAsker : public Asker {
 public:
  explicit TerminalAsker(Io& io) : io_(io) {}
  Answer Ask(int messageId, const std::string& text, AskButtons buttons) override;
  bool assumeYes = false;
  bool unanswered = false;  // a question could not be asked
  std::map<int, Answer> presets;  // answers given on the command line, by message number
 private:
  Io& io_;
};

struct Context {
  explicit Context(Io& terminal);

  Io& io;
  TerminalNotifier notifier;
  TerminalAsker asker;
  std::unique_ptr<IniSettingsStore> settings;
  SystemClock clock;
  SystemFileSystem files;
  VideoProbe videoProbe;  // how the database code learns a video's frame count and size
  bool quiet = false;
  // The experiment a writing verb works on through its working copy (experiment_cycle.h).
  ExperimentDocument* document = nullptr;

  Services services();
  // An experiment file description for path, wired to this context's services, and to the
  // working copy of the open document when path is its file.
  ExperimentFile Experiment(const std::string& path);

  // Checks that path is an experiment file of this system: kExitOk, or the failure status
  // after explaining why not.
  int CheckExperimentFile(const std::string& path);

  // Prints "velantrix: <text>" on standard error and returns the failure status.
  int Fail(const std::string& text, int status = kExitFailed);
  // Says that path does not exist (the numbered text, in the user's language): kExitFailed.
  int FailMissing(const std::string& path);
  // Progress on standard error, only when it is a terminal and not --quiet.
  bool ShowProgress() const { return io.errIsTerminal && !quiet; }
};

}  // namespace vx::cli
