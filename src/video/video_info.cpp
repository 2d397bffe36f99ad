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
