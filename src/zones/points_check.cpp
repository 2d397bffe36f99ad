#include "zones/points_check.h"

#include <cstdlib>

#include "base/text.h"
#include "zones/setup_checks.h"

namespace vx {

namespace {

// Reads count integers separated by ';' from a whole token.
bool ReadIntegers(const std::string& token, size_t count, std::vector<int>& values) {
  const std::vector<std::string> parts = Split(token, ';', true);
  if (parts.size() != count) return false;
  values.assign(count, 0);
  for (size_t i = 0; i < count; ++i) {
    if (!TryParseInt(parts[i], values[i])) return false;
  }
  return true;
}

std::string CheckPolygon(const std::string& text) {
  const std::vector<std::string> tokens = Split(text, '|', false);
  std::vector<int> values;
  if (tokens.size() < 2 || !ReadIntegers(tokens[0], 4, values)) {
    return "it must start with \"left;top;right;bottom|count|\"";
  }
  int count = 0;
  if (!TryParseInt(tokens[1], count)) return "the vertex count is not a number";
  if (count < 3) return "a polygon needs at least 3 vertices";
  if (static_cast<size_t>(count) != tokens.size() - 2) {
    return Format("the count says %d but %d vertices are given", count, static_cast<int>(tokens.size() - 2));
  }
  for (size_t i = 2; i < tokens.size(); ++i) {
    if (!ReadIntegers(tokens[i], 2, values)) return Format("vertex %d is not \"x;y\"", static_cast<int>(i - 1));
  }
  return {};
}

std::string CheckCombination(const std::string& text, const ZoneSet& set) {
  const std::vector<std::string> tokens = Split(text, ';', false);
  std::vector<int> numbers;
  for (const std::string& token : tokens) {
    int value = 0;
    if (!TryParseInt(token, value)) return Format("'%s' is not a number", token.c_str());
    numbers.push_back(value);
  }
  if (numbers.size() < 3) return "it must be \"0;operation;count;id;...;\"";
  if (numbers[1] < 0 || numbers[1] > 2) return "the operation must be 0 (union), 1 (intersection) or 2 (choice)";
  if (numbers[2] < 1) return "a combined zone needs at least one component";
  if (static_cast<size_t>(numbers[2]) != numbers.size() - 3) {
    return Format("the count says %d but %d components are given", numbers[2], static_cast<int>(numbers.size() - 3));
  }
  for (size_t i = 3; i < numbers.size(); ++i) {
    const CDrawObj* zone = numbers[i] == 0 || numbers[i] == INT32_MIN ? nullptr : set.FindZone(std::abs(numbers[i]));
    if (zone == nullptr) return Format("no zone has the id %d", std::abs(numbers[i]));
    if (!zone->HasArea()) return Format("zone %d is a line, which has no area", zone->id);
  }
  return {};
}

}  // namespace

std::string CheckPointsText(int kind, const std::string& text, const ZoneSet& set) {
  std::vector<int> values;
  if (kind >= kKindRectangle && kind <= kKindRuler) {
    if (!ReadIntegers(text, 4, values)) return "it must be four integers \"left;top;right;bottom\"";
    // A line or a ruler may run either way; a shape with an area is typed corner by corner.
    const bool area = kind != kKindLine && kind != kKindRuler;
    if (area && CheckCornersInOrder({values[0], values[1], values[2], values[3]}) != SetupProblem::kNone) {
      return "the corners are reversed: right must not be left of left, nor bottom above top";
    }
    return {};
  }
  if (kind == kKindPolygon) return CheckPolygon(text);
  if (kind == kKindCombined) return CheckCombination(text, set);
  return "unknown zone kind";
}

}  // namespace vx
