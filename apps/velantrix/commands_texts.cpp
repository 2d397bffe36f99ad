// Verbs on the program's languages (texts check, texts languages) and the choice of language
// that every verb takes (--language).
#include <CLI/CLI.hpp>

#include <memory>

#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "language_choice.h"
#include "output.h"
#include "shell/program_language.h"
#include "shell/texts_check.h"

namespace vx::cli {

namespace {

bool IsEnglish(int languageId) { return (languageId & 0x3FF) == (kEnglishLanguage & 0x3FF); }

std::string LanguageList(const LanguageFiles& files) {
  std::string list;
  for (const int id : files.AvailableLanguages()) {
    list += (list.empty() ? "" : ", ") + LanguageCode(id) + " (" + LanguageName(id) + ")";
  }
  return list;
}

const char* KindName(TextProblemKind kind) {
  switch (kind) {
    case TextProblemKind::Missing: return "missing";
    case TextProblemKind::PlaceholdersDiffer: return "placeholders";
    case TextProblemKind::Unused: return "unused";
    case TextProblemKind::Unreadable: return "unreadable";
  }
  return "";
}

std::string ProblemLine(const TextProblem& p) {
  switch (p.kind) {
    case TextProblemKind::Missing: return Format("%s: text %d is missing", p.language.c_str(), p.id);
    case TextProblemKind::PlaceholdersDiffer:
      return Format("%s: text %d takes other values than in English (English / %s: %s)", p.language.c_str(), p.id,
                    p.language.c_str(), p.detail.c_str());
    case TextProblemKind::Unused: return Format("%s: text %d is used by no code", p.language.c_str(), p.id);
    case TextProblemKind::Unreadable:
      return Format("%s: '%s' is not a readable language file", p.language.c_str(), p.detail.c_str());
  }
  return "";
}

int RunTextsCheck(Context& context, bool json) {
  const TextsCheck check = CheckTexts(context.io.programFolder, context.files);
  if (json) {
    std::string out = "{\"languages\": [";
    for (size_t i = 0; i < check.languages.size(); ++i) {
      const CheckedLanguage& l = check.languages[i];
      out += Format("%s{\"language\": %s, \"id\": %d, \"texts\": %d}", i ? ", " : "", JsonString(l.abbreviation).c_str(),
                    l.languageId, l.texts);
    }
    out += "], \"problems\": [";
    for (size_t i = 0; i < check.problems.size(); ++i) {
      const TextProblem& p = check.problems[i];
      out += Format("%s{\"kind\": \"%s\", \"language\": %s, \"id\": %d, \"detail\": %s}", i ? ", " : "",
                    KindName(p.kind), JsonString(p.language).c_str(), p.id, JsonString(p.detail).c_str());
    }
    context.io.out << out << "]}\n";
  } else {
    context.io.out << "Language files in " << (context.io.programFolder.empty() ? "(none)" : context.io.programFolder)
                   << ":";
    for (const CheckedLanguage& l : check.languages) {
      context.io.out << Format(" %s (%d, %d texts)", l.abbreviation.c_str(), l.languageId, l.texts);
    }
    context.io.out << (check.languages.empty() ? " none\n" : "\n");
    for (const TextProblem& p : check.problems) context.io.out << ProblemLine(p) << '\n';
  }
  if (check.Failed()) {
    return context.Fail("some languages lack texts or give them with other placeholders: add them to the catalogues "
                        "of texts/ (Enu.txt says how)");
  }
  return check.problems.empty() ? kExitOk : kExitWarnings;
}

int RunTextsLanguages(Context& context, bool json) {
  const LanguageFiles* current = ProgramLanguage();
  const int currentId = current != nullptr ? current->language() : kEnglishLanguage;
  LanguageFiles files(context.io.programFolder, context.files);
  RecordTable table({"code", "id", "name", "current"});
  for (const int id : files.AvailableLanguages()) {
    table.Add({Cell::Str(LanguageCode(id)), Cell::Int(id), Cell::Str(LanguageName(id)), Cell::Bool(id == currentId)});
  }
  table.Print(context.io.out, json ? OutputFormat::Json : OutputFormat::Text);
  return kExitOk;
}

}  // namespace

int StartLanguage(Context& context, const std::string& languageCode) {
  const std::string& folder = context.io.programFolder;
  if (!languageCode.empty()) {
    const int wanted = LanguageIdFromCode(languageCode);
    LanguageFiles files(folder, context.files);
    // English is built into the program: it needs no file.
    const int accepted = IsEnglish(wanted) ? kEnglishLanguage : folder.empty() ? 0 : AcceptedLanguage(files, wanted);
    if (accepted == 0) {
      return context.Fail(Format("'%s' names no language of this program; there are: %s", languageCode.c_str(),
                                 LanguageList(files).c_str()),
                          kExitUsage);
    }
    context.settings->SetInt(kLanguageSection, kLanguageKey, accepted);
  }
  StartProgramLanguage(folder, context.files, *context.settings, context.io.locale);
  return kExitOk;
}

void RegisterTextsCommands(CLI::App& app, Context& context, CommandResult& result) {
  CLI::App* verb = Verb(app, "texts", "The program's languages: check the language files, list the languages");
  auto json = std::make_shared<bool>(false);
  CLI::App* check = verb->add_subcommand(
      "check", "Texts missing from a language, given with other placeholders than in English, or used by no code");
  check->add_flag("--json", *json, "One JSON document");
  check->callback([&, json] { result.Select([&, json] { return RunTextsCheck(context, *json); }); });
  CLI::App* languages = verb->add_subcommand("languages", "The languages beside the program, and the one in use");
  languages->add_flag("--json", *json, "One JSON array");
  languages->callback([&, json] { result.Select([&, json] { return RunTextsLanguages(context, *json); }); });
}

}  // namespace vx::cli
