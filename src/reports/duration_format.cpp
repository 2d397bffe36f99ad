#include "reports/duration_format.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/text.h"

namespace vx {

namespace {

enum class Shape { Clock, ClockMs, Seconds, SecondsMs };

Shape ShapeOf(int code) {
  switch (code) {
    case 1:
    case 4:
    case 5:
    case 6:
      return Shape::ClockMs;
    case 2:
    case 7:
    case 8:
    case 9:
      return Shape::Seconds;
    case 3:
    case 10:
    case 11:
    case 12:
      return Shape::SecondsMs;
    default:
      return Shape::Clock;
  }
}

// Far beyond any test, and still exact in a double: keeps the conversions defined.
constexpr double kLargestSeconds = 1e12;

}  // namespace

double DurationSurfaceFactor(int code) {
  switch (code) {
    case 5:
    case 8:
    case 11:
      return 100.0;
    case 6:
    case 9:
    case 12:
      return 1000000.0;
    default:
      return 1.0;
  }
}

bool DurationInWholeSeconds(int code) {
  const Shape shape = ShapeOf(code);
  return shape == Shape::Clock || shape == Shape::Seconds;
}

std::string FormatDuration(double seconds, int code) {
  if (code < 0 || code >= kDurationFormatCount) code = 0;
  const double scaled = seconds * DurationSurfaceFactor(code);
  if (std::isnan(scaled)) return "";
  const char* sign = scaled < 0 ? "-" : "";
  const double magnitude = std::min(std::fabs(scaled), kLargestSeconds);
  int64_t whole = 0;
  int64_t ms = 0;
  if (DurationInWholeSeconds(code)) {
    whole = static_cast<int64_t>(magnitude + 0.5);
  } else {
    const int64_t total = static_cast<int64_t>((magnitude + 0.0005) * 1000.0);
    whole = total / 1000;
    ms = total % 1000;
  }
  const long long h = whole / 3600, m = whole / 60 % 60, s = whole % 60;
  switch (ShapeOf(code)) {
    case Shape::Clock:
      return Format("%s%02lld:%02lld:%02lld", sign, h, m, s);
    case Shape::ClockMs:
      return Format("%s%02lld:%02lld:%02lld %03lld", sign, h, m, s, static_cast<long long>(ms));
    case Shape::Seconds:
      return Format("%s%lld", sign, static_cast<long long>(whole));
    case Shape::SecondsMs:
      return Format("%s%lld.%03lld", sign, static_cast<long long>(whole),
                    static_cast<long long>(ms));
  }
  return "";
}

SheetDuration SheetDurationCell(double seconds, int code) {
  if (code < 0 || code >= kDurationFormatCount) code = 0;
  const double scaled = seconds * DurationSurfaceFactor(code);
  switch (ShapeOf(code)) {
    case Shape::Clock:
      return {scaled / 86400.0, kSheetDurationSeconds};
    case Shape::ClockMs:
      return {scaled / 86400.0, kSheetDurationMilliseconds};
    case Shape::Seconds:
      return {scaled, "0"};
    case Shape::SecondsMs:
      return {scaled, "0.000"};
  }
  return {scaled / 86400.0, kSheetDurationSeconds};
}

}  // namespace vx
