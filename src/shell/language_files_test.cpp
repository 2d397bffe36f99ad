#include "shell/language_files.h"

#include <gtest/gtest.h>

#include "base/builtin_texts.h"
#include "base/messages.h"
#include "base/system_platform.h"
#include "base/text.h"
#include "db/sqlite_database.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "shell/program_language.h"

namespace vx {
namespace {

using testing::TempDir;

// A program folder with language files written by plain SQL, as a translator's tool would.
struct ProgramFolder {
  TempDir dir;
  SystemFileSystem files;
  std::string folder = dir.path() + "/";

  std::string Write(const std::string& abbreviation, int languageId, const std::string& rows,
                    const std::string& debug = "0") {
    files.CreateDirectories(folder + abbreviation);
    const std::string path = folder + abbreviation + "/Velantrix" + abbreviation + ".sdb";
    SQLite::Database db;
    db.Open(path);
    db.Execute("create table StringTable (Id integer primary key, String text);"
               "create table Menu (IdMenu integer, Id integer, String text);"
               "create table Dialog (IdDialog integer, Id integer, String text);"
               "create table Infos (Name text, Value text);" +
               Format("insert into Infos values ('LangId', '%d'), ('Debug', '%s');", languageId, debug.c_str()) + rows);
    return path;
  }
};

const std::string kEnglish312 = MessageText(msg::kFileMissing);  // "'%s' does not exist."

TEST(LanguageFiles, ADamagedOrMissingFrenchFileGivesTheBuiltInEnglishText) {
  const struct {
    const char* name;
    void (*damage)(const std::string& path);
  } cases[] = {
      {"missing", [](const std::string& path) { std::remove(path.c_str()); }},
      {"empty", [](const std::string& path) { testing::WriteFileBytes(path, ""); }},
      {"truncated", [](const std::string& path) {
         testing::WriteFileBytes(path, testing::ReadFileBytes(path).substr(0, 1500));
       }},
      {"not a database", [](const std::string& path) { testing::WriteFileBytes(path, "Id;String\n312;n'existe pas\n"); }},
      {"no text table", [](const std::string& path) {
         SQLite::Database db;
         db.Open(path);
         db.Execute("drop table StringTable");
       }},
      {"text missing", [](const std::string& path) {
         SQLite::Database db;
         db.Open(path);
         db.Execute("delete from StringTable");
       }},
      {"other placeholders", [](const std::string& path) {
         SQLite::Database db;
         db.Open(path);
         db.Execute("update StringTable set String = '%d n''existe pas.'");
       }},
      {"not UTF-8", [](const std::string& path) {
         SQLite::Database db;
         db.Open(path);
         db.Execute("update StringTable set String = cast(x'27257327206e2765786973746520706173e92e' as text)");
       }},
  };
  for (const auto& c : cases) {
    ProgramFolder program;
    const std::string path = program.Write("Fra", 1036, "insert into StringTable values (312, '''%s'' n''existe pas.');");
    c.damage(path);
    LanguageFiles texts(program.folder, program.files);
    texts.SetLanguage(kFrenchLanguage);
    EXPECT_EQ(texts.LoadText(msg::kFileMissing), kEnglish312) << c.name;
  }
}

TEST(LanguageFiles, ReadsTheLanguageThenTheEnglishFileThenTheBuiltInTexts) {
  ProgramFolder program;
  program.Write("Fra", 1036, "insert into StringTable values (312, 'Fichier :\\n''%s'' absent.');");
  program.Write("Enu", 1033, "insert into StringTable values (1064, 'Stopped (from the English file).');");
  program.Write("Deu", 1031, "insert into StringTable values (1062, 'Versuch %d');");
  LanguageFiles texts(program.folder, program.files);
  texts.SetLanguage(kFrenchLanguage);
  EXPECT_EQ(texts.LoadText(msg::kFileMissing), "Fichier :\n'%s' absent.");  // stored \n is a line break
  EXPECT_EQ(texts.LoadText(msg::kAnalysisCancelled), MessageText(msg::kAnalysisCancelled));  // French: no file fallback
  texts.SetLanguage(1031);  // the next lookup changes files
  EXPECT_EQ(texts.LoadText(msg::kAttemptNumber), "Versuch %d");
  EXPECT_EQ(texts.LoadText(msg::kAnalysisCancelled), "Stopped (from the English file).");
  EXPECT_EQ(texts.LoadText(msg::kFileMissing), kEnglish312);
  EXPECT_EQ(texts.LoadText(999999), "");  // a number nothing knows
}

TEST(LanguageFiles, TranslatorModeShowsTheNumbers) {
  ProgramFolder program;
  program.Write("Fra", 1036,
                "insert into StringTable values (312, '''%s'' n''existe pas.');"
                "insert into Menu values (20, 7, '&Ouvrir');"
                "insert into Dialog values (30, -1, 'Zone'), (30, 4, 'Nom');",
                "1");
  LanguageFiles texts(program.folder, program.files);
  texts.SetLanguage(kFrenchLanguage);
  EXPECT_EQ(texts.LoadText(msg::kFileMissing), "{312}'%s' n'existe pas.");
  EXPECT_EQ(texts.LoadMenuText(20, 7), "[20-7]&Ouvrir");
  EXPECT_EQ(texts.LoadDialogText(30, -1), "[30]Zone");
  EXPECT_EQ(texts.LoadDialogText(30, 4), "30.4");
}

TEST(LanguageFiles, TheLanguageComesFromTheSettingThenTheLocaleThenEnglish) {
  ProgramFolder program;
  program.Write("Fra", 1036, "");
  program.Write("Enu", 1033, "");
  const struct {
    int stored;
    LocaleNames locale;
    int chosen;
  } cases[] = {
      {0, {"", "", "fr_FR.UTF-8"}, 1036},
      {0, {"", "", "fr_CA.UTF-8"}, 1036},  // a region without its own file: the language's file
      {0, {"C", "fr_FR", "fr_FR"}, 1033},  // LC_ALL decides first
      {0, {"", "fr_BE@euro", "en_GB"}, 1036},
      {0, {"", "", "de_DE"}, 1033},        // no German file
      {1036, {"", "", "en_US"}, 1036},     // the setting before the locale
      {1031, {"", "", "fr_FR"}, 1036},     // a setting without its file is passed over
  };
  for (const auto& c : cases) {
    testing::MemorySettings settings;
    if (c.stored != 0) settings.SetInt(kLanguageSection, kLanguageKey, c.stored);
    LanguageFiles texts(program.folder, program.files);
    EXPECT_EQ(ChooseLanguage(texts, settings, LocaleLanguageId(c.locale)), c.chosen) << c.locale.lang;
    EXPECT_EQ(settings.GetInt(kLanguageSection, kLanguageKey, 0), c.chosen);
  }
}

TEST(LanguageFiles, TranslationsAreFilledWithTheSameValuesAsEnglish) {
  ProgramFolder program;
  program.Write("Fra", 1036,
                "insert into StringTable values (1060, '%s : taux de détection = %.1f %%');"
                "insert into StringTable values (1057, 'Test %s / %d');");  // a damaged translation
  testing::MemorySettings settings;
  settings.SetInt(kLanguageSection, kLanguageKey, kFrenchLanguage);
  StartProgramLanguage(program.folder, program.files, settings, {});
  const std::string french = Format(MessageText(msg::kDetectionRate), "Souris 1", 97.25);
  const std::string position = Format(MessageText(msg::kTestPosition), 2, 5);
  StartProgramLanguage("", program.files, settings, {});
  EXPECT_EQ(french, "Souris 1 : taux de détection = 97.2 %");
  EXPECT_EQ(position, "Test 2 / 5");  // the English text: the French one would crash Format
  EXPECT_EQ(Format(MessageText(msg::kDetectionRate), "Mouse 1", 97.25), "Mouse 1 : detection rate = 97.25 %");
}

}  // namespace
}  // namespace vx
