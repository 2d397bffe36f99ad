#include "shell/program_language.h"

#include <memory>

#include "base/builtin_texts.h"
#include "base/messages.h"

namespace vx {

namespace {

std::shared_ptr<LanguageFiles>& Program() {
  static auto* program = new std::shared_ptr<LanguageFiles>;  // never destroyed: threads may ask at exit
  return *program;
}

// MessageText reads the program's language through this.
class LanguageFilesSource : public TextSource {
 public:
  explicit LanguageFilesSource(std::shared_ptr<LanguageFiles> files) : files_(std::move(files)) {}
  std::optional<std::string> Text(int id) const override { return files_->LoadText(id); }

 private:
  std::shared_ptr<LanguageFiles> files_;
};

}  // namespace

int AcceptedLanguage(const LanguageFiles& files, int wanted) {
  if (wanted <= 0) return 0;
  if (files.HasFile(wanted)) return wanted;
  // Files are named after a language's variants, so its primary language alone (id & 0x3FF)
  // and its main variant name the same file: the main variant is the id kept.
  const int mainVariant = (wanted & 0x3FF) | 0x400;
  return files.HasFile(mainVariant) ? mainVariant : 0;
}

int ChooseLanguage(LanguageFiles& files, SettingsStore& settings, int localeLanguage) {
  const int stored = settings.GetInt(kLanguageSection, kLanguageKey, 0);
  int chosen = 0;
  for (const int candidate : {stored, localeLanguage, kEnglishLanguage}) {
    if ((chosen = AcceptedLanguage(files, candidate)) != 0) break;
  }
  if (chosen != 0 && chosen != stored) settings.SetInt(kLanguageSection, kLanguageKey, chosen);
  files.SetLanguage(chosen != 0 ? chosen : LanguageFiles::kFallbackLanguage);
  return files.language();
}

int StartProgramLanguage(const std::string& programFolder, const FileSystem& files, SettingsStore& settings,
                         const LocaleNames& locale) {
  if (programFolder.empty()) {
    Program() = nullptr;
    SetTextSource(nullptr);
    return kEnglishLanguage;
  }
  auto language = std::make_shared<LanguageFiles>(programFolder, files);
  const int chosen = ChooseLanguage(*language, settings, LocaleLanguageId(locale));
  Program() = language;
  SetTextSource(std::make_shared<LanguageFilesSource>(language));
  return chosen;
}

LanguageFiles* ProgramLanguage() { return Program().get(); }

std::string MenuText(int menuId, int itemId) {
  if (LanguageFiles* files = ProgramLanguage()) return files->LoadMenuText(menuId, itemId);
  const char* text = FindBuiltInText(BuiltInMenuTexts(), menuId, itemId);
  return text != nullptr ? text : "";
}

std::string DialogText(int dialogId, int controlId) {
  if (LanguageFiles* files = ProgramLanguage()) return files->LoadDialogText(dialogId, controlId);
  const char* text = FindBuiltInText(BuiltInDialogTexts(), dialogId, controlId);
  return text != nullptr ? text : "";
}

std::optional<std::string> DialogControlText(int dialogId, int controlId, const std::string& designedText,
                                             bool isButtonOrStatic) {
  if (controlId == -1 || !isButtonOrStatic || designedText.empty() || designedText == "static") return std::nullopt;
  std::string text = DialogText(dialogId, controlId);
  if (text.empty()) return std::nullopt;
  return text;
}

}  // namespace vx
