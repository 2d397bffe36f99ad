// What a user wants to know about a test's analysis, read from its analysis information and
// its video: how many frames were analysed out of the video's, in how many the animal was
// found, how frame times were obtained, and which period was analysed.
#pragma once

#include <cstdint>
#include <string>

#include "db/test_record.h"
#include "db/video_file.h"

namespace vx {

struct AnalysisFacts {
  bool analysed = false;
  int64_t framesAnalysed = 0;     // frames of the analysed period that were detected
  int64_t framesWithAnimal = 0;
  int64_t videoFrames = -1;       // the registered video's frames; -1 without a video
  double detectionRate = -1;      // percent of the analysed frames; -1 when none were analysed
  int timing = -1;                // 0 own times, 1 from the frame rate, 2 time stamps
  int64_t firstFrame = -1, lastFrame = -1;  // the recorded period; -1 when not known
  int64_t startMs = -1, endMs = -1;
  std::string ending;             // why the run stopped, in words
};

// video may be null (the test has none, or it is not registered).
AnalysisFacts ReadAnalysisFacts(const CInfosTest& test, const CVideoFile* video);

// "Fps (times from the frame rate)" and the like; "Unknown" for an unknown code.
std::string TimingWords(int timing);

}  // namespace vx
