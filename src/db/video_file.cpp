#include "db/video_file.h"

#include "base/text.h"

namespace vx {

namespace {

const char* BackendName(int backend) {
  switch (backend) {
    case 700: return "DSHOW";
    case 1400: return "MSMF";
    case 1900: return "FFMPEG";
    default: return "Unknown";
  }
}

const char* TimeBaseName(int timeBase) {
  switch (timeBase) {
    case 0: return "Vela";
    case 1: return "Fps";
    case 2: return "mSec";
    default: return "Unknown";
  }
}

}  // namespace

std::string FormatVideoReadInfo(const VideoReadInfo& info) {
  return Format("%d|%d|%d|%d|%d|%d", 0, info.backend, info.known, info.first, info.second,
                info.timeBase);
}

VideoReadInfo ParseVideoReadInfo(const std::string& text) {
  Tokenizer tokens(text, '|');
  std::string fields[6];
  for (std::string& field : fields) {
    if (!tokens.Next(field)) return VideoReadInfo{};  // all at their "unknown" values
  }
  VideoReadInfo info;
  info.backend = ToInt(fields[1]);
  info.known = ToInt(fields[2]);
  info.first = ToInt(fields[3]);
  info.second = ToInt(fields[4]);
  const int timeBase = ToInt(fields[5]);
  info.timeBase = (timeBase >= 0 && timeBase <= 2) ? timeBase : -1;
  return info;
}

std::string DescribeVideoReadInfo(const VideoReadInfo& info, int timeStampCount) {
  if (info.known == 0) return "Unknown";
  std::string text = std::string(BackendName(info.backend)) + ", " + TimeBaseName(info.timeBase) +
                     ", ";
  if (timeStampCount > 0) text += Format("%d pts, ", timeStampCount);
  text += Format("%d -> %d, ", info.first, info.second);
  return text;
}

}  // namespace vx
