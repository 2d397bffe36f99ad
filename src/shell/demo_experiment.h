// The demo experiment: the sample video of demo_scene.h and an experiment built around it with
// the core's own record operations, the same for the command line's "demo", the desktop
// application and the tests of both.
//
// What it holds: protocol 1 "Open field" (the frame's size, the arena, a 50 cm ruler along
// the bottom wall, the centre and four corner zones, the behaviours "Grooming" (key g) and
// "Rearing" (key r), states, and "Sniffing" (key s), a point event), animal 1 "Mouse 1",
// video 1 and test 1 "Mouse 1, day 1" with the automatic detection against the arena's
// background and a few occurrences of each behaviour scored on it.
#pragma once

#include <string>

#include "base/platform.h"
#include "db/experiment.h"

namespace vx {

struct DemoFiles {
  std::string experiment;  // <dir>/demo.vxdb
  std::string video;       // <dir>/open-field.mp4
  int frames = 0;          // frames rendered
};

enum class DemoStatus { kOk, kVideoFailed, kExperimentFailed };

// Renders `seconds` of video into dir (which must exist) and creates the experiment beside it.
// The experiment file is written directly (no working copy). videoProbe reads the video's facts.
DemoStatus MakeDemoExperiment(const std::string& dir, double seconds, const Services& services,
                              const VideoProbe& videoProbe, DemoFiles& files);

// Stores the demo's three reports in protocol 1 (ids 1 to 3): the time spent in each zone
// (seconds with milliseconds), the entries into each zone and the total duration of each
// behaviour. False when a save failed.
bool AddDemoReports(Experiment& experiment);

// Analyses every test of the experiment not analysed yet, as "velantrix analyze --all" does
// with its defaults, on the calling thread. False when a test could not be analysed.
bool AnalyseDemoExperiment(Experiment& experiment);

}  // namespace vx
