#include "shell/recent_files.h"

#include <algorithm>

#include "base/platform.h"
#include "base/text.h"

namespace vx {

namespace {

constexpr const char* kSection = "History";

void Store(SettingsStore& settings, const std::vector<std::string>& files) {
  for (int i = 0; i < kRecentFilesMax; ++i) {
    settings.SetString(kSection, Format("File%d", i + 1),
                       i < static_cast<int>(files.size()) ? files[i] : "");
  }
}

}  // namespace

std::vector<std::string> RecentFiles(const SettingsStore& settings) {
  std::vector<std::string> files;
  for (int i = 1; i <= kRecentFilesMax; ++i) {
    const std::string path = settings.GetString(kSection, Format("File%d", i), "");
    if (!path.empty() && std::find(files.begin(), files.end(), path) == files.end()) {
      files.push_back(path);
    }
  }
  return files;
}

void AddRecentFile(SettingsStore& settings, const std::string& path) {
  std::vector<std::string> files = RecentFiles(settings);
  files.erase(std::remove(files.begin(), files.end(), path), files.end());
  files.insert(files.begin(), path);
  if (files.size() > kRecentFilesMax) files.resize(kRecentFilesMax);
  Store(settings, files);
}

void RemoveRecentFile(SettingsStore& settings, const std::string& path) {
  std::vector<std::string> files = RecentFiles(settings);
  files.erase(std::remove(files.begin(), files.end(), path), files.end());
  Store(settings, files);
}

}  // namespace vx
