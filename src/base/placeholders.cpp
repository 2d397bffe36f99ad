#include "base/placeholders.h"

#include <cctype>
#include <cstring>

namespace vx {

namespace {

// What makes a conversion take a different argument: its length modifiers, stars and type.
std::string ArgumentKind(const std::string& placeholder) {
  std::string kind;
  for (const char c : placeholder) {
    if (c == '*' || std::isalpha(static_cast<unsigned char>(c))) kind += c;
  }
  return kind;
}

}  // namespace

std::vector<std::string> Placeholders(const std::string& text) {
  std::vector<std::string> found;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    if (i + 1 < text.size() && text[i + 1] == '%') {
      ++i;
      continue;
    }
    size_t end = i + 1;
    while (end < text.size() && std::strchr("-+ #0123456789.*$hljztL", text[end]) != nullptr) ++end;
    if (end < text.size()) ++end;  // the conversion letter
    found.push_back(text.substr(i, end - i));
    i = end - 1;
  }
  return found;
}

bool SamePlaceholders(const std::string& a, const std::string& b) {
  const std::vector<std::string> left = Placeholders(a), right = Placeholders(b);
  if (left.size() != right.size()) return false;
  for (size_t i = 0; i < left.size(); ++i) {
    if (ArgumentKind(left[i]) != ArgumentKind(right[i])) return false;
  }
  return true;
}

}  // namespace vx
