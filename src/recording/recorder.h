// One recording: frames of a live stream written to a video file with their times, tracked
// live when asked, from its start to its stop.
//
// Lifecycle of Record():
//   writer opened on the temporary file (failure: kWriterUnavailable, nothing recorded)
//   -> the video source's two acquisition threads start: the grabbing thread reads the stream
//      into a short queue; the processing thread takes the frames in order,
//   -> waiting: frames are shown but not written until the delay has passed,
//   -> recording: every frame is written with its time (ms from the first written frame),
//      tracked when a tracker is given, and the stage program evaluated on it,
//   -> stopped by the first of: the duration, a stop action on the video or the protocol's
//      maximum duration, the end of the stream, the caller's cancel, a write that failed
//   -> threads joined, writer closed: the file is complete and playable (but after a failed
//      write, which makes the recording worthless).
// The stage program's start and stop actions switch the recording of points on and off, as in
// an analysis; a stop that acts on the video (its video flag) or the maximum duration ends the
// whole recording. Without a tracker the program still runs, on points without an animal, so
// that its timed stops hold.
//
// Dropped frames: when the processing thread falls behind, the grabbing thread drops the
// frame it cannot queue and counts it (a camera does not wait). At fast pace (a stand-in for
// tests) it waits for room instead, so that every frame of the file is recorded.
//
// Threads: Record() blocks its caller, which polls the observer (progress, cancel) about ten
// times a second; the observer is only ever called on the caller's thread.
//
// Live picture: an observer that wants pictures is polled about fifteen times a second instead,
// and given the latest frame the processing thread handled (waiting or recording), with what
// the live tracking found in it. The processing thread only keeps a reference to that frame
// and a copy of the point: a slow display never holds up the acquisition, it sees fewer frames.
#pragma once

#include <opencv2/core/mat.hpp>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "analysis/frame_tracker.h"
#include "video/live_stream.h"
#include "video/recording_format.h"

namespace vx {

struct RecordingPlan {
  std::string path;                 // the file to write (the temporary recording)
  const RecordingFormat* format = nullptr;  // required
  int delayMs = 0;                  // frames shown before the recording starts
  int durationMs = 0;               // length of the recording; 0 until something stops it
  bool waitForRoom = false;         // the grabbing thread waits instead of dropping frames
  size_t queueLength = 8;           // frames the grabbing thread may get ahead
  std::set<int> videoStopIds;       // the program's stop actions that act on the video
};

struct RecordingProgress {
  int countdownMs = 0;  // before the start; 0 once recording
  int elapsedMs = 0;    // time of the last written frame
  int frames = 0;       // written
  int dropped = 0;
  int points = 0;       // recorded by the live tracking
};

// The frame of the moment, for a live display.
struct LivePicture {
  cv::Mat frame;        // shared with the recording: draw on a clone
  int index = -1;       // among the written frames; -1 while waiting for the delay
  bool tracked = false; // point and blobs are the live tracking's for this frame
  tMyPoint point;
  BlobList blobs;
};

class RecordingObserver {
 public:
  virtual ~RecordingObserver() = default;
  virtual void Progress(const RecordingProgress& progress) { (void)progress; }
  // Asked once, at the start: false (the default) costs the acquisition nothing.
  virtual bool WantsPictures() const { return false; }
  // A frame not given before; at most about fifteen a second.
  virtual void Picture(const LivePicture& picture) { (void)picture; }
  // Polled: true stops the recording after the frame being written (Ctrl-C).
  virtual bool Cancelled() const { return false; }
};

enum class RecordingEnd {
  kDuration,          // the planned length was reached
  kStopAction,        // the stage program stopped the video
  kMaximumDuration,   // the protocol's longest test
  kStreamEnded,       // the camera stopped delivering, or the stand-in's file ended
  kCancelled,         // the user stopped it
  kWriteFailed,       // a frame could not be written
  kWriterUnavailable, // no writer opened: nothing recorded
};

struct RecordingResult {
  RecordingEnd end = RecordingEnd::kStreamEnded;
  std::vector<uint32_t> frameTimes;  // of the written frames, ms from the first
  int64_t startMs = 0;   // stream time of the first written frame
  int grabbed = 0;       // frames the stream delivered
  int dropped = 0;       // of those, frames the processing thread never saw
  int shownOnly = 0;     // frames before the recording started (the delay)
  cv::Size size;
  double fps = 0.0;      // the stream's announced rate (the file's nominal rate)
  RunEnding trackingEnding = RunEnding::kPeriodEnded;

  bool Whole() const {
    return end != RecordingEnd::kWriteFailed && end != RecordingEnd::kWriterUnavailable;
  }
  int Frames() const { return static_cast<int>(frameTimes.size()); }
  // Time of the last written frame: the recording's length (0 when nothing was written).
  int LengthMs() const { return frameTimes.empty() ? 0 : static_cast<int>(frameTimes.back()); }
};

// Records stream into plan.path. tracker: the live tracking (its source prepared for the test:
// context, reference, empty trajectory), or null; program: the protocol's stage program (the
// tracker's own when tracking). video: the video source whose acquisition threads run the two
// loops (the tracker's source's video when tracking).
RecordingResult Record(LiveStream& stream, const RecordingPlan& plan, VideoSource& video,
                       FrameTracker* tracker, FrameProgram& program,
                       RecordingObserver& observer);

}  // namespace vx
