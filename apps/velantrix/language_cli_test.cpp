// The command line in French, and the check of the language files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "cli.h"
#include "cli_test_run.h"
#include "db/sqlite_database.h"
#include "support/temp_dir.h"

namespace vx::cli {
namespace {

using vx::testing::TempDir;

struct LanguageRun {
  TempDir dir;
  std::string settings = dir.File("settings.ini");

  testing::RunResult Run(const std::vector<std::string>& args, const std::string& programFolder = VX_LANGUAGE_DIR) {
    std::istringstream in;
    std::ostringstream out, err;
    Io io{in, out, err, false, false, settings, programFolder};
    testing::RunResult result;
    result.status = RunCli(args, io);
    result.out = out.str();
    result.err = err.str();
    return result;
  }
};

TEST(LanguageCli, AFrenchRunPrintsTheFrenchTextAndKeepsTheChoice) {
  LanguageRun run;
  const std::string missing = run.dir.File("absente.vxdb");
  EXPECT_EQ(run.Run({"--language", "fr", "info", missing}).err, "velantrix: '" + missing + "' n'existe pas.\n");
  EXPECT_EQ(run.Run({"info", missing}).err, "velantrix: '" + missing + "' n'existe pas.\n");  // the saved setting
  EXPECT_EQ(run.Run({"--language", "en", "info", missing}).err, "velantrix: '" + missing + "' does not exist.\n");
  const testing::RunResult unknown = run.Run({"--language", "xx", "info", missing});
  EXPECT_EQ(unknown.status, kExitUsage);
  EXPECT_NE(unknown.err.find("fr (Français)"), std::string::npos) << unknown.err;
}

TEST(LanguageCli, TheLanguageTableLinesUpByCharactersNotBytes) {
  LanguageRun run;
  const testing::RunResult languages = run.Run({"texts", "languages"});
  ASSERT_EQ(languages.status, kExitOk) << languages.err;
  // Where the last column starts, counted in characters: "Français" takes 8 columns, not 9.
  std::vector<size_t> starts;
  std::istringstream lines(languages.out);
  for (std::string line; std::getline(lines, line);) {
    const std::string before = line.substr(0, line.find_last_of(' ') + 1);
    starts.push_back(std::count_if(before.begin(), before.end(), [](char c) { return (c & 0xC0) != 0x80; }));
  }
  ASSERT_GE(starts.size(), 3u) << languages.out;
  EXPECT_EQ(std::count(starts.begin(), starts.end(), starts[0]), static_cast<long>(starts.size())) << languages.out;
}

TEST(LanguageCli, TextsCheckFindsAMissingAndAnUnusedText) {
  LanguageRun run;
  for (const std::string language : {"Enu", "Fra"}) {
    std::filesystem::create_directories(run.dir.File(language));
    std::filesystem::copy_file(std::string(VX_LANGUAGE_DIR) + language + "/Velantrix" + language + ".sdb",
                               run.dir.File(language + "/Velantrix" + language + ".sdb"));
  }
  EXPECT_NE(run.Run({"texts", "check"}, run.dir.path() + "/").status, kExitFailed);
  SQLite::Database french;
  french.Open(run.dir.File("Fra/VelantrixFra.sdb"));
  french.Execute("delete from StringTable where Id = 312; insert into StringTable values (99999, 'Jamais vu');"
                 "update StringTable set String = 'Essai %s' where Id = 1062");
  french.Close();
  const testing::RunResult check = run.Run({"texts", "check"}, run.dir.path() + "/");
  EXPECT_EQ(check.status, kExitFailed);
  for (const char* line : {"Fra: text 312 is missing\n", "Fra: text 99999 is used by no code\n",
                           "Fra: text 1062 takes other values than in English (English / Fra: %d / %s)\n"}) {
    EXPECT_NE(check.out.find(line), std::string::npos) << line << check.out;
  }
}

}  // namespace
}  // namespace vx::cli
