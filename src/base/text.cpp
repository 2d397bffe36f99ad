#include "base/text.h"

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace vx {

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  char small[256];
  const int needed = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  std::string result;
  if (needed < 0) {
    va_end(copy);
    return result;
  }
  if (static_cast<size_t>(needed) < sizeof small) {
    result.assign(small, static_cast<size_t>(needed));
  } else {
    result.resize(static_cast<size_t>(needed) + 1);
    std::vsnprintf(result.data(), result.size(), format, copy);
    result.resize(static_cast<size_t>(needed));
  }
  va_end(copy);
  return result;
}

std::string SqlQuote(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  for (char c : text) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted;
}

std::vector<std::string> Split(std::string_view text, char separator, bool keepEmpty) {
  std::vector<std::string> pieces;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(separator, start);
    if (end == std::string_view::npos) end = text.size();
    if (keepEmpty || end > start) pieces.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  if (keepEmpty && text.empty()) pieces.clear();
  return pieces;
}

Tokenizer::Tokenizer(std::string_view text, char separator, bool keepEmpty)
    : tokens_(Split(text, separator, keepEmpty)) {}

bool Tokenizer::Next(std::string& token) {
  if (next_ >= tokens_.size()) return false;
  token = tokens_[next_++];
  return true;
}

int ToInt(std::string_view text) {
  return static_cast<int>(ToInt64(text));
}

int64_t ToInt64(std::string_view text) {
  std::string copy(text);
  return std::strtoll(copy.c_str(), nullptr, 10);
}

double ToDouble(std::string_view text) {
  std::string copy(text);
  return std::strtod(copy.c_str(), nullptr);
}

bool TryParseInt64(std::string_view text, int64_t& value) {
  std::string copy = Trim(text);
  if (copy.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long long parsed = std::strtoll(copy.c_str(), &end, 10);
  if (errno != 0 || end == copy.c_str() || *end != '\0') return false;
  value = parsed;
  return true;
}

bool TryParseInt(std::string_view text, int& value) {
  int64_t wide = 0;
  if (!TryParseInt64(text, wide) || wide < INT32_MIN || wide > INT32_MAX) return false;
  value = static_cast<int>(wide);
  return true;
}

bool TryParseDouble(std::string_view text, double& value) {
  std::string copy = Trim(text);
  if (copy.empty()) return false;
  char* end = nullptr;
  const double parsed = std::strtod(copy.c_str(), &end);
  if (end == copy.c_str() || *end != '\0') return false;
  value = parsed;
  return true;
}

std::string Trim(std::string_view text) {
  const char* blanks = " \t\r\n";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(blanks);
  return std::string(text.substr(first, last - first + 1));
}

std::string ToLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ToLower(a) == ToLower(b);
}

std::string SqlIdList(const std::vector<int>& ids) {
  std::string list = "(";
  for (size_t i = 0; i < ids.size(); ++i) {
    if (i > 0) list += ',';
    list += std::to_string(ids[i]);
  }
  return list + ")";
}

bool IdSetContains(std::string_view idSet, int id) {
  return idSet.find("," + std::to_string(id) + ",") != std::string_view::npos;
}

int RoundHalfEven(double value) {
  return static_cast<int>(std::nearbyint(value));
}

int64_t RoundHalfEven64(double value) {
  return static_cast<int64_t>(std::nearbyint(value));
}

int RoundHalfAway(double value) {
  return static_cast<int>(std::round(value));
}

}  // namespace vx
