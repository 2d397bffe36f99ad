#include "results/sheet_limits.h"

#include <cstring>

#include "base/text.h"

namespace vx {

namespace {

constexpr size_t kMaxSheetNameCharacters = 31;

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The first `characters` UTF-8 characters of text.
std::string FirstCharacters(const std::string& text, size_t characters) {
  size_t end = 0;
  for (size_t seen = 0; end < text.size(); ++end) {
    if (!IsContinuationByte(text[end]) && seen++ == characters) break;
  }
  return text.substr(0, end);
}

size_t CharacterCount(const std::string& text) {
  size_t count = 0;
  for (char c : text) count += IsContinuationByte(c) ? 0 : 1;
  return count;
}

std::string AllowedName(const std::string& wanted) {
  std::string name = wanted;
  for (char& c : name) {
    if (std::strchr("[]:*?/\\", c) != nullptr || (c >= 0 && c < 0x20)) c = '_';
  }
  while (!name.empty() && name.front() == '\'') name.erase(0, 1);
  name = FirstCharacters(name, kMaxSheetNameCharacters);
  while (!name.empty() && name.back() == '\'') name.pop_back();
  return name.empty() ? "Sheet" : name;
}

bool Taken(const std::string& name, const Workbook& book) {
  const std::string lower = ToLower(name);
  for (const Sheet& sheet : book.sheets) {
    if (ToLower(sheet.Name()) == lower) return true;
  }
  return false;
}

}  // namespace

int MaxSheetRows(WorkbookKind kind) { return kind == WorkbookKind::Xml ? 1048576 : 65536; }

int MaxSheetColumns(WorkbookKind kind) { return kind == WorkbookKind::Xml ? 16384 : 256; }

std::string UniqueSheetName(const std::string& wanted, const Workbook& book) {
  const std::string base = AllowedName(wanted);
  if (!Taken(base, book)) return base;
  for (int number = 2;; ++number) {
    const std::string suffix = " (" + std::to_string(number) + ")";
    const std::string name =
        FirstCharacters(base, kMaxSheetNameCharacters - CharacterCount(suffix)) + suffix;
    if (!Taken(name, book)) return name;
  }
}

}  // namespace vx
