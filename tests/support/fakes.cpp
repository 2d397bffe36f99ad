#include "support/fakes.h"

#include "base/text.h"

namespace vx::testing {

namespace {
std::string KeyOf(const std::string& section, const std::string& key) {
  return ToLower(section) + "/" + ToLower(key);
}
}  // namespace

int MemorySettings::GetInt(const std::string& section, const std::string& key,
                           int fallback) const {
  int value = fallback;
  const auto found = values.find(KeyOf(section, key));
  if (found != values.end() && TryParseInt(found->second, value)) return value;
  return fallback;
}

std::string MemorySettings::GetString(const std::string& section, const std::string& key,
                                      const std::string& fallback) const {
  const auto found = values.find(KeyOf(section, key));
  return found == values.end() ? fallback : found->second;
}

void MemorySettings::SetInt(const std::string& section, const std::string& key, int value) {
  values[KeyOf(section, key)] = std::to_string(value);
}

void MemorySettings::SetString(const std::string& section, const std::string& key,
                               const std::string& value) {
  values[KeyOf(section, key)] = value;
}

}  // namespace vx::testing
