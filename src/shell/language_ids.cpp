#include "shell/language_ids.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace vx {

namespace {

struct KnownLanguage {
  int id;
  const char* abbreviation;
  const char* code;
  const char* name;
};

// The main variant of each language comes first: a bare code ("fr") takes it.
constexpr KnownLanguage kLanguages[] = {
    {1033, "Enu", "en", "English"},       {2057, "Eng", "en-GB", "English"},
    {1036, "Fra", "fr", "Français"},      {3084, "Frc", "fr-CA", "Français"},
    {2060, "Frb", "fr-BE", "Français"},   {4108, "Frs", "fr-CH", "Français"},
    {1031, "Deu", "de", "Deutsch"},       {3082, "Esn", "es", "Español"},
    {1040, "Ita", "it", "Italiano"},      {2070, "Ptg", "pt", "Português"},
    {1046, "Ptb", "pt-BR", "Português"},  {1043, "Nld", "nl", "Nederlands"},
    {1053, "Sve", "sv", "Svenska"},       {1030, "Dan", "da", "Dansk"},
    {1044, "Nor", "nb", "Norsk"},         {1035, "Fin", "fi", "Suomi"},
    {1045, "Plk", "pl", "Polski"},        {1029, "Csy", "cs", "Čeština"},
    {1049, "Rus", "ru", "Русский"},       {1032, "Ell", "el", "Ελληνικά"},
    {1055, "Trk", "tr", "Türkçe"},        {1041, "Jpn", "ja", "日本語"},
    {1042, "Kor", "ko", "한국어"},        {2052, "Chs", "zh", "中文"},
};

const KnownLanguage* Find(int languageId) {
  const auto found = std::find_if(std::begin(kLanguages), std::end(kLanguages),
                                  [&](const KnownLanguage& l) { return l.id == languageId; });
  if (found != std::end(kLanguages)) return found;
  // A primary language alone stands for its main variant.
  if (languageId > 0 && languageId < 1024) return Find(languageId | 0x400);
  return nullptr;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

int FindByCode(const std::string& code) {
  for (const KnownLanguage& l : kLanguages) {
    if (Lower(l.code) == code) return l.id;
  }
  return 0;
}

}  // namespace

std::string LanguageAbbreviation(int languageId) {
  const KnownLanguage* language = Find(languageId);
  return language != nullptr ? language->abbreviation : "";
}

std::vector<std::string> KnownLanguageAbbreviations() {
  std::vector<std::string> abbreviations;
  for (const KnownLanguage& l : kLanguages) abbreviations.push_back(l.abbreviation);
  return abbreviations;
}

std::string LanguageName(int languageId) {
  const KnownLanguage* language = Find(languageId);
  return language != nullptr ? language->name : "";
}

std::string LanguageCode(int languageId) {
  const KnownLanguage* language = Find(languageId);
  return language != nullptr ? language->code : "";
}

int LanguageIdFromCode(const std::string& code) {
  std::string wanted = Lower(code.substr(0, code.find_first_of(".@")));  // "fr_FR.UTF-8@euro"
  std::replace(wanted.begin(), wanted.end(), '_', '-');
  if (wanted.empty()) return 0;
  if (std::all_of(wanted.begin(), wanted.end(), [](unsigned char c) { return std::isdigit(c); })) {
    const int id = wanted.size() <= 5 ? std::stoi(wanted) : 0;
    return Find(id) != nullptr ? id : 0;
  }
  for (const KnownLanguage& l : kLanguages) {
    if (Lower(l.abbreviation) == wanted) return l.id;
  }
  if (const int exact = FindByCode(wanted); exact != 0) return exact;
  if (const int byLanguage = FindByCode(wanted.substr(0, wanted.find('-'))); byLanguage != 0) return byLanguage;
  // Names last; the main variant of each comes first: "français" is fr, not fr-CA.
  for (const KnownLanguage& l : kLanguages) {
    if (Lower(l.name) == wanted) return l.id;
  }
  return 0;
}

int LocaleLanguageId(const LocaleNames& names) {
  for (const std::string* value : {&names.lcAll, &names.lcMessages, &names.lang}) {
    if (!value->empty()) return LanguageIdFromCode(*value);
  }
  return 0;
}

}  // namespace vx
