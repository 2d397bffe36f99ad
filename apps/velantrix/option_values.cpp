#include "option_values.h"

#include <climits>
#include <cmath>

#include "base/text.h"
#include "base/utf8.h"

namespace vx::cli {

namespace {

std::string NumberText(double value) { return Format("%.15g", value); }

std::string Refusal(std::string_view text, const std::string& expected) {
  return Format("'%s' is not %s", std::string(text).c_str(), expected.c_str());
}

std::string ListDescription(const NumberList& list) {
  std::string text = list.form + " with ";
  text += list.count == 1 ? list.range.Describe() : "each " + list.range.Describe().substr(2);
  if (list.increasing) text += ", each greater than the one before";
  return text;
}

// The word of an argument list that names the flag whose value is at index.
std::string ArgumentName(const std::vector<std::string>& args, size_t index) {
  const std::string& word = args[index];
  if (word.rfind("--", 0) == 0) return word.substr(0, word.find('='));
  if (index > 0 && args[index - 1].rfind("-", 0) == 0 && args[index - 1].size() > 1) {
    return args[index - 1];
  }
  return Format("argument %zu", index + 1);
}

}  // namespace

std::string NumberRange::Describe() const {
  std::string text = whole ? "a whole number" : "a number";
  text += " from " + NumberText(min) + " to " + NumberText(max);
  if (!unit.empty()) text += " (" + unit + ")";
  return text;
}

NumberRange RecordId() { return {1, INT_MAX, true, ""}; }
NumberRange Percentage() { return {0, 100, false, "%"}; }
NumberRange PixelCoordinate() { return {-100000, 100000, true, "pixels"}; }

std::string ReadNumber(std::string_view text, const NumberRange& range, double& value) {
  double parsed = 0;
  if (range.whole) {
    int64_t wholeValue = 0;
    if (!TryParseInt64(text, wholeValue)) return Refusal(text, range.Describe());
    parsed = static_cast<double>(wholeValue);
  } else if (!TryParseDouble(text, parsed) || !std::isfinite(parsed)) {
    return Refusal(text, range.Describe());
  }
  if (parsed < range.min || parsed > range.max) return Refusal(text, range.Describe());
  value = parsed;
  return {};
}

std::string ReadWholeNumber(std::string_view text, const NumberRange& range, int& value) {
  NumberRange whole = range;
  whole.whole = true;
  whole.min = std::max(whole.min, static_cast<double>(INT_MIN));
  whole.max = std::min(whole.max, static_cast<double>(INT_MAX));
  double parsed = 0;
  std::string problem = ReadNumber(text, whole, parsed);
  if (problem.empty()) value = static_cast<int>(parsed);
  return problem;
}

std::string ReadNumbers(std::string_view text, const NumberList& list,
                        std::vector<double>& values) {
  const std::vector<std::string> parts = Split(text, list.separator, true);
  if (parts.size() != list.count) return Refusal(text, ListDescription(list));
  std::vector<double> read(parts.size());
  for (size_t i = 0; i < parts.size(); ++i) {
    if (!ReadNumber(parts[i], list.range, read[i]).empty() ||
        (list.increasing && i > 0 && read[i] <= read[i - 1])) {
      return Refusal(text, ListDescription(list));
    }
  }
  values = std::move(read);
  return {};
}

std::string ReadWholeNumbers(std::string_view text, const NumberList& list,
                             std::vector<int>& values) {
  NumberList whole = list;
  whole.range.whole = true;
  std::vector<double> read;
  std::string problem = ReadNumbers(text, whole, read);
  if (!problem.empty()) return problem;
  values.assign(read.begin(), read.end());
  return {};
}

CLI::Validator NumberIn(const NumberRange& range) {
  return CLI::Validator(
      [range](std::string& text) {
        double value = 0;
        return ReadNumber(text, range, value);
      },
      range.Describe());
}

CLI::Validator NumbersIn(const NumberList& list) {
  return CLI::Validator(
      [list](std::string& text) {
        std::vector<double> values;
        return ReadNumbers(text, list, values);
      },
      list.form);
}

std::string CheckArgumentsAreUtf8(const std::vector<std::string>& args) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (!IsValidUtf8(args[i])) {
      return Format("%s: the text is not valid UTF-8", ArgumentName(args, i).c_str());
    }
  }
  return {};
}

}  // namespace vx::cli
