// The frame times of a video, as stored in Videos.ListePoints.
//
// Two stored forms, both made of varints (db/varint.h):
//   uniform: N, duration                     (no individual times known)
//   listed:  N, d, t[0], t[1]-t[0]-d, ...    (d = the smallest step, so steps cost few bytes)
// A video with no frames has no blob at all (the column stays NULL).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vx {

struct FrameTimes {
  uint32_t count = 0;           // N, the number of frames; 0 when nothing is known
  uint32_t durationMs = 0;      // the video's duration (t[N-1] in the listed form)
  std::vector<uint32_t> times;  // ms of each frame in the listed form; empty in the uniform one

  bool Listed() const { return !times.empty(); }

  // The uniform form of a video of frameCount frames lasting durationMs.
  static FrameTimes Uniform(uint32_t frameCount, uint32_t durationMs);
  // The listed form of recorded times (count and duration follow from them).
  static FrameTimes FromList(std::vector<uint32_t> frameTimes);
};

// The blob of times: the listed form when there are times, else the uniform form when there
// are frames, else no bytes (store NULL).
std::vector<uint8_t> WriteFrameTimes(const FrameTimes& frameTimes);

// Decodes a blob. No bytes (a NULL column) is valid: nothing known, N = 0. False, with times
// reset, for a blob whose N is 0, that ends inside a value, or that lists fewer than N times.
// Bytes after the N-th time are ignored.
bool ReadFrameTimes(std::span<const uint8_t> blob, FrameTimes& frameTimes);

// The time of a frame in ms: the listed time (false when frame >= N), or for the uniform form
// floor(frame * duration / (N - 1) + 0.5); -1 when N <= 1.
bool TimeOfFrame(const FrameTimes& frameTimes, uint32_t frame, int& timeMs);

}  // namespace vx
