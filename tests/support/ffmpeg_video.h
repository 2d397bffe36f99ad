// Video files made by the ffmpeg program, for faults that only real containers show: edit
// lists, B-frames, cut or damaged files. Tests that need it skip when ffmpeg is absent.
#pragma once

#include <cstdlib>
#include <string>

#include "support/temp_dir.h"

namespace vx::testing {

inline bool HaveFfmpeg() { return std::system("ffmpeg -version >/dev/null 2>&1") == 0; }

// Runs "ffmpeg -v error -y ARGS"; true when it succeeded.
inline bool Ffmpeg(const std::string& args) {
  return std::system(("ffmpeg -nostdin -v error -y " + args + " >/dev/null 2>&1").c_str()) == 0;
}

// An H.264 file with B-frames of frames test-pattern frames at 25 fps, one key frame at the
// start (so that a cut keeps every frame before its point, hidden by an edit list).
inline bool MakeH264(const std::string& path, int frames, const std::string& size = "160x120") {
  return Ffmpeg("-f lavfi -i testsrc=size=" + size + ":rate=25 -frames:v " +
                std::to_string(frames) + " -c:v libx264 -bf 3 -g 1000 -pix_fmt yuv420p " + path);
}

// The file cut at `seconds` without re-encoding: the container keeps counting the frames
// before the cut, which an edit list hides.
inline bool CutWithEditList(const std::string& from, const std::string& to, double seconds) {
  return Ffmpeg("-ss " + std::to_string(seconds) + " -i " + from + " -c copy " + to);
}

}  // namespace vx::testing
