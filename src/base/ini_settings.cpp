#include "base/ini_settings.h"

#include <ini.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "base/text.h"

namespace vx {

IniSettingsStore::IniSettingsStore(std::string path) : path_(std::move(path)) { Load(); }

std::string IniSettingsStore::DefaultPath() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg != '\0') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    base = std::string(home) + "/.config";
  } else {
    base = ".";
  }
  return base + "/velantrix/velantrix.ini";
}

void IniSettingsStore::Load() {
  sections_.clear();
  // A missing or unreadable file simply means no settings yet.
  ini_parse(path_.c_str(), [](void* user, const char* section, const char* key,
                              const char* value) -> int {
    auto* sections = static_cast<decltype(sections_)*>(user);
    (*sections)[ToLower(section)][ToLower(key)] = value;
    return 1;
  }, &sections_);
}

bool IniSettingsStore::Save() const {
  std::error_code error;
  const std::filesystem::path file(path_);
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), error);
  // Write beside the file and rename, so that a crash never leaves half a settings file.
  const std::string temporary = path_ + ".tmp";
  {
    std::ofstream out(temporary, std::ios::trunc);
    if (!out) return false;
    for (const auto& [section, keys] : sections_) {
      out << '[' << section << "]\n";
      for (const auto& [key, value] : keys) out << key << " = " << value << '\n';
      out << '\n';
    }
    if (!out.flush()) return false;
  }
  std::filesystem::rename(temporary, path_, error);
  return !error;
}

int IniSettingsStore::GetInt(const std::string& section, const std::string& key,
                             int fallback) const {
  int value = fallback;
  const std::string text = GetString(section, key, "");
  if (!text.empty() && TryParseInt(text, value)) return value;
  return fallback;
}

std::string IniSettingsStore::GetString(const std::string& section, const std::string& key,
                                        const std::string& fallback) const {
  // Section and key names are compared without regard to case, as in the registry.
  const auto found = sections_.find(ToLower(section));
  if (found == sections_.end()) return fallback;
  const auto value = found->second.find(ToLower(key));
  return value == found->second.end() ? fallback : value->second;
}

void IniSettingsStore::SetInt(const std::string& section, const std::string& key, int value) {
  SetString(section, key, std::to_string(value));
}

void IniSettingsStore::SetString(const std::string& section, const std::string& key,
                                 const std::string& value) {
  sections_[ToLower(section)][ToLower(key)] = value;
  Save();
}

}  // namespace vx
