#include "base/time_text.h"

#include <cmath>
#include <string>

#include "base/text.h"

namespace vx {

namespace {

bool ParseColonForm(std::string_view text, int64_t& ms) {
  const std::vector<std::string> parts = Split(text, ':', true);
  if (parts.size() < 2 || parts.size() > 3) return false;
  double total = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    double value = 0;
    if (!TryParseDouble(parts[i], value) || !std::isfinite(value) || value < 0) return false;
    if (i > 0 && value >= 60) return false;
    if (i + 1 < parts.size() && value != std::floor(value)) return false;  // only seconds have decimals
    total = total * 60 + value;
  }
  ms = std::llround(total * 1000);
  return true;
}

}  // namespace

bool ParseTimeText(std::string_view text, int64_t& ms) {
  const std::string trimmed = Trim(text);
  if (trimmed.find(':') != std::string::npos) return ParseColonForm(trimmed, ms);
  static const struct {
    const char* suffix;
    double ms;
  } kUnits[] = {{"ms", 1}, {"min", 60000}, {"s", 1000}, {"h", 3600000}};
  for (const auto& unit : kUnits) {
    const std::string_view suffix(unit.suffix);
    if (trimmed.size() <= suffix.size() || !trimmed.ends_with(suffix)) continue;
    double value = 0;
    if (!TryParseDouble(trimmed.substr(0, trimmed.size() - suffix.size()), value)) return false;
    if (!std::isfinite(value) || value < 0 || value * unit.ms > 9.0e15) return false;
    ms = std::llround(value * unit.ms);
    return true;
  }
  return false;
}

}  // namespace vx
