// Verbs on the videos of an experiment: video add, list.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <memory>

#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "db/video_store.h"
#include "experiment_access.h"
#include "output.h"

namespace vx::cli {

namespace {

// The video record of a readable file: its facts, evenly spaced frame times, and how it was
// read (the first and the last frame index as the two numbers of the description).
CVideoFile VideoOf(const ExperimentFile& file, const std::string& absolute,
                   const VideoFileFacts& facts, const std::string& name, int64_t now) {
  CVideoFile video;
  video.name = name;
  video.file = StoredVideoPath(file, absolute);
  video.dateAcq = now;
  video.nbFrames = facts.frameCount;
  video.duration = facts.durationMs;
  video.width = facts.width;
  video.height = facts.height;
  video.listePoints = UniformFrameTimes(facts.frameCount, facts.durationMs);
  video.infos.backend = facts.backend;
  video.infos.known = 1;
  video.infos.first = 0;
  video.infos.second = facts.frameCount - 1;
  video.infos.timeBase = facts.fps > 0 ? 1 : 0;
  return video;
}

int RunAdd(Context& context, const std::string& path, const std::string& videoPath,
           const std::string& name) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(videoPath, error)) {
    return context.Fail(Format("'%s' does not exist.", videoPath.c_str()));
  }
  VideoFileFacts facts;
  if (!context.videoProbe || !context.videoProbe(videoPath, facts)) {
    return context.Fail(Format("'%s' is not a video file that can be read.", videoPath.c_str()));
  }
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
  CVideoFile video = VideoOf(absoluteFile, absolute, facts, shownName, context.clock.NowSeconds());
  const bool saved = SaveVideo(experiment, video);
  return ReportCreated(context, saved, video.id, "video");
}

int RunList(Context& context, const std::string& path, OutputFormat format) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, experiment, status)) return status;
  RecordTable table({"id", "name", "file", "frames", "duration_ms", "width", "height", "tests"});
  for (const auto& [id, v] : experiment.videos) {
    table.Add({Cell::Int(v.id), Cell::Str(v.name), Cell::Str(v.file), Cell::Int(v.nbFrames),
               Cell::Int(v.duration), Cell::Int(v.width), Cell::Int(v.height),
               Cell::Int(v.testIds.size())});
  }
  table.Print(context.io.out, format);
  return kExitOk;
}

}  // namespace

void RegisterVideoCommands(CLI::App& app, Context& context, CommandResult& result) {
  CLI::App* video = Verb(app, "video", "Videos: add, list, info");
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

  AddListVerb(*video, context, result, "List the videos of an experiment", RunList);
}

}  // namespace vx::cli
