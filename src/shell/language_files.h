// The program's texts in the user's language, read from the language files beside the program.
//
// A language file is a small read-only SQLite database, <program folder>/Xxx/VelantrixXxx.sdb
// for the language whose abbreviation is Xxx (Enu/VelantrixEnu.sdb for English), built from the
// catalogues of texts/ at build time. Tables: StringTable (Id, String), Menu (IdMenu, Id,
// String), Dialog (IdDialog, Id, String; Id -1 is the caption) and Infos (Name, Value) with
// the rows LangId and Debug (translator mode when not empty and not "0").
//
// A text is looked up in the current language's file, then — for a language other than English
// and French — in the English file (the French one when English is missing), then in the
// English texts built into the program. A missing, unreadable or damaged file is passed over
// silently: a text is never empty for a number the program knows, and a file is never written.
//
// One object serves the whole program; every member may be called from any thread.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/platform.h"
#include "db/sqlite_database.h"

namespace vx {

class LanguageFiles {
 public:
  // programFolder ends with '/'. The language starts as English.
  LanguageFiles(std::string programFolder, const FileSystem& files, std::string baseName = "Velantrix");

  // The language of the next lookups; the next lookup opens its file.
  void SetLanguage(int languageId);
  int language() const;

  // Numbered text id. In translator mode it starts with "{id}".
  std::string LoadText(int id);
  // A menu item's text. In translator mode it starts with "[menu-item]".
  std::string LoadMenuText(int menuId, int itemId);
  // A dialog control's text, or with controlId -1 the dialog's caption. In translator mode a
  // control's text is "dialog.control" and a caption starts with "[dialog]".
  std::string LoadDialogText(int dialogId, int controlId);

  // True when the current language's file is in translator mode.
  bool TranslatorMode();

  // The path of a language's file (whether it exists or not); "" for an unknown language.
  std::string FilePath(int languageId) const;
  bool HasFile(int languageId) const;
  // Every known language with a readable file beside the program whose LangId is set, or
  // English alone when there is none.
  std::vector<int> AvailableLanguages() const;
  // The language's help file beside its language file, or "" when there is none.
  std::string HelpFile() const;

  static constexpr int kFallbackLanguage = 1033;

 private:
  enum class Table { Text, Menu, Dialog };
  // The stored text of key in the current file or the fallback file; "" when neither has it.
  std::string Stored(Table table, int group, int id);
  void OpenCurrent();
  std::string LanguagePath(const std::string& abbreviation) const;

  const std::string folder_;
  const FileSystem& files_;
  const std::string baseName_;
  mutable std::mutex mutex_;
  int language_ = kFallbackLanguage;
  std::unique_ptr<SQLite::Database> current_;
  std::string currentPath_;
  std::unique_ptr<SQLite::Database> fallback_;
  bool fallbackTried_ = false;
  bool translator_ = false;
};

}  // namespace vx
