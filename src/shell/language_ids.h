// Language ids and their names: the numeric ids of the language files (1033 English, 1036
// French, as Windows numbers them), the three-letter abbreviation that names a language's
// folder and file ("Enu", "Fra"), and the codes a user types or a locale holds ("fr",
// "fr_FR.UTF-8", "fra", "1036", "Français").
#pragma once

#include <string>
#include <vector>

namespace vx {

inline constexpr int kEnglishLanguage = 1033;
inline constexpr int kFrenchLanguage = 1036;

// The three-letter abbreviation of a language id ("Enu" for 1033); a primary language alone
// (an id under 1024) takes its main variant's ("Fra" for 12). "" when the id is unknown.
std::string LanguageAbbreviation(int languageId);

// The abbreviations of every language the program knows, each once ("Enu", "Eng", "Fra" ...):
// the folders beside the program where a language file may be.
std::vector<std::string> KnownLanguageAbbreviations();

// The language's own name ("English", "Français"), or "" when the id is unknown.
std::string LanguageName(int languageId);

// The short code of a language id ("en", "fr", "fr-CA"), or "" when unknown.
std::string LanguageCode(int languageId);

// The language id a code names: a number, an abbreviation, a language name or a locale name
// (case-insensitive; the encoding and modifier of a locale name are ignored; a region the
// table lacks gives the language's main variant). 0 for "C", "POSIX", "" and anything unknown.
int LanguageIdFromCode(const std::string& code);

// The locale variables as the environment holds them ("" when unset).
struct LocaleNames {
  std::string lcAll, lcMessages, lang;
};

// The language of the user's messages: the first set variable among LC_ALL, LC_MESSAGES and
// LANG decides, as for every program of the system; 0 when it names no known language.
int LocaleLanguageId(const LocaleNames& names);

}  // namespace vx
