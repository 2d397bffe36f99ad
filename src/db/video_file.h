// A video of the experiment (table Videos).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vx {

// How the video was read (column Videos.Infos): "%d|%d|%d|%d|%d|%d".
struct VideoReadInfo {
  int backend = 0;     // 700 DSHOW, 1400 MSMF, 1900 FFMPEG
  int known = 0;       // non-zero when the information is known
  int first = -1;      // the two integers shown as "%d -> %d": the first and the last
                       // frame index that could be read
  int second = -1;
  int timeBase = -1;   // 0 own timing, 1 frame rate, 2 millisecond stamps, -1 unknown
};

std::string FormatVideoReadInfo(const VideoReadInfo& info);
VideoReadInfo ParseVideoReadInfo(const std::string& text);
// The text shown to the user, e.g. "FFMPEG, Fps, 12 -> 14, " or "Unknown".
std::string DescribeVideoReadInfo(const VideoReadInfo& info, int timeStampCount);

struct CVideoFile {
  int id = -1;
  std::string name;
  std::string notes;
  std::string file;  // path; relative to the companion folder when it lies inside it
  int idProtocol = -1;
  int status = 0;
  int64_t dateAcq = 0;
  int nbFrames = 0;
  int duration = 0;  // ms
  int width = 0;
  int height = 0;
  std::vector<uint8_t> listePoints;  // frame-times blob; empty when none
  VideoReadInfo infos;
  std::vector<int> testIds;  // the tests that use this video
};

}  // namespace vx
