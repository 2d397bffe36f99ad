// The language of the whole program: chosen once at start from the settings and the locale,
// then used by every numbered message (MessageText) and by the menus and dialogs of the desktop
// program (MenuText, DialogText, DialogControlText).
#pragma once

#include <optional>
#include <string>

#include "base/platform.h"
#include "shell/language_files.h"
#include "shell/language_ids.h"

namespace vx {

// The setting that keeps the chosen language id ("Config", "LanguageId").
inline constexpr const char* kLanguageSection = "Config";
inline constexpr const char* kLanguageKey = "LanguageId";

// The language whose file is beside the program for the wanted id: the id itself, else its
// language's main variant (fr-CA: French, 1036); 0 when neither has a file.
int AcceptedLanguage(const LanguageFiles& files, int wanted);

// Decides the language: the first of the setting LanguageId, the locale's language and English
// that has a language file (English when none has), and rewrites the setting when the choice
// came from a file and differs from it. Returns the language id; files is set to it.
int ChooseLanguage(LanguageFiles& files, SettingsStore& settings, int localeLanguage);

// Starts the program's language: the language files of programFolder (ending with '/'; ""
// for none, which leaves the built-in English texts), the choice above, and MessageText,
// MenuText and DialogText reading that language from now on. Returns the language id.
int StartProgramLanguage(const std::string& programFolder, const FileSystem& files, SettingsStore& settings,
                         const LocaleNames& locale);

// The program's language files, or nullptr before StartProgramLanguage.
LanguageFiles* ProgramLanguage();

// A menu item's or a dialog control's text in the program's language (the built-in English
// one before StartProgramLanguage). DialogText with controlId -1 gives the caption.
std::string MenuText(int menuId, int itemId);
std::string DialogText(int dialogId, int controlId);

// The text to put on one control of a dialog being translated, or nothing to leave it as
// designed: only buttons and static texts that have an id, are not empty and are not the
// designer's placeholder "static" are translated, and only when the language has a text.
std::optional<std::string> DialogControlText(int dialogId, int controlId, const std::string& designedText,
                                             bool isButtonOrStatic);

}  // namespace vx
