// The analysis of one test's video: the frame loop that detects the animal in every frame of
// the analysed period and records its points while the protocol's stage program says so, and
// one attempt of a batch analysis around it.
//
// Frame index and time of each frame read:
// - with recorded frame times (the video's listed times), the index comes from the reported
//   position (nearest frame at the file's rate, minus the start offset, at least 0) and the
//   time is the listed time of that index;
// - otherwise the time is the reported position in ms (rounded) and the index the same way;
// - a file sought by frame index (the program's own recordings) advances the index by one per
//   frame instead, and a frame that repeats the previous frame's time is skipped without
//   detection.
// The loop ends when the video ends, when the index passes the period's last frame, when a
// listed video has no time left for the index, when the time does not advance (other files),
// on cancel, or when the stage program stops the recording. When the video ended, the last
// index read becomes the period's last frame.
//
// Only frames in which the animal was found are recorded, and only while recording is active
// (the stage program's start action turns it on). The run's values of the analysis information
// are (values 1 to 10; the video fields 11 to 17 come from the file):
//    1 the frame at which recording started (-1: it never started)
//    2 that frame's time, ms
//    3 the time of the last frame processed, ms
//    4 the index of the last frame processed (-1: none)
//    5 the id of the start action (-1 when recording never started)
//    6 the number of frames analysed: the frames of the period that were read, as the
//      detection rate counts them (fewer than expected when the video ended early)
//    7 how the loop ended: 0 the video or the period ended, 1 a stop action, 2 the maximum
//      duration of the protocol, 3 cancelled
//    8 the id of the stop action (-1: none, or the maximum duration)
//    9 the number of frames expected: the frames of the period in the registered video
//      (analyses run over whole videos, so the period's first frame is 0 and not recorded)
//   10 the number of frames with the animal (points recorded)
// Value 7 also tells how the automatic method's background was made: ending + 100 × the
// BackgroundMethod (0 when no background was computed from the video), so that readers that
// know only the ending read it as value 7 modulo 100.
// The 64-bit stamp is the analysis date (seconds since 1970), set when it is stored.
#pragma once

#include <string>

#include "analysis/analysis_job.h"
#include "analysis/analysis_source.h"
#include "analysis/arena_background.h"
#include "protocol/frame_program.h"
#include "base/platform.h"
#include "detection/detection_settings.h"
#include "zones/zone_set.h"

namespace vx {

// Where a run reports, and how it learns that it must stop. Called on the thread that runs
// the analysis; an observer shared by several runs must be thread-safe.
class RunObserver {
 public:
  virtual ~RunObserver() = default;
  // Percent of the period done (0..100), each time it changes.
  virtual void Progress(int percent) { (void)percent; }
  // One line of the analysis log (numbered texts of the message table).
  virtual void Log(const std::string& line) { (void)line; }
  // Checked before every frame: true stops the run after the current frame.
  virtual bool Cancelled() const { return false; }
};

// Indexes of the run's values in the analysis information (see above).
namespace run_info {
inline constexpr int kStartFrame = 1;
inline constexpr int kStartTime = 2;
inline constexpr int kEndTime = 3;
inline constexpr int kLastFrame = 4;
inline constexpr int kStartAction = 5;
inline constexpr int kPeriodFrames = 6;  // frames analysed
inline constexpr int kEnding = 7;
inline constexpr int kStopAction = 8;
inline constexpr int kFramesExpected = 9;
inline constexpr int kAnimalFrames = 10;
}  // namespace run_info

enum class RunEnding { kPeriodEnded = 0, kStopAction = 1, kMaximumDuration = 2, kCancelled = 3 };

// The loop's ending and the background method, both kept in value 7 (see above).
RunEnding EndingOf(const AnalysisInfo& info);
BackgroundMethod BackgroundMethodOf(const AnalysisInfo& info);
void SetBackgroundMethod(AnalysisInfo& info, BackgroundMethod method);

// Builds the detection context from settings and the test's protocol zones (arena rectangle,
// detection area, scale, head flag, animal size), attaches an empty trajectory (with the
// experiment's smoothing and the protocol's scale) to the display state, resets the run's
// flags and the analysis information to their defaults. The period is kept.
void PrepareSource(AnalysisSource& source, const TestJob& job, const ZoneSet& zones,
                   const DetectionSettings& settings);

// Puts a reference image into the source's detection context.
void SetReference(AnalysisSource& source, const cv::Mat& reference);

// Opens the test's video in the source and, when the period is not known yet, sets it to the
// whole video: its registered frames when it has stored times, else the file's count. Returns
// the source's status.
VideoStatus OpenTestVideo(AnalysisSource& source, const TestJob& job);

struct RunOutcome {
  VideoStatus status = VideoStatus::kOk;  // the video could not be opened when not kOk
  RunEnding ending = RunEnding::kPeriodEnded;
  bool videoEnded = false;  // the file had no more frames
  int framesProcessed = 0;  // frames detected
};

// The frame loop (above) over the source's period, from the video at path. The stage program
// is started first and evaluated on every processed frame with the time from the period's
// first processed frame.
RunOutcome RunFrames(AnalysisSource& source, const std::string& path,
                     const FileOpenOptions& options, FrameProgram& program,
                     RunObserver& observer);

// One attempt of a batch analysis (attempt 0 is the test's own settings, the next ones retries).
struct AttemptResult {
  bool cancelled = false;
  bool referenceFailed = false;  // no detection was run
  VideoStatus videoStatus = VideoStatus::kOk;
  float rate = 0.0f;  // detection rate, percent
  int framesWithAnimal = 0;
  int framesInPeriod = 0;   // frames analysed
  int framesExpected = 0;   // frames of the period before the run (the registered video's)
  RejectionCounts rejections;  // frames without the animal, by the rule that refused its blob
  int elapsedMs = 0;
  DetectionSettings settings;  // the settings used, with their reference image
  Trajectory trajectory;       // the points recorded, finished (smoothed)
  AnalysisInfo info;           // the run's and the video's values
  BackgroundMethod background = BackgroundMethod::kNone;  // how the reference was made
  std::string notice;  // what the user should know about the attempt ("" nothing)
};

// The detection rate: min(100, frames with the animal × 100 / frames in the period + 0.05), in
// single precision as it has always been reported; 0 for an empty period.
float DetectionRate(int framesWithAnimal, int framesInPeriod);

// PrepareSource, PrepareReference (a failure is logged with the attempt number), RunFrames,
// then, unless cancelled, the trajectory copied out and finished and the detection rate
// computed and logged with the elapsed time (and the attempt number on a retry or when the
// rate is below minimumRate). The source must be open on the test's video (OpenTestVideo).
AttemptResult AnalyseTestBatch(AnalysisSource& source, const TestJob& job, const ZoneSet& zones,
                               const DetectionSettings& settings, int attempt,
                               float minimumRate, FrameProgram& program, RunObserver& observer,
                               const Services& services);

}  // namespace vx
