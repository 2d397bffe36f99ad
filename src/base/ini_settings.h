// Per-user settings kept in an INI file ($XDG_CONFIG_HOME/velantrix/velantrix.ini by default).
// Sections are the settings sections the program uses ("Units", "Webcams", "Config", ...).
// Every change is written to the file at once, so nothing is lost when the program stops.
#pragma once

#include <map>
#include <string>

#include "base/platform.h"

namespace vx {

class IniSettingsStore : public SettingsStore {
 public:
  explicit IniSettingsStore(std::string path);

  // The default file: $XDG_CONFIG_HOME/velantrix/velantrix.ini, or ~/.config/... without it.
  static std::string DefaultPath();

  int GetInt(const std::string& section, const std::string& key, int fallback) const override;
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& fallback) const override;
  void SetInt(const std::string& section, const std::string& key, int value) override;
  void SetString(const std::string& section, const std::string& key,
                 const std::string& value) override;

  const std::string& path() const { return path_; }

 private:
  void Load();
  bool Save() const;

  std::string path_;
  std::map<std::string, std::map<std::string, std::string>> sections_;
};

}  // namespace vx
