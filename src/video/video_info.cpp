#include "video/video_info.h"

#include "base/text.h"
#include "video/capture.h"

#ifndef VX_VERSION_MAJOR
#define VX_VERSION_MAJOR 0
#define VX_VERSION_MINOR 0
#define VX_VERSION_PATCH 0
#endif

namespace vx {

int PackVersion(int major, int minor, int patch) { return major * 65536 + minor * 256 + patch; }

int PackedProgramVersion() {
  return PackVersion(VX_VERSION_MAJOR, VX_VERSION_MINOR, VX_VERSION_PATCH);
}

const char* TimingSourceName(int timing) {
  switch (timing) {
    case 0: return "Vela";
    case 1: return "Fps";
    case 2: return "mSec";
    default: return "Unknown";
  }
}

VideoInfoFields VideoFieldsOf(const AnalysisInfo& info) {
  VideoInfoFields fields;
  fields.backend = static_cast<int>(info[AnalysisInfo::kBackend]);
  fields.timing = static_cast<int>(info[AnalysisInfo::kTimingSource]);
  fields.startFrame = static_cast<int>(info[AnalysisInfo::kStartFrame]);
  fields.startTimeMs = static_cast<uint32_t>(info[AnalysisInfo::kStartTimeMs]);
  fields.lastFrame = static_cast<int>(info[AnalysisInfo::kLastFrame]);
  fields.correction = static_cast<int>(info[AnalysisInfo::kFrameCorrection]);
  fields.version = static_cast<int>(info[AnalysisInfo::kProgramVersion]);
  return fields;
}

void SetVideoFields(AnalysisInfo& info, const VideoInfoFields& fields) {
  info[AnalysisInfo::kBackend] = fields.backend;
  info[AnalysisInfo::kTimingSource] = fields.timing;
  info[AnalysisInfo::kStartFrame] = fields.startFrame;
  info[AnalysisInfo::kStartTimeMs] = fields.startTimeMs;
  info[AnalysisInfo::kLastFrame] = fields.lastFrame;
  info[AnalysisInfo::kFrameCorrection] = fields.correction;
  info[AnalysisInfo::kProgramVersion] = fields.version;
}

std::string FormatInfo(const AnalysisInfo& info) { return FormatAnalysisInfo(info); }

AnalysisInfo ParseInfo(const std::string& text) { return ParseAnalysisInfo(text); }

std::string DescribeInfo(const AnalysisInfo& info) { return DescribeInfo(VideoFieldsOf(info)); }

std::string DescribeInfo(const VideoInfoFields& fields) {
  if (fields.version == 0) return "Unknown";
  const char* backend = fields.backend == kBackendDshow || fields.backend == kBackendMsmf ||
                                fields.backend == kBackendFfmpeg
                            ? BackendName(fields.backend)
                            : "Unknown";
  const std::string version = Format("%d.%d.%d", (fields.version >> 16) & 0xFF,
                                     (fields.version >> 8) & 0xFF, fields.version & 0xFF);
  return Format("v %s, ", version.c_str()) + backend + ", " + TimingSourceName(fields.timing) +
         ", " +
         Format("%d ( %u ) -> %d, c = %d", fields.startFrame, fields.startTimeMs,
                fields.lastFrame, fields.correction);
}

}  // namespace vx
