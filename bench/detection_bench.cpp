// What detection costs on top of decoding, on a 640×480 H.264 video of a rendered animal
// walking round an arena (written once with libx264 through the video library).
//
//   build/bench/vx_bench --benchmark_filter=Detection
//
// DecodeOnly reads the frames alone; DecodeAndDetect reads them and runs DetectInFrame (image
// subtraction against the empty arena, tracking mode, as an analysis does); DetectOnly times
// detection on frames decoded beforehand. Their frames-per-second counters, taken in one run,
// give the ratio that matters: (decode + detect) time / decode time. Times are the CPU time
// of the whole process (the decoder and OpenCV run threads of their own); "fps" is frames per
// CPU second. On a busy machine the steadier figures are decode_us (process CPU per frame of
// DecodeOnly) and detect_us (CPU of the detecting thread per frame inside DecodeAndDetect):
// the ratio is then 1 + detect_us / decode_us.
#include <benchmark/benchmark.h>

#include <opencv2/imgproc.hpp>

#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

#include "detection/detector.h"
#include "video/capture.h"
#include "video/synthetic_animal.h"

namespace vx {
namespace {

constexpr int kFrames = 300;

// CPU time of the calling thread, microseconds: what detection itself costs, whatever the
// decoder's threads and the other programs on the machine do meanwhile.
double ThreadCpuMicros() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}
const cv::Rect kArena(40, 20, 560, 440);

SceneLook BenchScene() {
  SceneLook scene = LightFloorScene(ArenaShape::Circle);
  scene.arenaRect = kArena;
  scene.noise = 2.0;  // a little sensor noise, as a camera gives
  return scene;
}

// The benchmark video, written on first use (and kept in the temporary folder for the next
// runs); "" when no H.264 writer is available.
const std::string& BenchVideo() {
  static const std::string path = [] {
    const std::string file =
        (std::filesystem::temp_directory_path() / "vx-detection-bench-640x480-v1.mp4").string();
    std::error_code error;
    if (std::filesystem::file_size(file, error) > 0 && !error) return file;
    const std::vector<AnimalPose> poses = CirclePath({320, 240}, 150, kFrames, 360.0 / kFrames);
    if (!WriteSyntheticVideo(file, "avc1", 30.0, BenchScene(), DarkAnimal(), poses)) return std::string();
    return file;
  }();
  return path;
}

DetectionContext BenchContext(bool head) {
  DetectionSettings settings;
  settings.method = kMethodSubtraction;
  settings.differenceThreshold = 40;
  cv::cvtColor(RenderScene(BenchScene())(kArena), settings.referenceImage, cv::COLOR_RGB2GRAY);
  ContextInputs inputs;
  inputs.arena = kArena;
  inputs.scale = 1.5;
  inputs.animalMinSize = 5;
  inputs.animalMaxSize = 50;
  inputs.headDetection = head;
  return MakeDetectionContext(settings, inputs);
}

// Opening is part of every pass: a pass reads the whole video once, as an analysis does.
std::unique_ptr<Capture> OpenBenchVideo(benchmark::State& state) {
  if (BenchVideo().empty()) {
    state.SkipWithError("no H.264 writer");
    return nullptr;
  }
  std::unique_ptr<Capture> capture = MakeOpenCvCapture();
  if (!capture->OpenFile(BenchVideo(), kBackendFfmpeg)) {
    state.SkipWithError("cannot read the benchmark video");
    return nullptr;
  }
  return capture;
}

void BM_DecodeOnly(benchmark::State& state) {
  BenchVideo();  // written before the clock starts
  int64_t frames = 0;
  cv::Mat frame;
  for (auto _ : state) {
    std::unique_ptr<Capture> capture = OpenBenchVideo(state);
    if (!capture) return;
    while (capture->Read(frame) == CaptureStatus::Ok) ++frames;
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
  // Process CPU per frame, all decoder threads included.
  state.counters["decode_us"] =
      benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DecodeOnly)->Unit(benchmark::kMillisecond)->MinTime(3.0)->MeasureProcessCPUTime();

void DecodeAndDetect(benchmark::State& state, bool head) {
  BenchVideo();
  int64_t frames = 0;
  double detectMicros = 0;
  cv::Mat frame, mask;
  BlobList blobs;
  for (auto _ : state) {
    std::unique_ptr<Capture> capture = OpenBenchVideo(state);
    if (!capture) return;
    VideoSource source;
    Detector detector(source);
    detector.SetContext(BenchContext(head));
    detector.trackingMode = true;
    int index = 0;
    while (capture->Read(frame) == CaptureStatus::Ok) {
      tMyPoint point;
      point.frame = index;
      point.time = index * 33;
      ++index;
      const double start = ThreadCpuMicros();
      DetectInFrame(detector, frame, mask, point, blobs, head);
      detectMicros += ThreadCpuMicros() - start;
      benchmark::DoNotOptimize(point.rawX);
    }
    frames += index;
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
  state.counters["detect_us"] = frames ? detectMicros / frames : 0.0;
}

void BM_DecodeAndDetect(benchmark::State& state) { DecodeAndDetect(state, false); }
BENCHMARK(BM_DecodeAndDetect)->Unit(benchmark::kMillisecond)->MinTime(3.0)->MeasureProcessCPUTime();

void BM_DecodeAndDetectWithHead(benchmark::State& state) { DecodeAndDetect(state, true); }
BENCHMARK(BM_DecodeAndDetectWithHead)->Unit(benchmark::kMillisecond)->MinTime(3.0)->MeasureProcessCPUTime();

// Detection alone on decoded frames. Arg 0: tracking (the window around the last box once the
// animal was found 10 times); arg 1: preview, the whole arena every frame.
void BM_DetectOnly(benchmark::State& state) {
  static const std::vector<cv::Mat> decoded = [] {
    std::vector<cv::Mat> frames;
    std::unique_ptr<Capture> capture = MakeOpenCvCapture();
    if (BenchVideo().empty() || !capture->OpenFile(BenchVideo(), kBackendFfmpeg)) return frames;
    cv::Mat frame;
    while (frames.size() < 60 && capture->Read(frame) == CaptureStatus::Ok) frames.push_back(frame.clone());
    return frames;
  }();
  if (decoded.empty()) {
    state.SkipWithError("no benchmark video");
    return;
  }
  VideoSource source;
  Detector detector(source);
  detector.SetContext(BenchContext(false));
  detector.trackingMode = state.range(0) == 0;
  cv::Mat mask;
  BlobList blobs;
  int index = 0;
  for (auto _ : state) {
    tMyPoint point;
    point.frame = index;
    point.time = index * 33;
    DetectInFrame(detector, decoded[index % decoded.size()], mask, point, blobs, false);
    benchmark::DoNotOptimize(point.rawX);
    if (++index % static_cast<int>(decoded.size()) == 0) detector.ResetTracking();  // the loop jumps back
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DetectOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

}  // namespace
}  // namespace vx
