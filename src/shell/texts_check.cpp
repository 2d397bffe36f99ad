#include "shell/texts_check.h"

#include <algorithm>
#include <map>
#include <set>

#include "base/builtin_texts.h"
#include "base/placeholders.h"
#include "db/sqlite_database.h"
#include "shell/language_ids.h"
#include "shell/text_usage.h"

namespace vx {

namespace {

std::string Joined(const std::vector<std::string>& placeholders) {
  std::string text;
  for (const std::string& p : placeholders) text += (text.empty() ? "" : " ") + p;
  return text.empty() ? "none" : text;
}

// The numbered texts of a language file, or false when it is no readable language file.
bool ReadLanguageFile(const std::string& path, int& languageId, std::map<int, std::string>& texts) {
  SQLite::Database db;
  if (db.OpenReadOnly(path) != SQLite::kOk) return false;
  SQLite::TablePtr infos = db.GetTable("select Value from Infos where Name='LangId'");
  if (infos == nullptr || !infos->MoveFirst()) return false;
  languageId = infos->FirstColumnAsInt();
  SQLite::TablePtr rows = db.GetTable("select Id, String from StringTable");
  if (rows == nullptr || db.lastError() != SQLite::kOk) return false;
  for (bool more = rows->MoveFirst(); more; more = rows->MoveNext()) texts[rows->GetId()] = rows->GetText("String");
  return languageId != 0;
}

// A stored "\n" is a line break; placeholders are compared on the text as shown.
std::string Shown(const std::string& stored) {
  std::string text = stored;
  for (size_t at = text.find("\\n"); at != std::string::npos; at = text.find("\\n", at + 1)) text.replace(at, 2, "\n");
  return text;
}

}  // namespace

bool TextsCheck::Failed() const {
  return std::any_of(problems.begin(), problems.end(),
                     [](const TextProblem& p) { return p.kind != TextProblemKind::Unused; });
}

TextsCheck CheckTexts(const std::string& programFolder, const FileSystem& files, const std::string& baseName) {
  TextsCheck check;
  const std::span<const int> usedIds = TextIdsUsedByCode();
  const std::set<int> used(usedIds.begin(), usedIds.end());
  std::map<int, std::string> english;
  for (const BuiltInText& t : BuiltInTexts()) english[t.id] = t.text;

  for (const int id : used) {
    if (!english.count(id)) check.problems.push_back({TextProblemKind::Missing, "Enu", id, ""});
  }
  for (const auto& [id, text] : english) {
    if (!used.count(id)) check.problems.push_back({TextProblemKind::Unused, "Enu", id, ""});
  }

  for (const std::string& name : KnownLanguageAbbreviations()) {
    const std::string path = programFolder + name + "/" + baseName + name + ".sdb";
    if (!files.Exists(path)) continue;
    CheckedLanguage language{name};
    std::map<int, std::string> texts;
    if (!ReadLanguageFile(path, language.languageId, texts)) {
      check.problems.push_back({TextProblemKind::Unreadable, name, 0, path});
      continue;
    }
    language.texts = static_cast<int>(texts.size());
    check.languages.push_back(language);
    for (const auto& [id, text] : english) {
      const auto translated = texts.find(id);
      if (translated == texts.end() || translated->second.empty()) {
        check.problems.push_back({TextProblemKind::Missing, name, id, ""});
      } else if (!SamePlaceholders(text, Shown(translated->second))) {
        check.problems.push_back({TextProblemKind::PlaceholdersDiffer, name, id,
                                  Joined(Placeholders(text)) + " / " + Joined(Placeholders(Shown(translated->second)))});
      }
    }
    for (const auto& [id, text] : texts) {
      if (!english.count(id) && !used.count(id)) check.problems.push_back({TextProblemKind::Unused, name, id, ""});
    }
  }
  return check;
}

}  // namespace vx
