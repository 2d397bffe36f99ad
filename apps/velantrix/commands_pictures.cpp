// Verbs that show what the video and the analysis look like: frame, arena suggest, overlay.
#include <CLI/CLI.hpp>

#include <memory>

#include "analysis/arena_background.h"
#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "drawing/overlay.h"
#include "drawing/zone_drawing.h"
#include "experiment_access.h"
#include "output.h"
#include "trajectory/smoothing_settings.h"
#include "trajectory/trajectory_store.h"
#include "video_target.h"
#include "zone_session.h"
#include "zones/arena_finder.h"

namespace vx::cli {

namespace {

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

struct FrameOptions {
  std::string first;
  int testId = -1;
  std::string at = "0";
  std::string zonesExperiment;
  int zonesProtocol = -1;
  int grid = 50;
  std::string out;
};

int RunFrame(Context& context, const FrameOptions& o) {
  if (!EndsWithNoCase(o.out, ".png") && !EndsWithNoCase(o.out, ".jpg")) {
    return context.Fail("--out must name a .png or .jpg image.", kExitUsage);
  }
  if (o.grid != 0 && o.grid < 10) return context.Fail("--grid must be 0 (none) or at least 10 pixels.", kExitUsage);
  if (!o.zonesExperiment.empty() && o.zonesProtocol < 0) {
    return context.Fail("--zones needs --protocol ID.", kExitUsage);
  }
  VideoTarget target;
  if (const int status = ResolveVideoTarget(context, o.first, o.testId, target); status != kExitOk) return status;
  if (!o.zonesExperiment.empty()) {
    target.zones = ZoneSet();
    if (const int status = LoadProtocolZones(context, o.zonesExperiment, o.zonesProtocol, target.zones);
        status != kExitOk) {
      return status;
    }
  }
  VideoSource source;
  if (const int status = OpenTargetVideo(context, target, source); status != kExitOk) return status;
  int frame = 0;
  if (!ParseFrameOrTime(o.at, source, frame)) {
    return context.Fail(Format("--at wants a frame number or a time with its unit (250ms, 90s, "
                               "5min, 1:30), not '%s'.", o.at.c_str()), kExitUsage);
  }
  const int last = source.lastFrame() - source.startFrame();
  if (frame > last) {
    return context.Fail(Format("--at %s is past the end of the video (frames 0 to %d).", o.at.c_str(), last), kExitUsage);
  }
  if (source.GoToFrame(frame) != VideoStatus::kOk || source.CurrentImage().empty()) {
    return context.Fail(Format("Cannot read frame %d of '%s'.", frame, target.videoPath.c_str()));
  }
  cv::Mat image = source.CurrentImage().clone();
  if (o.grid > 0) DrawPixelGrid(image, o.grid);
  DrawZones(image, target.zones);
  if (!WriteImageFile(o.out, image)) return context.Fail(Format("Cannot write the image '%s'.", o.out.c_str()));
  if (!context.quiet) {
    context.io.out << Format("Frame %d (%lld ms), %dx%d pixels, written to %s\n", frame,
                             static_cast<long long>(source.FrameTimeMs(frame)), image.cols,
                             image.rows, o.out.c_str());
  }
  return kExitOk;
}

// The empty arena: the background computed from the whole video, as the analysis computes it.
cv::Mat VideoBackground(VideoSource& source) {
  return ComputeArenaBackground(source, DetectionContext(), 0, source.lastFrame() - source.startFrame()).image;
}

int RunArenaSuggest(Context& context, const std::string& first, int testId, bool json) {
  VideoTarget target;
  if (const int status = ResolveVideoTarget(context, first, testId, target); status != kExitOk) return status;
  VideoSource source;
  if (const int status = OpenTargetVideo(context, target, source); status != kExitOk) return status;
  const cv::Mat background = VideoBackground(source);
  const ArenaSuggestion arena = FindArena(background);
  if (!arena.found) {
    return context.Fail(Format("No arena found in the background of '%s': no even floor stands "
                               "out from its surroundings away from the image's edges.",
                               target.videoPath.c_str()));
  }
  const PixelRect& b = arena.bounds;
  const char* type = ZoneKindName(arena.kind);
  const std::string points = Format("%d;%d;%d;%d", b.left, b.top, b.right, b.bottom);
  const std::string experiment = target.fromTest ? target.experimentPath : "EXP";
  const std::string protocol = target.fromTest ? std::to_string(target.job.test.idProtocol) : "ID";
  const std::string command = Format("velantrix zone add \"%s\" --protocol %s --%s %d,%d,%d,%d --arena --name Arena",
                                     experiment.c_str(), protocol.c_str(), type, b.left, b.top, b.right, b.bottom);
  if (json) {
    context.io.out << "{\"type\": " << JsonString(type) << ", \"left\": " << b.left << ", \"top\": " << b.top
                   << ", \"right\": " << b.right << ", \"bottom\": " << b.bottom << ", \"points\": "
                   << JsonString(points) << ", \"fill\": " << JsonNumber(arena.fill)  << ", \"command\": "
                   << JsonString(command) << "}\n";
    return kExitOk;
  }
  context.io.out << Format("Arena: %s, left %d, top %d, right %d, bottom %d (%dx%d pixels, %.0f%% of the image)\n",
                           type, b.left, b.top, b.right, b.bottom, b.right - b.left + 1,
                           b.bottom - b.top + 1, arena.share * 100)
                 << "Add it with:\n  " << command << '\n';
  return kExitOk;
}

struct OverlayOptions {
  std::string path;
  int testId = -1;
  std::string out;
  std::string from;
  std::string to;
};

int WriteOverlayImage(Context& context, VideoSource& source, const VideoTarget& target,
                      const std::vector<tMyPoint>& points, const std::string& out) {
  cv::Mat picture = VideoBackground(source);
  if (picture.empty() && source.GoToFrame(0) == VideoStatus::kOk) picture = source.CurrentImage();
  if (picture.empty()) return context.Fail(Format("Cannot read '%s'.", target.videoPath.c_str()));
  if (!WriteImageFile(out, DrawTrackPicture(picture, points, target.zones))) {
    return context.Fail(Format("Cannot write the image '%s'.", out.c_str()));
  }
  return kExitOk;
}

int WriteOverlayMovie(Context& context, VideoSource& source, const VideoTarget& target,
                      const std::vector<tMyPoint>& points, const OverlayOptions& o) {
  const int last = source.lastFrame() - source.startFrame();
  int first = 0, end = last;
  if ((!o.from.empty() && !ParseFrameOrTime(o.from, source, first)) ||
      (!o.to.empty() && !ParseFrameOrTime(o.to, source, end))) {
    return context.Fail("--from and --to want a frame number or a time with its unit (250ms, "
                        "90s, 5min, 1:30).", kExitUsage);
  }
  end = std::min(end, last);
  if (first > end) return context.Fail("--from must come before --to, within the video.", kExitUsage);
  VideoFileWriter writer;
  if (!writer.Open(o.out, source.fps(), {source.frameWidth(), source.frameHeight()})) {
    context.files.RemoveFile(o.out);
    return context.Fail(Format("Cannot write the video '%s'.", o.out.c_str()));
  }
  const bool progress = context.ShowProgress();
  const OverlayResult result = WriteOverlayVideo(source, points, target.zones, first, end, writer,
                                                 [&](int done, int total) {
    if (progress && (done % 25 == 0 || done == total)) {
      context.io.err << Format("\rWriting the video: %d / %d frames", done, total) << std::flush;
    }
    return true;
  });
  writer.Close();
  if (progress) context.io.err << '\n';
  if (result.status != OverlayStatus::kOk) {
    context.files.RemoveFile(o.out);
    return context.Fail(Format("Cannot %s frame %d; '%s' was not written.",
                               result.status == OverlayStatus::kReadFailed ? "read" : "write",
                               result.failedFrame, o.out.c_str()));
  }
  if (!context.quiet) {
    context.io.out << Format("%d frames written to %s\n", result.framesWritten, o.out.c_str());
  }
  return kExitOk;
}

int RunOverlay(Context& context, const OverlayOptions& o) {
  const bool movie = EndsWithNoCase(o.out, ".mp4") || EndsWithNoCase(o.out, ".avi");
  if (!movie && !EndsWithNoCase(o.out, ".png") && !EndsWithNoCase(o.out, ".jpg")) {
    return context.Fail("--out must name an .mp4 video or a .png image.", kExitUsage);
  }
  if (!movie && (!o.from.empty() || !o.to.empty())) {
    return context.Fail("--from and --to choose the frames of a video; an image shows the whole track.", kExitUsage);
  }
  VideoTarget target;
  if (const int status = ResolveVideoTarget(context, o.path, o.testId, target); status != kExitOk) return status;
  if (!target.job.test.IsAnalysed()) {
    return context.Fail(Format("Test %d has not been analysed yet: velantrix analyze \"%s\" %d",
                               o.testId, o.path.c_str(), o.testId));
  }
  Experiment experiment;
  experiment.file = context.Experiment(o.path);
  Trajectory trajectory(target.job.smoothing, target.job.test.scale);
  TrajectoryLoadInfo info;
  if (!LoadTestTrajectory(experiment, target.job.test, trajectory, &info)) {
    return context.Fail(Format("Unable to read '%s'.", o.path.c_str()));
  }
  if (info.pointsCorrupt) return context.Fail(Format("The stored trajectory of test %d is corrupt.", o.testId));
  VideoSource source;
  if (const int status = OpenTargetVideo(context, target, source); status != kExitOk) return status;
  return movie ? WriteOverlayMovie(context, source, target, trajectory.points(), o)
               : WriteOverlayImage(context, source, target, trajectory.points(), o.out);
}

void RegisterFrame(CLI::App& app, Context& context, CommandResult& result) {
  auto o = std::make_shared<FrameOptions>();
  CLI::App* frame = app.add_subcommand(
      "frame", "Write one frame of a video (or of a test's video) as an image, with the zones, the "
               "ruler and a pixel grid drawn, to pick coordinates from");
  frame->add_option("VIDEO_OR_EXP", o->first, "A video file, or an experiment followed by a test id")->required();
  frame->add_option("TEST_ID", o->testId, "Test id (its video and its protocol's zones)");
  frame->add_option("--at", o->at, "Frame number, or a time with its unit: 250ms, 90s, 5min, 1:30 (default 0)");
  frame->add_option("--zones", o->zonesExperiment, "Draw the zones of a protocol of this experiment");
  frame->add_option("--protocol", o->zonesProtocol, "The protocol whose zones --zones draws");
  frame->add_option("--grid", o->grid, "Grid step in pixels, 0 for none (default 50)");
  frame->add_option("--out", o->out, "Image file (.png or .jpg)")->required();
  frame->callback([&, o] { result.Select([&, o] { return RunFrame(context, *o); }); });
}

void RegisterArena(CLI::App& app, Context& context, CommandResult& result) {
  auto first = std::make_shared<std::string>();
  auto testId = std::make_shared<int>(-1);
  auto json = std::make_shared<bool>(false);
  CLI::App* arena = Verb(app, "arena", "The arena in a video");
  CLI::App* suggest = arena->add_subcommand(
      "suggest", "Find the arena's floor (a rectangle or an ellipse) in the background of a video "
                 "and print the command that adds it as the protocol's arena");
  suggest->add_option("VIDEO_OR_EXP", *first, "A video file, or an experiment followed by a test id")->required();
  suggest->add_option("TEST_ID", *testId, "Test id (its video)");
  suggest->add_flag("--json", *json, "One JSON document");
  suggest->callback([&, first, testId, json] {
    result.Select([&, first, testId, json] { return RunArenaSuggest(context, *first, *testId, *json); });
  });
}

void RegisterOverlay(CLI::App& app, Context& context, CommandResult& result) {
  auto o = std::make_shared<OverlayOptions>();
  CLI::App* overlay = app.add_subcommand(
      "overlay", "Draw a test's track, outline, centre, head and zones over its video (.mp4, "
                 "H.264) or the whole track over the empty arena (.png)");
  overlay->add_option("EXP", o->path, "Experiment file")->required();
  overlay->add_option("TEST_ID", o->testId, "Test id")->required();
  overlay->add_option("--out", o->out, "VIDEO.mp4 or IMAGE.png")->required();
  overlay->add_option("--from", o->from, "First frame of the video: a frame number or a time (90s, 1:30)");
  overlay->add_option("--to", o->to, "Last frame of the video: a frame number or a time");
  overlay->callback([&, o] { result.Select([&, o] { return RunOverlay(context, *o); }); });
}

}  // namespace

void RegisterPictureCommands(CLI::App& app, Context& context, CommandResult& result) {
  RegisterFrame(app, context, result);
  RegisterArena(app, context, result);
  RegisterOverlay(app, context, result);
}

}  // namespace vx::cli
