// velantrix demo: the main job on built-in sample data. Renders a video of a mouse in an open
// field and builds the demo experiment around it (shell/demo_experiment.h), then analyses it
// with the command line's own verbs (so the demo shows, and checks, the path a user takes) and
// prints the summary, two zone reports (the time spent in and the entries into each zone) and
// the time spent in each behaviour scored on the test.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <memory>
#include <sstream>

#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "experiment_access.h"
#include "option_values.h"
#include "shell/demo_experiment.h"
#include "shell/demo_scene.h"

namespace vx::cli {

namespace {

struct DemoOptions {
  std::string dir;
  double seconds = 60;
  bool analyse = true;
};

// A new folder in the current directory: velantrix-demo, then velantrix-demo-2, ...
std::string NewFolderName(const FileSystem& files) {
  std::string name = "velantrix-demo";
  for (int n = 2; files.Exists(name); ++n) name = Format("velantrix-demo-%d", n);
  return name;
}

std::string Quoted(const std::string& word) {
  return word.find_first_of(" ;|'\"") == std::string::npos ? word : "'" + word + "'";
}

// Runs one verb of the command line on the demo's files.
class DemoSteps {
 public:
  explicit DemoSteps(Context& context) : context_(context) {}

  // Runs args; its standard output is returned (or echoed), its errors go to ours.
  bool Run(const std::vector<std::string>& args, std::string* out = nullptr, bool echo = false) {
    std::istringstream in;
    std::ostringstream captured;
    Io io{in, captured, context_.io.err, false, context_.io.errIsTerminal, context_.io.settingsPath};
    const int status = RunCli(args, io);
    if (echo && !context_.quiet) {
      std::string line = "$ velantrix";
      for (const std::string& word : args) line += " " + Quoted(word);
      context_.io.out << line << '\n' << captured.str();
    }
    if (out) *out = Trim(captured.str());
    if (status != kExitOk) failed_ = Format("'velantrix %s' failed", args.front().c_str());
    return status == kExitOk;
  }
  const std::string& failure() const { return failed_; }

 private:
  Context& context_;
  std::string failed_;
};

int RunDemo(Context& context, const DemoOptions& options) {
  const std::string dir = options.dir.empty() ? NewFolderName(context.files) : options.dir;
  std::error_code error;
  if (context.files.Exists(dir) && !std::filesystem::is_empty(dir, error)) {
    return context.Fail(Format("'%s' already exists and is not empty: give a new folder.", dir.c_str()));
  }
  if (!context.files.CreateDirectories(dir)) {
    return context.Fail(Format("Unable to create the folder '%s'.", dir.c_str()));
  }
  if (!context.quiet) context.io.out << "Rendering a sample video of a mouse in an open field...\n";
  DemoFiles files;
  const DemoStatus made = MakeDemoExperiment(dir, options.seconds, context.services(), context.videoProbe, files);
  if (made == DemoStatus::kVideoFailed) {
    return context.Fail(Format("Unable to write the video '%s'.", files.video.c_str()));
  }
  if (made != DemoStatus::kOk) {
    return context.Fail(Format("Unable to create the experiment '%s'.", files.experiment.c_str()));
  }
  // The paths as the user typed the folder.
  const std::string video = dir + "/open-field.mp4";
  const std::string exp = dir + "/demo.vxdb";
  const DemoLayout layout = DemoArena();
  if (!context.quiet) {
    context.io.out << Format("Video: %s (%d frames, %dx%d, %.0f frames/s)\n", video.c_str(),
                             files.frames, layout.frame.width, layout.frame.height, layout.fps);
    context.io.out << Format("Experiment: %s (protocol 'Open field': arena, 50 cm ruler, centre "
                             "and four corner zones, three behaviours; animal 'Mouse 1'; test 1, "
                             "with behaviours scored)\n",
                             exp.c_str());
  }
  if (!options.analyse) return kExitOk;
  DemoSteps steps(context);
  if (!steps.Run({"analyze", exp, "1"}, nullptr, true) ||
      !steps.Run({"test", "list", exp}, nullptr, true)) {
    return context.Fail(steps.failure());
  }
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, exp, experiment, status)) return status;
  if (!AddDemoReports(experiment)) return context.Fail("Unable to store the demo's reports.");
  if (!steps.Run({"report", "run", exp, "1"}, nullptr, true) ||
      !steps.Run({"report", "run", exp, "2"}, nullptr, true) ||
      !steps.Run({"report", "run", exp, "3"}, nullptr, true)) {
    return context.Fail(steps.failure());
  }
  if (!context.quiet) context.io.out << "The files are in " << dir << "\n";
  return kExitOk;
}

}  // namespace

void RegisterDemoCommands(CLI::App& app, Context& context, CommandResult& result) {
  auto o = std::make_shared<DemoOptions>();
  CLI::App* demo = app.add_subcommand(
      "demo", "Render a sample video of a mouse in an open field, build an experiment for it, "
              "analyse it and show the results");
  demo->add_option("DIR", o->dir, "Folder for the files (default: a new folder here)");
  demo->add_option("--seconds", o->seconds, "Length of the sample video")
      ->check(NumberIn({1, 36000, false, "s"}));
  demo->add_flag("--no-analyze{false}", o->analyse,
                 "Only render the video and build the experiment");
  demo->callback([&, o] { result.Select([&, o] { return RunDemo(context, *o); }); });
}

}  // namespace vx::cli
