// The check of the language files beside the program against the code and the English texts:
// what a translator or a developer adding a text runs (`velantrix texts check`).
#pragma once

#include <string>
#include <vector>

#include "base/platform.h"

namespace vx {

enum class TextProblemKind {
  Missing,             // a text the code uses (or English holds) that the language lacks
  PlaceholdersDiffer,  // the language's text would take other values than the English one
  Unused,              // a text no code uses
  Unreadable,          // a language folder whose file cannot be read as a language file
};

struct TextProblem {
  TextProblemKind kind;
  std::string language;  // the language's abbreviation ("Fra")
  int id = 0;            // the text number (none for Unreadable)
  std::string detail;    // the placeholders on both sides, or why a file is unreadable
};

struct CheckedLanguage {
  std::string abbreviation;  // "Fra"
  int languageId = 0;        // from the file's Infos
  int texts = 0;             // numbered texts in the file
};

struct TextsCheck {
  std::vector<CheckedLanguage> languages;
  std::vector<TextProblem> problems;
  // True when a language lacks a text or gives it other placeholders, or a file is unreadable.
  bool Failed() const;
};

// Checks every language file in programFolder (ending with '/') and the English texts built into
// the program: each text the code uses must be in English, each English text in every language
// with the same placeholders; a text no code uses is reported for each catalogue holding it
// alone (English for the texts English holds).
TextsCheck CheckTexts(const std::string& programFolder, const FileSystem& files,
                      const std::string& baseName = "Velantrix");

}  // namespace vx
