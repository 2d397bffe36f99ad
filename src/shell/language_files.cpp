#include "shell/language_files.h"

#include <cstdlib>

#include "base/builtin_texts.h"
#include "base/placeholders.h"
#include "base/text.h"
#include "base/utf8.h"
#include "shell/language_ids.h"

namespace vx {

namespace {

// A stored "\n" (two characters) is a line break.
std::string WithLineBreaks(const std::string& stored) {
  std::string text;
  for (size_t i = 0; i < stored.size(); ++i) {
    if (stored[i] == '\\' && i + 1 < stored.size() && stored[i + 1] == 'n') {
      text += '\n';
      ++i;
    } else {
      text += stored[i];
    }
  }
  return text;
}

// The first cell of the query's first row, or "" (no row, a failed query, a damaged file, or
// bytes that are not UTF-8: the program shows only UTF-8).
std::string FirstValue(SQLite::Database* db, const std::string& sql) {
  if (db == nullptr) return "";
  SQLite::TablePtr table = db->GetTable(sql);
  if (table == nullptr || !table->MoveFirst() || table->GetColumnCount() < 1) return "";
  const char* value = table->GetValue(table->Columns()[0]);
  return value != nullptr && IsValidUtf8(value) ? value : "";
}

std::unique_ptr<SQLite::Database> OpenIfPresent(const FileSystem& files, const std::string& path) {
  if (path.empty() || !files.Exists(path)) return nullptr;
  auto db = std::make_unique<SQLite::Database>();
  if (db->OpenReadOnly(path) != SQLite::kOk) return nullptr;
  return db;
}

bool InTranslatorMode(SQLite::Database* db) {
  const std::string debug = FirstValue(db, "select Value from Infos where Name='Debug'");
  return !debug.empty() && debug != "0";
}

}  // namespace

LanguageFiles::LanguageFiles(std::string programFolder, const FileSystem& files, std::string baseName)
    : folder_(std::move(programFolder)), files_(files), baseName_(std::move(baseName)) {}

void LanguageFiles::SetLanguage(int languageId) {
  std::lock_guard lock(mutex_);
  language_ = languageId;
}

int LanguageFiles::language() const {
  std::lock_guard lock(mutex_);
  return language_;
}

std::string LanguageFiles::LanguagePath(const std::string& abbreviation) const {
  if (abbreviation.empty()) return "";
  return folder_ + abbreviation + "/" + baseName_ + abbreviation + ".sdb";
}

std::string LanguageFiles::FilePath(int languageId) const { return LanguagePath(LanguageAbbreviation(languageId)); }

bool LanguageFiles::HasFile(int languageId) const {
  const std::string path = FilePath(languageId);
  return !path.empty() && files_.Exists(path);
}

void LanguageFiles::OpenCurrent() {
  const std::string path = FilePath(language_);
  if (path == currentPath_) return;
  currentPath_ = path;
  current_ = OpenIfPresent(files_, path);
  translator_ = InTranslatorMode(current_.get());
}

std::string LanguageFiles::Stored(Table table, int group, int id) {
  OpenCurrent();
  const std::string sql =
      table == Table::Text   ? Format("Select String from StringTable where Id=%d", id)
      : table == Table::Menu ? Format("Select String from Menu where IdMenu=%d and Id=%d", group, id)
                             : Format("Select String from Dialog where IdDialog=%d and Id=%d", group, id);
  if (std::string text = FirstValue(current_.get(), sql); !text.empty()) return WithLineBreaks(text);
  if (language_ == kEnglishLanguage || language_ == kFrenchLanguage) return "";
  if (!fallbackTried_) {
    fallbackTried_ = true;
    fallback_ = OpenIfPresent(files_, FilePath(kEnglishLanguage));
    if (fallback_ == nullptr) fallback_ = OpenIfPresent(files_, FilePath(kFrenchLanguage));
  }
  return WithLineBreaks(FirstValue(fallback_.get(), sql));
}

std::string LanguageFiles::LoadText(int id) {
  std::lock_guard lock(mutex_);
  const char* english = FindBuiltInText(BuiltInTexts(), 0, id);
  std::string text = Stored(Table::Text, 0, id);
  // A text that would take other values than the code gives it could print garbage or crash.
  if (english != nullptr && (text.empty() || !SamePlaceholders(english, text))) text = english;
  return translator_ ? Format("{%d}", id) + text : text;
}

std::string LanguageFiles::LoadMenuText(int menuId, int itemId) {
  std::lock_guard lock(mutex_);
  std::string text = Stored(Table::Menu, menuId, itemId);
  if (text.empty()) {
    const char* english = FindBuiltInText(BuiltInMenuTexts(), menuId, itemId);
    text = english != nullptr ? english : "";
  }
  return translator_ ? Format("[%d-%d]", menuId, itemId) + text : text;
}

std::string LanguageFiles::LoadDialogText(int dialogId, int controlId) {
  std::lock_guard lock(mutex_);
  std::string text = Stored(Table::Dialog, dialogId, controlId);
  if (text.empty()) {
    const char* english = FindBuiltInText(BuiltInDialogTexts(), dialogId, controlId);
    text = english != nullptr ? english : "";
  }
  if (!translator_) return text;
  return controlId == -1 ? Format("[%d]", dialogId) + text : Format("%d.%d", dialogId, controlId);
}

bool LanguageFiles::TranslatorMode() {
  std::lock_guard lock(mutex_);
  OpenCurrent();
  return translator_;
}

std::vector<int> LanguageFiles::AvailableLanguages() const {
  std::vector<int> languages;
  for (const std::string& name : KnownLanguageAbbreviations()) {
    const std::unique_ptr<SQLite::Database> db = OpenIfPresent(files_, LanguagePath(name));
    const int id = std::atoi(FirstValue(db.get(), "select Value from Infos where Name='LangId'").c_str());
    if (id != 0) languages.push_back(id);
  }
  if (languages.empty()) languages.push_back(kFallbackLanguage);
  return languages;
}

std::string LanguageFiles::HelpFile() const {
  const std::string abbreviation = LanguageAbbreviation(language());
  const std::string path = abbreviation.empty() ? "" : folder_ + abbreviation + "/" + baseName_ + abbreviation + ".chm";
  return !path.empty() && files_.Exists(path) ? path : "";
}

}  // namespace vx
