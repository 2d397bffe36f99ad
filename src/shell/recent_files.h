// The list of recently opened experiments, kept in the settings store (section "History",
// keys "File1" to "File8", the most recent first).
#pragma once

#include <string>
#include <vector>

namespace vx {

class SettingsStore;

inline constexpr int kRecentFilesMax = 8;

std::vector<std::string> RecentFiles(const SettingsStore& settings);
// Puts path first, dropping an older entry of the same path and the oldest beyond the maximum.
void AddRecentFile(SettingsStore& settings, const std::string& path);
// Drops path (a file that no longer opens).
void RemoveRecentFile(SettingsStore& settings, const std::string& path);

}  // namespace vx
