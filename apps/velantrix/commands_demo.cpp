// velantrix demo: the main job on built-in sample data. Renders a video of a mouse in an open
// field, builds an experiment around it with the command line's own verbs (so the demo shows,
// and checks, the path a user takes), analyses it and prints the summary and two zone reports:
// the time spent in and the entries into each zone.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <memory>
#include <sstream>

#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "demo_scene.h"
#include "option_values.h"

namespace vx::cli {

namespace {

// Time in each zone over the whole test, and the entries into each zone.
const std::vector<std::string> kTimeInZones = {"--measure", "time-in-zone", "--unit", "s.ms"};
const std::vector<std::string> kEntries = {"--measure", "entries"};

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

std::string Corners(const cv::Rect& r) {
  return Format("%d,%d,%d,%d", r.x, r.y, r.x + r.width, r.y + r.height);
}

// Builds the experiment: protocol with arena, ruler and zones, an animal, the video, a test.
bool BuildExperiment(DemoSteps& steps, const DemoLayout& layout, const std::string& exp,
                     const std::string& video) {
  std::string protocol, animal, videoId, test;
  const bool built =
      steps.Run({"new", exp}) &&
      steps.Run({"protocol", "add", exp, "--name", "Open field", "--size",
                 Format("%dx%d", layout.frame.width, layout.frame.height)},
                &protocol) &&
      steps.Run({"zone", "add", exp, "--protocol", protocol, "--rect", Corners(layout.arena), "--name",
                 "Open field", "--arena"}) &&
      steps.Run({"ruler", "set", exp, "--protocol", protocol, "--points",
                 Format("%d;%d;%d;%d", layout.rulerFrom.x, layout.rulerFrom.y, layout.rulerTo.x,
                        layout.rulerTo.y),
                 "--length", std::to_string(layout.rulerMm), "--unit", "mm"});
  if (!built) return false;
  for (const DemoZone& zone : layout.zones) {
    if (!steps.Run({"zone", "add", exp, "--protocol", protocol, "--rect", Corners(zone.rect), "--name",
                    zone.name})) {
      return false;
    }
  }
  // The automatic method: the animal against the background of the arena, which the analysis
  // computes from the video itself.
  return steps.Run({"animal", "add", exp, "--name", "Mouse 1"}, &animal) &&
         steps.Run({"video", "add", exp, video, "--name", "Open field, mouse 1"}, &videoId) &&
         steps.Run({"test", "add", exp, "--protocol", protocol, "--video", videoId, "--animal",
                    animal, "--title", "Mouse 1, day 1", "--method", "auto",
                    "--reference", "background"},
                   &test);
}

// Stores a report in the demo's protocol and prints its table over the experiment's tests.
bool AddAndRunReport(DemoSteps& steps, const std::string& exp, const std::string& name,
                     const std::vector<std::string>& definition) {
  std::string report;
  std::vector<std::string> add = {"report", "add", exp, "--protocol", "1", "--name", name};
  add.insert(add.end(), definition.begin(), definition.end());
  return steps.Run(add, &report, true) &&
         steps.Run({"report", "run", exp, report}, nullptr, true);
}

int RunDemo(Context& context, const DemoOptions& options) {
  const std::string dir = options.dir.empty() ? NewFolderName(context.files) : options.dir;
  std::error_code error;
  if (context.files.Exists(dir) && !std::filesystem::is_empty(dir, error)) {
    return context.Fail(Format("'%s' already exists and is not empty: give a new folder.", dir.c_str()));
  }
  if (!context.files.CreateDirectories(dir)) {
    return context.Fail(Format("Unable to create the folder '%s'.", dir.c_str()));
  }
  const DemoLayout layout = DemoArena();
  const std::string video = dir + "/open-field.mp4";
  const std::string exp = dir + "/demo.vxdb";
  if (!context.quiet) context.io.out << "Rendering a sample video of a mouse in an open field...\n";
  const std::vector<AnimalPose> poses = DemoPath(layout, options.seconds);
  if (!WriteDemoVideo(video, layout, poses)) {
    return context.Fail(Format("Unable to write the video '%s'.", video.c_str()));
  }
  if (!context.quiet) {
    context.io.out << Format("Video: %s (%zu frames, %dx%d, %.0f frames/s)\n", video.c_str(),
                             poses.size(), layout.frame.width, layout.frame.height, layout.fps);
  }
  DemoSteps steps(context);
  if (!BuildExperiment(steps, layout, exp, video)) return context.Fail(steps.failure());
  if (!context.quiet) {
    context.io.out << Format("Experiment: %s (protocol 'Open field': arena, 50 cm ruler, centre "
                             "and four corner zones; animal 'Mouse 1'; test 1)\n",
                             exp.c_str());
  }
  if (!options.analyse) return kExitOk;
  if (!steps.Run({"analyze", exp, "1"}, nullptr, true) ||
      !steps.Run({"test", "list", exp}, nullptr, true) ||
      !AddAndRunReport(steps, exp, "Time in zones", kTimeInZones) ||
      !AddAndRunReport(steps, exp, "Entries", kEntries)) {
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
