// Verbs on video files without an experiment: video info, detect.
#include <CLI/CLI.hpp>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <climits>
#include <fstream>
#include <memory>

#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "db/animal_size.h"
#include "detection/detection_drawing.h"
#include "detection/detector.h"
#include "detection_flags.h"
#include "option_values.h"
#include "output.h"
#include "video/video_info.h"
#include "video/video_scan.h"
#include "video/video_source.h"

namespace vx::cli {

namespace {

// Opens path into source, or says why not (exit status 1).
int OpenVideo(Context& context, VideoSource& source, const std::string& path) {
  if (!context.files.Exists(path)) return context.FailMissing(path);
  const VideoStatus status = source.OpenFile(path);
  if (status != VideoStatus::kOk) {
    return context.Fail(Format("Cannot open the video '%s': %s.", path.c_str(), VideoStatusText(status)));
  }
  return kExitOk;
}

// The facts a registration would store: frames that decode, the last frame's time, the
// rate the file announces (and its own frame count when the two differ).
int RunVideoInfo(Context& context, const std::string& path, bool json) {
  if (!context.files.Exists(path)) return context.FailMissing(path);
  VideoScan scan;
  const VideoStatus status = ScanVideoFile(path, scan);
  if (status != VideoStatus::kOk) {
    return context.Fail(Format("Cannot open the video '%s': %s.", path.c_str(), VideoStatusText(status)));
  }
  const uint32_t durationMs = scan.times.back();
  std::ostream& out = context.io.out;
  if (json) {
    out << "{\"backend\": " << JsonString(BackendName(scan.backend))
        << ", \"fps\": " << JsonNumber(scan.fps) << ", \"frames\": " << scan.frameCount
        << ", \"frames_announced\": " << scan.announcedCount
        << ", \"duration_ms\": " << durationMs << ", \"width\": " << scan.width
        << ", \"height\": " << scan.height
        << ", \"timing\": " << JsonString(TimingSourceName(scan.timing)) << "}\n";
    return kExitOk;
  }
  out << "Backend: " << BackendName(scan.backend) << '\n'
      << "Frame rate: " << JsonNumber(scan.fps) << '\n'
      << "Frames: " << scan.frameCount;
  if (scan.announcedCount != scan.frameCount) {
    out << " (the file announces " << scan.announcedCount << ")";
  }
  out << '\n'
      << "Duration: " << durationMs << " ms (time of the last frame)\n"
      << "Size: " << scan.width << 'x' << scan.height << '\n'
      << "Timing: " << TimingSourceName(scan.timing) << '\n';
  return kExitOk;
}

struct DetectOptions {
  std::string video;
  DetectionFlags settings;
  int frame = -1;      // -1: not given
  int count = 0;       // 0: to the end
  std::string arena;   // "LEFT,TOP,RIGHT,BOTTOM"
  double scale = 0.0;
  bool head = false;
  std::string out;
  std::string csv;
  std::string reference;
};

bool ParseArena(const std::string& text, cv::Rect& arena) {
  const std::vector<std::string> parts = Split(text, ',', true);
  int v[4];
  if (parts.size() != 4) return false;
  for (int i = 0; i < 4; ++i) {
    if (!TryParseInt(parts[i], v[i])) return false;
  }
  if (v[2] <= v[0] || v[3] <= v[1]) return false;
  arena = cv::Rect(v[0], v[1], v[2] - v[0], v[3] - v[1]);
  return true;
}

bool NeedsReference(int method) {
  return method == kMethodAutomatic || method == kMethodSubtraction ||
         method == kMethodSubtractionAdvanced;
}

// Reads the reference image and brings it to the coordinates the method reads it in: the
// frame for method 0 without the background flag, the arena rectangle otherwise. A full-frame
// image is cut to the arena. "" on success, else the reason.
std::string LoadReference(const DetectOptions& options, DetectionSettings& settings,
                          cv::Size frame, const cv::Rect& arena) {
  const int mode = settings.method == kMethodSubtractionAdvanced ? cv::IMREAD_COLOR
                                                                  : cv::IMREAD_GRAYSCALE;
  cv::Mat image;
  try {
    image = cv::imread(options.reference, mode);
  } catch (const cv::Exception&) {
  }
  if (image.empty()) return Format("Cannot read the reference image '%s'.", options.reference.c_str());
  const bool frameCoordinates = settings.method == kMethodAutomatic && !settings.backgroundFlag;
  if (frameCoordinates || image.size() == arena.size()) {
    if (image.size() != (frameCoordinates ? frame : arena.size())) {
      return Format("The reference image is %dx%d; it must be the frame's size (%dx%d).",
                    image.cols, image.rows, frame.width, frame.height);
    }
    settings.referenceImage = image;
    return {};
  }
  if (image.size() != frame) {
    return Format("The reference image is %dx%d; it must be the frame's size (%dx%d) or the "
                  "arena's (%dx%d).",
                  image.cols, image.rows, frame.width, frame.height, arena.width, arena.height);
  }
  settings.referenceImage = image(arena).clone();
  return {};
}

std::string PointRow(const tMyPoint& p) {
  return Format("%d,%d,%d,%d,%d,%d,%d,%d,%d,%d", p.frame, p.time, p.rawX, p.rawY, p.headX,
                p.headY, p.boxLeft, p.boxTop, p.boxRight, p.boxBottom);
}

// Every frame from the first into the CSV file, in tracking mode. Frames are read one after
// another up to the last one that decodes (never beyond, whatever the file's header says), and
// timed as the analysis of a registered video times them.
int WriteFramesCsv(Context& context, VideoSource& source, Detector& detector,
                   const DetectOptions& options) {
  VideoScan scan;
  const VideoStatus scanned = ScanVideoFile(options.video, scan);
  if (scanned != VideoStatus::kOk) {
    return context.Fail(Format("Cannot read the frames of '%s': %s.", options.video.c_str(),
                               VideoStatusText(scanned)));
  }
  std::ofstream file;
  const bool toStdout = options.csv == "-";
  if (!toStdout) {
    file.open(options.csv, std::ios::trunc);
    if (!file) return context.Fail(Format("Cannot write '%s'.", options.csv.c_str()));
  }
  std::ostream& out = toStdout ? context.io.out : file;
  out << "frame,time,x,y,head_x,head_y,left,top,right,bottom\n";
  detector.trackingMode = true;
  const int first = std::max(0, options.frame);
  int last = scan.frameCount - 1;
  if (options.count > 0) last = std::min(last, first + options.count - 1);
  if (first <= last) source.GoToFrame(first - 1);
  cv::Mat image, mask;
  BlobList blobs;
  double positionMs = 0;
  int frames = 0, found = 0;
  for (int n = first; n <= last && source.ReadNextFrame(image, positionMs); ++n, ++frames) {
    tMyPoint point;
    point.frame = n;
    point.time = static_cast<int>(scan.times[n]);
    DetectInFrame(detector, image, mask, point, blobs, options.head);
    found += point.HasAnimal() ? 1 : 0;
    out << PointRow(point) << '\n';
    if (context.ShowProgress() && n % 50 == 0) {
      context.io.err << Format("\r%d / %d", n - first + 1, last - first + 1) << std::flush;
    }
  }
  if (context.ShowProgress()) context.io.err << '\n';
  if (!toStdout && !context.quiet) {
    context.io.out << Format("%d frames, animal found in %d (%.1f%%)\n", frames, found,
                             frames ? found * 100.0 / frames : 0.0);
  }
  return file.good() || toStdout ? kExitOk : context.Fail(Format("Cannot write '%s'.", options.csv.c_str()));
}

// One frame, in preview mode: the point on standard output and, with --out, the drawing.
int DetectOneFrame(Context& context, VideoSource& source, Detector& detector,
                   const DetectOptions& options) {
  const int n = std::max(0, options.frame);
  if (source.GoToFrame(n) != VideoStatus::kOk) {
    return context.Fail(Format("Cannot read frame %d of '%s'.", n, options.video.c_str()));
  }
  detector.trackingMode = false;
  tMyPoint point;
  point.frame = source.currentFrame();
  point.time = static_cast<int>(source.FrameTimeMs(-1));
  cv::Mat mask;
  BlobList blobs;
  DetectInFrame(detector, source.CurrentImage(), mask, point, blobs, options.head);
  if (!options.out.empty()) {
    cv::Mat image = source.CurrentImage().clone();
    DrawDetection(image, point, blobs);
    bool written = false;
    try {
      written = cv::imwrite(options.out, image);
    } catch (const cv::Exception&) {
    }
    if (!written) return context.Fail(Format("Cannot write the image '%s'.", options.out.c_str()));
  }
  if (options.csv.empty()) {
    context.io.out << "frame,time,x,y,head_x,head_y,left,top,right,bottom\n" << PointRow(point) << '\n';
  }
  return kExitOk;
}

int RunDetect(Context& context, const DetectOptions& options) {
  if (!options.settings.Given()) {
    return context.Fail("detect: give the detection settings, by name (--method and the others, "
                        "see --help) or as stored text (--settings).", kExitUsage);
  }
  DetectionSettings settings = ParseDetectionSettings("", context.clock);
  if (const int status = ApplyDetectionFlags(context, options.settings, settings); status != kExitOk) {
    return status;
  }
  cv::Rect arena;
  if (!options.arena.empty() && !ParseArena(options.arena, arena)) {
    return context.Fail("--arena wants LEFT,TOP,RIGHT,BOTTOM with RIGHT > LEFT and BOTTOM > TOP.",
                        kExitUsage);
  }
  if (options.scale < 0) return context.Fail("--scale must not be negative.", kExitUsage);
  if (NeedsReference(settings.method) && options.reference.empty()) {
    return context.Fail(Format("Detection method %d (%s) needs a reference image of the empty "
                               "arena: give it with --reference IMAGE.png.",
                               settings.method, MethodLabel(settings.method)));
  }
  VideoSource source;
  if (const int status = OpenVideo(context, source, options.video); status != kExitOk) return status;
  const cv::Size frame(source.frameWidth(), source.frameHeight());
  const cv::Rect search = SearchRectangle(arena, frame);
  if (NeedsReference(settings.method)) {
    const std::string problem = LoadReference(options, settings, frame, search);
    if (!problem.empty()) return context.Fail(problem);
  }
  ContextInputs inputs;
  inputs.arena = arena.empty() ? cv::Rect() : search;
  inputs.scale = options.scale;
  inputs.headDetection = options.head;
  if (options.scale > 0) {  // without a scale, sizes in cm² cannot be told
    const AnimalSizeSetting size;
    inputs.animalMinSize = size.minSize;
    inputs.animalMaxSize = size.maxSize;
  }
  if (options.scale <= 0) settings.sizeMode = kSizeNone;
  Detector detector(source);
  detector.SetContext(MakeDetectionContext(settings, inputs));
  if (!options.csv.empty()) {
    if (const int status = WriteFramesCsv(context, source, detector, options); status != kExitOk) {
      return status;
    }
    if (options.out.empty()) return kExitOk;
    detector.ResetTracking();
  }
  return DetectOneFrame(context, source, detector, options);
}

}  // namespace

void RegisterDetectionCommands(CLI::App& app, Context& context, CommandResult& result) {
  CLI::App* video = Verb(app, "video", "Videos: add, list, info");
  auto infoPath = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  CLI::App* info = video->add_subcommand("info", "Back-end, frame rate, frames, duration, size and timing of a video");
  info->add_option("VIDEO", *infoPath, "Video file")->required();
  info->add_flag("--json", *json, "One JSON document");
  info->callback([&, infoPath, json] {
    result.Select([&, infoPath, json] { return RunVideoInfo(context, *infoPath, *json); });
  });

  auto options = std::make_shared<DetectOptions>();
  CLI::App* detect = app.add_subcommand("detect", "Find the animal in a video without an experiment");
  detect->add_option("VIDEO", options->video, "Video file")->required();
  // Here the reference is an image file (--reference below), not a stored reference choice.
  AddDetectionFlags(*detect, options->settings, "--settings", "reference");
  detect->add_option("--frame", options->frame, "The frame to detect (or to start from with --csv)")->check(NumberIn({0, INT_MAX, true, ""}));
  detect->add_option("--count", options->count, "With --csv: at most this many frames")->check(NumberIn({1, INT_MAX, true, ""}));
  detect->add_option("--arena", options->arena, "Arena rectangle LEFT,TOP,RIGHT,BOTTOM in pixels")
      ->check(NumbersIn({"LEFT,TOP,RIGHT,BOTTOM", ',', 4, PixelCoordinate(), false}));
  detect->add_option("--scale", options->scale, "Millimetres per pixel (turns the animal size filter on)")
      ->check(NumberIn({0.0001, 10000, false, "mm/pixel"}));
  detect->add_flag("--head", options->head, "Detect the head too");
  detect->add_option("--out", options->out, "Draw the frame's detection into this image (.png)");
  detect->add_option("--csv", options->csv, "Write every frame's point to this CSV file ('-': standard output)");
  detect->add_option("--reference", options->reference, "Reference image of the empty arena (methods 0, 4, 5)");
  detect->callback([&, options] { result.Select([&, options] { return RunDetect(context, *options); }); });
}

}  // namespace vx::cli
