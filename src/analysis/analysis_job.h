// Everything the analysis of one test needs, copied out of the experiment before the run, so
// that the analysis itself never touches the experiment's lists or file and can run on any
// thread: the test, its protocol, its animal's size, its video, the experiment's smoothing
// setting, the library images its settings may name, and the detection settings to retry
// with.
#pragma once

#include <opencv2/core/mat.hpp>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "trajectory/smoothing_settings.h"
#include "db/experiment.h"
#include "detection/test_context.h"
#include "video/video_source.h"

namespace vx {

// Detection settings to try when a test's detection rate stays below the minimum.
struct AlternativeSettings {
  int testId = -1;       // the test they come from; -1 for settings given for the run
  std::string title;     // that test's title
  std::string settings;  // their stored text
};

struct TestJob {
  CInfosTest test;
  CProtocol protocol;
  bool protocolFound = false;
  AnimalSizeBounds sizes;  // for the "animal's size" filter
  SmoothingSettings smoothing;
  std::string videoPath;   // the resolved path of the test's video; "" when it has none
  FileOpenOptions openOptions;  // recorded frame times, back-end of an earlier analysis
  std::vector<uint8_t> frameTimesBlob;  // Videos.ListePoints of the test's video
  std::map<int, cv::Mat> libraryImages;  // the library images the settings may name
  // In the order they are tried: the run's own alternative first, then the settings of the
  // other tests of the same video, from the last test of the video to the first.
  std::vector<AlternativeSettings> alternatives;

  // The library image of an id, or an empty image.
  cv::Mat LibraryImage(int id) const;
};

enum class JobStatus {
  kReady,
  kTestUnreadable,  // no such test, or the file cannot be read
  kNoVideo,         // the test has no video
  kVideoMissing,    // its video file is not on disk (videoPath names it)
};

// Fills job for test testId of an experiment whose lists are loaded. alternative: detection
// settings text prepared for the run, tried first on a retry ("" for none). Runs on the thread
// that owns the experiment.
JobStatus LoadTestJob(Experiment& experiment, int testId, const std::string& alternative,
                      TestJob& job);

}  // namespace vx
