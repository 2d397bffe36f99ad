// What the Qt tests of the windows share: their registration with the one test program, the
// demo experiment (built and analysed once per run) and pixel checks. Header-only: nothing
// here goes into the program.
#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <QtTest>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "document/experiment_document.h"
#include "gui_session.h"
#include "shell/demo_experiment.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "video/video_probe.h"

namespace vx::gui::testing {

// Every test class adds itself with VX_GUI_TEST(Class); the program runs them all.
using TestFactory = std::function<std::unique_ptr<QObject>()>;
inline std::vector<std::pair<const char*, TestFactory>>& Registry() {
  static std::vector<std::pair<const char*, TestFactory>> tests;
  return tests;
}
struct Registration {
  Registration(const char* name, TestFactory make) { Registry().emplace_back(name, std::move(make)); }
};
#define VX_GUI_TEST(Class) \
  static const vx::gui::testing::Registration registration##Class(#Class, [] { return std::make_unique<Class>(); })

inline VideoProbe RealProbe() {
  return [](const std::string& path, VideoFileFacts& facts, const VideoProbeProgress& progress) {
    return ProbeVideoFile(path, facts, progress);
  };
}

// The demo experiment of six seconds, analysed, with its two reports: made once, then copied
// for each test that asks (tests may change their copy).
class DemoCopy {
 public:
  DemoCopy() {
    static vx::testing::TempDir source;
    static const bool made = Make(source.path());
    QVERIFY2(made, "the demo experiment could not be made");
    vx::testing::WriteFileBytes(path(), vx::testing::ReadFileBytes(source.path() + "/demo.vxdb"));
  }
  std::string path() const { return dir_.File("demo.vxdb"); }
  const vx::testing::TempDir& dir() const { return dir_; }

 private:
  static bool Make(const std::string& dir) {
    vx::testing::TestServices services;
    DemoFiles files;
    if (MakeDemoExperiment(dir, 6, services.Bundle(), RealProbe(), files) != DemoStatus::kOk) return false;
    Experiment experiment;
    experiment.file.path = files.experiment;
    experiment.file.services = services.Bundle();
    experiment.file.videoProbe = RealProbe();
    return experiment.LoadAll() && AnalyseDemoExperiment(experiment) && AddDemoReports(experiment);
  }
  vx::testing::TempDir dir_;
};

// A session with fake services (questions answered from a script) on a copy of the demo.
struct DemoSession {
  DemoCopy demo;
  vx::testing::TestServices services;
  GuiSession session{services.Bundle(), RealProbe()};
};

// True when most pixels of the rectangle are close to colour (within tolerance per channel).
inline bool MostlyColour(const QImage& image, const QRect& area, QColor colour, int tolerance = 40) {
  int near = 0, all = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (!image.rect().contains(x, y)) continue;
      const QColor c = image.pixelColor(x, y);
      ++all;
      near += std::abs(c.red() - colour.red()) <= tolerance && std::abs(c.green() - colour.green()) <= tolerance &&
              std::abs(c.blue() - colour.blue()) <= tolerance;
    }
  }
  return all > 0 && near * 2 > all;
}

// How many different colours the image holds (a blank rendering has one or two).
inline int ColourCount(const QImage& image) {
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); y += 2) {
    for (int x = 0; x < image.width(); x += 2) colours.insert(image.pixel(x, y));
  }
  return static_cast<int>(colours.size());
}

}  // namespace vx::gui::testing
