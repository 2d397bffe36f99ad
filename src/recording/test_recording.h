// Recording a test of an experiment: its protocol's camera settings, recording settings and
// stage program, the live tracking when asked, and the recording stored when it is whole.
//
// Road of RecordTest():
//   1. the test and its protocol are read; the format chosen (the request's, else the
//      protocol's FormatRecordNoA, else the writer probe); the stream opened (a camera at the
//      protocol's image size and rate limit, or a stand-in file), its frames checked against
//      the protocol's image size;
//   2. with tracking: the detection prepared from the test's settings (a method that compares
//      with a reference needs one from the image library: a background cannot be made from a
//      video that does not exist yet);
//   3. the recording (recording/recorder.h), with the protocol's delay and duration (the
//      request's duration when given);
//   4. storing, only when the recording is whole: the temporary file moved to its stored name
//      (recording/recording_files.h), then one write transaction for the video row, its frame
//      times and the test (db/recorded_video_store.h), then, when tracked, the analysis in a
//      second one. A process killed before the first transaction leaves the experiment as it
//      was and a playable file; killed between the two, a recorded test not yet analysed.
// A cancelled recording (Ctrl-C) is whole: what was recorded so far is stored.
#pragma once

#include <string>

#include "analysis/batch_analysis.h"
#include "db/experiment.h"
#include "recording/recorder.h"

namespace vx {

struct RecordRequest {
  int testId = -1;            // -1: a new test of newProtocol and newAnimal
  int camera = 0;             // list position, when there is no stand-in
  std::string standIn;        // a video file played as the camera; "" for the camera
  StreamPace pace = StreamPace::kRealTime;
  bool track = false;
  int durationMs = -1;        // -1: the protocol's recording duration (0 there: until stopped)
  std::string format;         // a recording format's name; "": the protocol's, else the probe's
  // The new test (testId -1): made before the recording with the animal's latest detection
  // settings, and removed again when no recording is stored.
  int newProtocol = -1;
  int newAnimal = -1;
  std::string newTitle;
};

enum class RecordStatus {
  kRecorded,
  kNoTest,             // no test of that id
  kNoProtocol,         // the test's protocol does not exist
  kNoAnimal,           // the new test's animal does not exist
  kTestNotCreated,     // the new test could not be written
  kBadFormat,          // the format named is unknown
  kWriterUnavailable,  // no writer opens (message 365)
  kStreamUnavailable,  // the camera or the stand-in cannot be opened
  kSizeMismatch,       // frames not of the protocol's image size
  kNeedsReference,     // tracking with a reference method but no library image
  kWriteFailed,        // a frame could not be written (message 365); nothing stored
  kNothingRecorded,    // stopped before the first frame was written
  kNotStored,          // the file or the experiment could not be written
};

struct RecordOutcome {
  RecordStatus status = RecordStatus::kNoTest;
  int testId = -1;             // the test recorded (the new one's id when it was made)
  std::string detail;          // what failed, in words
  RecordingResult recording;
  const RecordingFormat* format = nullptr;
  std::string temporaryPath;   // the file written while recording
  std::string storedPath;      // where the recording is stored ("" when not)
  int videoId = -1;
  bool tracked = false;        // the live analysis was stored with the test
  bool trackingNotStored = false;  // tracked, but its analysis could not be written
  int points = 0;              // frames with the animal
  float rate = 0.0f;           // detection rate, percent
};

// Records test request.testId of experiment (lists loaded) as above. programs makes the stage
// program (empty: record points from the first frame on). Runs on the thread that owns the
// experiment; the observer is called on it.
RecordOutcome RecordTest(Experiment& experiment, const RecordRequest& request,
                         RecordingObserver& observer, const ProgramFactory& programs);

// A short English sentence for a status.
const char* RecordStatusText(RecordStatus status);

}  // namespace vx
