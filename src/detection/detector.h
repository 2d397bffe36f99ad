// Finding the one animal of a test in one video frame.
//
// A Detector is the detection side of one video source: the prepared context, the tracking
// memory (consecutive-detection counter and last detection), the head memory, the tracking-mode
// flag and the working images reused from frame to frame. DetectInFrame turns a frame into a
// foreground mask by the context's method, cleans it, takes the outer contours, decides which
// one is the animal and fills the frame's tMyPoint (centre of mass, box, outline, head).
//
// Modes. Preview mode (the settings views): every contour is listed as a blob; the only one
// that passes AcceptBlob is the animal (a single contour is the animal when the size filter is
// off). Tracking mode (analysis, recording): rejected contours are dropped, and once 10 frames
// in a row had the animal, a contour farther from the last centre than an animal running at
// 1 m/s could go is dropped too; the search is first narrowed to a window around the last box.
//
// Threads: the context is read and replaced under the video source's context mutex, so the
// user interface may replace it while a playback or analysis thread detects. Everything else
// belongs to the detecting thread.
#pragma once

#include <opencv2/core/mat.hpp>

#include <cstdint>
#include <vector>

#include "detection/blob_shape.h"
#include "detection/detection_context.h"
#include "detection/foreground_mask.h"
#include "detection/head_detection.h"
#include "detection/my_point.h"
#include "video/video_source.h"

namespace vx {

// One candidate blob, for drawing (frame coordinates; right = left + width).
struct tMyBlob {
  int left = 0, top = 0, right = 0, bottom = 0;
  int centreX = -1, centreY = -1;  // -1 unless the blob is the chosen animal
  double area = 0.0;               // contour area, pixels²
  bool accepted = false;
};
using BlobList = std::vector<tMyBlob>;

// Consecutive detections switch on the tracking window and the speed check.
inline constexpr int kTrackingCount = 10;
inline constexpr int kMaxDetectionCount = 100;

// Frames of a tracking run in which no animal was found although blobs were, by the rule that
// refused the largest of them (the likeliest animal): what tells a user which filter to loosen.
struct RejectionCounts {
  int wrongShape = 0;  // more than 5 times longer than wide
  int tooSmall = 0;    // under the size filter's minimum
  int tooLarge = 0;    // over its maximum
  int Total() const { return wrongShape + tooSmall + tooLarge; }
};

struct TrackingMemory {
  int counter = 0;  // 0..100: frames in a row with the animal (tracking mode falls by one)
  tMyPoint last;    // the last frame with the animal (centre -1, -1 and time 0 when none)
  void Reset() { *this = TrackingMemory(); }
};

class Detector {
 public:
  explicit Detector(VideoSource& source);

  // Replaces the context whole, under the source's context mutex.
  void SetContext(DetectionContext context);
  // Back to method 6: detection does nothing.
  void ClearContext();
  // A copy of the context, taken under the mutex.
  DetectionContext Context() const;

  // Counter 0, last detection and head memory cleared.
  void ResetTracking();
  // For the interactive playback path: resets the memories when frame is 0 or does not follow
  // the frame processed last (a seek or a jump).
  void NoteFrame(int frame);

  bool trackingMode = false;
  TrackingMemory tracking;
  RejectionCounts rejections;  // counted in tracking mode; cleared by whoever reads them
  HeadMemory head;

 private:
  friend void DetectInFrame(Detector&, const cv::Mat&, cv::Mat&, tMyPoint&, BlobList&, bool);
  friend bool DetectAnimal(Detector&, const cv::Mat&, cv::Mat&, tMyPoint&, BlobList&,
                           const cv::Rect&, bool);
  void FollowSource();

  VideoSource& source_;
  DetectionContext context_;  // guarded by source_.ContextMutex()
  uint64_t seenOpenCount_ = 0;
  int lastFrame_ = -1;
  // Working images and lists reused by every frame.
  MaskBuffers buffers_;
  cv::Mat foregroundStore_;  // foreground_ is a view of it (see MaskBuffers)
  cv::Mat foreground_;
  cv::Mat headMask_;
  std::vector<Contour> contours_;
  std::vector<Contour> headContours_;
};

// The per-frame entry. frame is 8-bit BGR; maskOut receives the raw foreground mask at the
// frame's size (0 outside the searched region); point must have its frame index and time set
// and gets the centre, box, outline and head (centre -1, -1 when no animal); blobs is emptied
// first. headEnabled is the protocol's head-detection flag.
void DetectInFrame(Detector& source, const cv::Mat& frame, cv::Mat& maskOut, tMyPoint& point,
                   BlobList& blobs, bool headEnabled);

// Detection restricted to rect (frame coordinates). True when the animal was found.
bool DetectAnimal(Detector& source, const cv::Mat& frame, cv::Mat& maskOut, tMyPoint& point,
                  BlobList& blobs, const cv::Rect& rect, bool headEnabled);

// The rectangle searched in a frame of the given size: the arena rectangle clamped into the
// frame, or the whole frame when it is empty.
cv::Rect SearchRectangle(const cv::Rect& arena, cv::Size frame);

}  // namespace vx
