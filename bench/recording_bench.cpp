// Recording 640x480 at 30 frames per second with live tracking: the CPU the whole process uses
// (in cores: CPU seconds per wall second) and the frames it drops, with a rendered video
// played in real time as the camera.
//
//   build/bench/vx_bench --benchmark_filter=Recording
//   VX_RECORD_SECONDS=300 build/bench/vx_bench --benchmark_filter=Recording   (the long run)
//
// Counters: cores (process CPU / wall time; under 1 means the recording fits in one core),
// dropped (frames the processing missed), frames (recorded), points (with the animal). The
// figures hold on a machine left to the benchmark; a loaded one drops frames of its own.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "base/text.h"
#include "db/protocol_store.h"
#include "db/test_store.h"
#include "recording/test_recording.h"
#include "support/experiment_fixture.h"
#include "video/synthetic_animal.h"
#include "zones/calibration.h"
#include "zones/draw_rect.h"
#include "zones/zone_rows.h"

namespace vx {
namespace {

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

int RecordSeconds() {
  const char* text = std::getenv("VX_RECORD_SECONDS");
  const int seconds = text != nullptr ? std::atoi(text) : 0;
  return seconds > 0 ? seconds : 10;
}

// The camera: a dark mouse round a lit circular arena with sensor noise, written once per
// length (Motion-JPEG, as many cameras deliver).
std::string CameraVideo(int seconds) {
  const std::string file = (std::filesystem::temp_directory_path() /
                            Format("vx-record-bench-640x480-%ds.avi", seconds)).string();
  std::error_code error;
  if (std::filesystem::file_size(file, error) > 0 && !error) return file;
  SceneLook scene = LightFloorScene(ArenaShape::Circle);
  scene.arenaRect = {40, 20, 560, 440};
  scene.noise = 2.0;
  const int frames = seconds * 30;
  WriteSyntheticVideo(file, "MJPG", 30.0, scene, DarkAnimal(),
                      CirclePath({320, 240}, 150, frames, 720.0 / frames));
  return file;
}

void BM_RecordingWithLiveTracking(benchmark::State& state) {
  const int seconds = RecordSeconds();
  const std::string camera = CameraVideo(seconds);
  for (auto _ : state) {
    vx::testing::ExperimentFixture fixture;
    ZoneSet zones;
    zones.SetImageSize(640, 480, true, false);
    zones.Ruler()->SetRect({10, 470, 110, 470});
    RefreshRuler(zones, 200, 1);  // 100 pixels are 200 mm
    zones.SetMainArena(zones.AddZone(std::make_unique<CDrawRect>(kKindRectangle, PixelRect{40, 20, 600, 460})));
    CProtocol protocol;
    protocol.name = "Open field";
    StoreZoneSet(zones, protocol);
    SaveProtocol(fixture.experiment, protocol, false);
    CInfosTest test;
    test.idProtocol = protocol.id;
    test.paramsDetection = "5|1|0|60|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1";  // grey 0-60
    SaveTest(fixture.experiment, test, false);

    RecordRequest request;
    request.testId = test.id;
    request.standIn = camera;
    request.track = true;
    RecordingObserver quiet;
    const double cpuStart = ProcessCpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    const RecordOutcome outcome = RecordTest(fixture.experiment, request, quiet, {});
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double cpu = ProcessCpuSeconds() - cpuStart;
    if (outcome.status != RecordStatus::kRecorded) {
      state.SkipWithError(RecordStatusText(outcome.status));
      return;
    }
    state.counters["cores"] = cpu / wall;
    state.counters["dropped"] = outcome.recording.dropped;
    state.counters["frames"] = static_cast<double>(outcome.recording.frameTimes.size());
    state.counters["points"] = outcome.points;
    state.counters["seconds"] = wall;
    state.SetLabel(outcome.format->name);
  }
}
BENCHMARK(BM_RecordingWithLiveTracking)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace vx
