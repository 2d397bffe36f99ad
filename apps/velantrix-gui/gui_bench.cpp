// Speed of the desktop application, on the offscreen platform:
//   - opening an experiment of 1 000 tests through the experiment document and building every
//     page of the main window for it (goal: under a second);
//   - the player: a 640x480 frame decoded, drawn with zones, track and animal, and painted,
//     against decoding alone; the difference is the drawing's cost per frame, and at 30 frames/s
//     its share of one core is 30 x that cost (goal: under half a core);
//   - re-detection: a threshold slider moved in the detection view, from the change to the
//     frame detected again and its picture painted (goal: under 50 ms).
//   build/apps/velantrix-gui/vx_gui_bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QPainter>
#include <QSlider>
#include <clocale>
#include <cstdlib>

#include "detection_view.h"
#include "gui_session.h"
#include "gui_test_support.h"
#include "image_label.h"
#include "main_window.h"
#include "support/experiment_fixture.h"
#include "track_player.h"

namespace {

using vx::gui::GuiSession;

// The demo experiment with `tests` more tests of its video, each with the demo's analysis.
std::string ExperimentOfTests(const vx::testing::TempDir& dir, int tests) {
  vx::testing::TestServices services;
  vx::DemoFiles files;
  vx::MakeDemoExperiment(dir.path(), 6, services.Bundle(), vx::gui::testing::RealProbe(), files);
  vx::Experiment experiment;
  experiment.file.path = files.experiment;
  experiment.file.services = services.Bundle();
  experiment.file.videoProbe = vx::gui::testing::RealProbe();
  experiment.LoadAll();
  vx::AnalyseDemoExperiment(experiment);
  vx::AddDemoReports(experiment);
  SQLite::Database db;
  db.Open(files.experiment);
  db.Execute("begin");
  for (int t = 2; t <= tests; ++t) {
    db.Execute("insert into Tests(Title, IdProtocol, IdAnimal, Source, DateAnalyse, InfosAnalyse, ParamsDetection, Duration, "
               "Distance) select 'Mouse " + std::to_string(t) + "', IdProtocol, IdAnimal, Source, DateAnalyse, InfosAnalyse, "
               "ParamsDetection, Duration, Distance from Tests where Id=1;"
               "insert into TestsPoints(Id, PointsAnalyse) select last_insert_rowid(), PointsAnalyse from TestsPoints where Id=1");
  }
  db.Execute("commit");
  return files.experiment;
}

void OpenExperimentWithPages(benchmark::State& state) {
  vx::testing::TempDir dir;
  const std::string path = ExperimentOfTests(dir, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    vx::testing::TestServices services;
    GuiSession session(services.Bundle(), vx::gui::testing::RealProbe());
    vx::gui::MainWindow window(session);
    window.OpenFile(QString::fromStdString(path));
    QApplication::processEvents();
    benchmark::DoNotOptimize(window.pages()->count());
    state.PauseTiming();
    session.Close();
    state.ResumeTiming();
  }
}
BENCHMARK(OpenExperimentWithPages)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(3);

struct PlayerFixture {
  vx::testing::TempDir dir;
  vx::testing::TestServices services;
  std::string path = ExperimentOfTests(dir, 1);
  GuiSession session{services.Bundle(), vx::gui::testing::RealProbe()};
  vx::gui::TrackPlayer player;
  PlayerFixture() {
    session.OpenForReading(path);
    player.Open(session.experiment(), 1);
  }
};

// Every frame of the test in order, decoded, drawn and painted into a window-sized picture.
void PlayerFrames(benchmark::State& state) {
  PlayerFixture f;
  vx::gui::ImageLabel label;
  label.resize(800, 600);
  QImage screen(800, 600, QImage::Format_RGB32);
  int frames = 0;
  for (auto _ : state) {
    for (int n = 0; n <= f.player.lastFrame(); ++n) {
      label.SetImage(f.player.Frame(n));
      label.render(&screen);
      ++frames;
    }
  }
  state.counters["frames/s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
}
BENCHMARK(PlayerFrames)->Unit(benchmark::kMillisecond);

// The same frames decoded only: the yardstick the drawing's cost is measured against.
void DecodeFrames(benchmark::State& state) {
  PlayerFixture f;
  vx::VideoSource source;
  int frames = 0;
  for (auto _ : state) {
    source.OpenFile(f.dir.path() + "/open-field.mp4");
    cv::Mat frame;
    double positionMs = 0;
    while (source.ReadNextFrame(frame, positionMs)) ++frames;
  }
  state.counters["frames/s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
}
BENCHMARK(DecodeFrames)->Unit(benchmark::kMillisecond);

// The grey method's upper threshold moved back and forth on one frame of the demo test; each
// change re-detects the frame and repaints the view before the next.
void RedetectAfterSettingChange(benchmark::State& state) {
  PlayerFixture f;
  vx::gui::DetectionView view(f.session.experiment(), f.session.services());
  view.resize(1100, 700);
  view.show();
  view.ShowTest(1);
  view.Player().SetFrame(40);
  const vx::tMyPoint found = view.Found();
  view.Panel().Method()->setCurrentIndex(vx::kMethodGrayscale);
  view.TuneAt({found.rawX, found.rawY});
  QSlider* high = view.Panel().GreyHigh()->slider();
  const int tuned = high->value();
  int step = 0;
  for (auto _ : state) {
    high->setValue(tuned - (++step % 2) * 5);
    view.repaint();
  }
}
BENCHMARK(RedetectAfterSettingChange)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
