// Verbs of recording: camera list, record (a test from a camera, or from a video file standing
// in for one, tracked live when asked).
#include <CLI/CLI.hpp>

#include <cstdint>
#include <memory>

#include "analysis/test_stage_program.h"
#include "base/messages.h"
#include "base/recording_messages.h"
#include "base/text.h"
#include "base/time_text.h"
#include "commands.h"
#include "context.h"
#include "experiment_access.h"
#include "interrupt_guard.h"
#include "option_values.h"
#include "output.h"
#include "recording/recording_texts.h"
#include "recording/test_recording.h"
#include "video/camera_list.h"

namespace vx::cli {

namespace {

int RunCameraList(Context& context, bool json) {
  CameraList cameras;
  cameras.Enumerate();
  RecordTable table({"index", "name", "device"});
  for (int i = 0; i < cameras.Count(); ++i) {
    table.Add({Cell::Int(i), Cell::Str(cameras.Name(i)),
               Cell::Str(Format("/dev/video%d", cameras.Device(i)))});
  }
  if (!json && cameras.Count() == 0) {
    if (!context.quiet) context.io.out << "No camera found.\n";
    return kExitOk;
  }
  table.Print(context.io.out, json ? OutputFormat::Json : OutputFormat::Text);
  return kExitOk;
}

struct RecordOptions {
  std::string path;
  int testId = -1;
  int protocol = -1, animal = -1;
  int camera = 0;
  std::string source, duration, format, title;
  bool track = false, fast = false, json = false;
};

// Progress on standard error (a line rewritten in place), and Ctrl-C.
class TerminalRecording : public RecordingObserver {
 public:
  TerminalRecording(Context& context, bool track) : context_(context), track_(track) {}
  void Progress(const RecordingProgress& p) override {
    if (!context_.ShowProgress()) return;
    std::string line = RecordingProgressText(p, track_);
    if (p.countdownMs <= 0) line += "  (Ctrl-C stops and keeps it)";
    context_.io.err << "\r" << line << "\033[K" << std::flush;
    shown_ = true;
  }
  bool Cancelled() const override { return InterruptFlag().load(); }
  void Clear() {
    if (shown_) context_.io.err << "\r\033[K" << std::flush;
  }

 private:
  Context& context_;
  bool track_;
  bool shown_ = false;
};

void PrintOutcome(Context& context, const RecordOutcome& outcome, bool json) {
  const RecordingResult& r = outcome.recording;
  if (json) {
    context.io.out << "{\"test\": " << outcome.testId << ", \"video\": " << outcome.videoId
                   << ", \"file\": " << JsonString(outcome.storedPath) << ", \"format\": "
                   << JsonString(outcome.format->name) << ", \"frames\": " << r.Frames()
                   << ", \"duration_ms\": " << r.LengthMs() << ", \"grabbed\": " << r.grabbed
                   << ", \"dropped\": " << r.dropped << ", \"tracked\": "
                   << (outcome.tracked ? "true" : "false") << ", \"points\": " << outcome.points
                   << "}\n";
    return;
  }
  if (!context.quiet) context.io.out << RecordedText(outcome) << "\n";
}

int RunRecord(Context& context, const RecordOptions& o) {
  RecordRequest request;
  if (!o.duration.empty()) {
    int64_t ms = 0;
    if (!ParseTimeText(o.duration, ms) || ms <= 0 || ms > INT32_MAX) {
      return context.Fail("--duration: '" + o.duration + "' is not a duration such as 90s, 5min or 1h.", kExitUsage);
    }
    request.durationMs = static_cast<int>(ms);
  }
  if (!o.format.empty() && FindRecordingFormat(o.format) == nullptr) {
    std::string names;
    for (const RecordingFormat& f : RecordingFormats()) names += std::string(names.empty() ? "" : ", ") + f.name;
    return context.Fail("--format: '" + o.format + "' is not one of " + names + ".", kExitUsage);
  }
  if ((o.testId < 0) == (o.protocol < 0 || o.animal < 0)) {
    return context.Fail("Name the test to record, or give --protocol and --animal to create one.", kExitUsage);
  }
  if (!o.source.empty() && !context.files.Exists(o.source)) {
    return context.Fail(Format("'%s' does not exist.", o.source.c_str()));
  }
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, o.path, experiment, status)) return status;
  request.testId = o.testId;
  request.newProtocol = o.protocol;
  request.newAnimal = o.animal;
  request.newTitle = o.title;
  request.camera = o.camera;
  request.standIn = o.source;
  request.pace = o.fast ? StreamPace::kFast : StreamPace::kRealTime;
  request.track = o.track;
  request.format = o.format;

  TerminalRecording terminal(context, o.track);
  RecordOutcome outcome;
  {
    InterruptGuard guard;
    outcome = RecordTest(experiment, request, terminal, StageProgramFactory(experiment.fields));
  }
  terminal.Clear();
  if (outcome.status != RecordStatus::kRecorded) {
    const std::string why = NotRecordedReason(outcome);
    const std::string test = o.testId >= 0 ? Format("Test %d", o.testId)
                                           : Format("A test of protocol %d and animal %d", o.protocol, o.animal);
    return context.Fail(Format("%s was not recorded: %s.", test.c_str(), why.c_str()));
  }
  PrintOutcome(context, outcome, o.json);
  bool warned = false;
  if (outcome.recording.dropped > 0) {
    context.io.err << "velantrix: warning: " << outcome.recording.dropped << " frames were dropped. "
                   << MessageText(msg::kComputerTooSlow) << "\n";
    warned = true;
  }
  if (outcome.trackingNotStored) {
    context.io.err << "velantrix: warning: the recording is stored, but its live tracking could not be; "
                      "run 'velantrix analyze' on the test.\n";
    warned = true;
  }
  return warned ? kExitWarnings : kExitOk;
}

void RegisterRecord(CLI::App& app, Context& context, CommandResult& result) {
  auto o = std::make_shared<RecordOptions>();
  CLI::App* record = app.add_subcommand(
      "record", "Record a test from a camera (or a video file standing in for one), with its frame times");
  record->add_option("EXP", o->path, "Experiment file")->required();
  record->add_option("TEST_ID", o->testId, "The test to record (one without a video, or to record again)")
      ->check(NumberIn(RecordId()));
  CLI::Option* camera = record->add_option("--camera", o->camera, "Camera number, from 'camera list' (default 0)")
                            ->check(CLI::Range(0, CameraList::kMaxCameras - 1));
  record->add_option("--source", o->source, "A video file played as the camera, at its frame rate")->excludes(camera);
  record->add_flag("--fast", o->fast, "With --source: deliver the frames without waiting (times still from the file)");
  record->add_flag("--track", o->track, "Track the animal while recording, and store the analysis");
  record->add_option("--duration", o->duration, "Length of the recording, e.g. 90s, 5min (default: the protocol's)");
  record->add_option("--format", o->format, "mpeg4, h264, ffv1 (lossless), mjpg or iyuv (default: the protocol's, else the best this machine writes)");
  record->add_option("--protocol", o->protocol, "Create the test: its protocol")->check(NumberIn(RecordId()));
  record->add_option("--animal", o->animal, "Create the test: its animal")->check(NumberIn(RecordId()));
  record->add_option("--title", o->title, "Create the test: its title");
  record->add_flag("--json", o->json, "One JSON document");
  record->callback([&, o] { result.Select([&, o] { return RunRecord(context, *o); }); });
}

}  // namespace

void RegisterRecordCommands(CLI::App& app, Context& context, CommandResult& result) {
  CLI::App* camera = Verb(app, "camera", "Cameras: list");
  auto json = std::make_shared<bool>(false);
  CLI::App* list = camera->add_subcommand("list", "List the cameras of this machine (none is not an error)");
  list->add_flag("--json", *json, "One JSON document");
  list->callback([&, json] { result.Select([&, json] { return RunCameraList(context, *json); }); });
  RegisterRecord(app, context, result);
}

}  // namespace vx::cli
