#include "recording/recording_files.h"

#include "base/text.h"

namespace vx {

std::string TemporaryRecordingStem(const std::string& companionFolder) {
  return companionFolder + "Video_tmp";
}

std::string StoredRecordingName(int testId, const std::function<bool(const std::string&)>& inUse) {
  std::string name = Format("Test_%d.%s", testId, "vxf");
  for (int n = 2; inUse(name); ++n) name = Format("Test_%d_%d.%s", testId, n, "vxf");
  return name;
}

}  // namespace vx
