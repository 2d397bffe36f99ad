// Verbs on the videos of an experiment: video add, set, list.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <memory>

#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "db/video_store.h"
#include "experiment_access.h"
#include "option_values.h"
#include "output.h"

namespace vx::cli {

namespace {

// Reads the facts of a video file; kExitOk, or the failure status after printing why.
int ProbeVideo(Context& context, const std::string& videoPath, VideoFileFacts& facts) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(videoPath, error)) {
    return context.FailMissing(videoPath);
  }
  const auto progress = [&context](int frames, int announced) {
    if (!context.ShowProgress()) return;
    context.io.err << "\rCounting the frames that decode: " << frames;
    if (announced > 0) context.io.err << " (the file announces " << announced << ")";
    context.io.err << std::flush;
  };
  const bool probed = context.videoProbe && context.videoProbe(videoPath, facts, progress);
  if (context.ShowProgress() && facts.counted) context.io.err << '\n';
  if (!probed) {
    return context.Fail(Format("'%s' is not a video file that can be read.", videoPath.c_str()));
  }
  return kExitOk;
}

int RunAdd(Context& context, const std::string& path, const std::string& videoPath,
           const std::string& name) {
  VideoFileFacts facts;
  if (const int failed = ProbeVideo(context, videoPath, facts)) return failed;
  std::error_code error;
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, experiment, status)) return status;
  const std::string absolute = std::filesystem::absolute(videoPath, error).lexically_normal();
  const std::string shownName =
      name.empty() ? std::filesystem::path(videoPath).filename().string() : name;
  // Both paths absolute, so that a video in the companion folder is stored relative to it
  // whichever way the experiment was named.
  const ExperimentFile absoluteFile =
      context.Experiment(std::filesystem::absolute(path, error).lexically_normal());
  CVideoFile video = VideoRecordOf(absoluteFile, absolute, facts, shownName, context.clock.NowSeconds());
  const bool saved = SaveVideo(experiment, video);
  if (saved && facts.announcedCount != facts.frameCount && !context.quiet) {
    context.io.err << Format("velantrix: note: '%s' announces %d frames; %d decode and are "
                             "registered.\n",
                             videoPath.c_str(), facts.announcedCount, facts.frameCount);
  }
  return ReportCreated(context, saved, video.id, "video");
}

struct SetOptions {
  RecordEdit edit;
  std::string file;
};

// A new file for a video is accepted only when it is the same video (frames and size): the
// tests' stored analyses and frame times then stay true, and no result changes.
int RunSet(Context& context, const SetOptions& o) {
  VideoFileFacts facts;
  if (!o.file.empty()) {
    if (const int failed = ProbeVideo(context, o.file, facts)) return failed;
  }
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, o.edit.path, experiment, status)) return status;
  const auto found = experiment.videos.find(o.edit.id);
  if (found == experiment.videos.end()) {
    return context.Fail(Format("There is no video %d in '%s'.", o.edit.id, o.edit.path.c_str()));
  }
  CVideoFile video = found->second;
  if (const int failed = o.edit.Apply(context, "video", video.name, video.notes)) return failed;
  if (!o.file.empty()) {
    if (facts.frameCount != video.nbFrames || facts.width != video.width || facts.height != video.height) {
      return context.Fail(Format("'%s' is not the same video: %d frames of %dx%d, where video %d has %d frames of "
                                 "%dx%d. Add it as a new video instead.",
                                 o.file.c_str(), facts.frameCount, facts.width, facts.height, o.edit.id, video.nbFrames,
                                 video.width, video.height));
    }
    std::error_code error;
    const ExperimentFile absoluteFile =
        context.Experiment(std::filesystem::absolute(o.edit.path, error).lexically_normal());
    video.file = StoredVideoPath(absoluteFile, std::filesystem::absolute(o.file, error).lexically_normal());
  }
  return o.edit.Saved(context, SaveVideo(experiment, video), "video");
}

void RegisterSet(CLI::App& video, Context& context, CommandResult& result) {
  auto o = std::make_shared<SetOptions>();
  CLI::App* set = AddSetVerb(video, o->edit, "Rename a video, note it, or give the new place of its moved file");
  set->add_option("--file", o->file, "The video file's new place (the same video, moved or renamed)");
  set->callback([&, o] { result.Select([&, o] { return RunSet(context, *o); }); });
}

int RunList(Context& context, const std::string& path, OutputFormat format) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, experiment, status)) return status;
  RecordTable table({"id", "name", "file", "frames", "duration_ms", "width", "height", "tests", "notes"});
  for (const auto& [id, v] : experiment.videos) {
    table.Add({Cell::Int(v.id), Cell::Str(v.name), Cell::Str(v.file), Cell::Int(v.nbFrames),
               Cell::Int(v.duration), Cell::Int(v.width), Cell::Int(v.height),
               Cell::Int(v.testIds.size()), Cell::Str(v.notes)});
  }
  table.Print(context.io.out, format);
  return kExitOk;
}

}  // namespace

void RegisterVideoCommands(CLI::App& app, Context& context, CommandResult& result) {
  CLI::App* video = Verb(app, "video", "Videos: add, set, list, info, decode");
  auto path = std::make_shared<std::string>();
  auto file = std::make_shared<std::string>();
  auto name = std::make_shared<std::string>();
  CLI::App* add = video->add_subcommand("add", "Register a video file; prints its id");
  add->add_option("EXP", *path, "Experiment file")->required();
  add->add_option("VIDEO", *file, "Video file")->required();
  add->add_option("--name", *name, "Name shown for the video (default: the file name)");
  add->callback([&, path, file, name] {
    result.Select([&, path, file, name] { return RunAdd(context, *path, *file, *name); });
  });

  RegisterSet(*video, context, result);
  AddListVerb(*video, context, result, "List the videos of an experiment", RunList);
}

}  // namespace vx::cli
