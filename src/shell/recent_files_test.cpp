// The recent experiments: the newest first, each once, at most eight, a file that no longer
// opens dropped.
#include <gtest/gtest.h>

#include "shell/recent_files.h"
#include "support/fakes.h"

namespace {

using Files = std::vector<std::string>;

TEST(RecentFiles, NewestFirstOnceEachAndAtMostEight) {
  vx::testing::MemorySettings settings;
  EXPECT_EQ(vx::RecentFiles(settings), Files());
  for (const char* path : {"/a.vxdb", "/b.vxdb", "/a.vxdb"}) vx::AddRecentFile(settings, path);
  EXPECT_EQ(vx::RecentFiles(settings), (Files{"/a.vxdb", "/b.vxdb"}));
  for (int i = 1; i <= 9; ++i) vx::AddRecentFile(settings, "/" + std::to_string(i) + ".vxdb");
  const Files recent = vx::RecentFiles(settings);
  ASSERT_EQ(recent.size(), 8u);
  EXPECT_EQ(recent.front(), "/9.vxdb");
  EXPECT_EQ(recent.back(), "/2.vxdb");
  vx::RemoveRecentFile(settings, "/5.vxdb");
  EXPECT_EQ(vx::RecentFiles(settings).size(), 7u);
}

// A list edited by hand with a gap and a repeated path still reads as a clean list.
TEST(RecentFiles, AHandEditedListIsReadCleanly) {
  vx::testing::MemorySettings settings;
  settings.SetString("History", "File1", "/x.vxdb");
  settings.SetString("History", "File3", "/y.vxdb");
  settings.SetString("History", "File4", "/x.vxdb");
  EXPECT_EQ(vx::RecentFiles(settings), (Files{"/x.vxdb", "/y.vxdb"}));
}

}  // namespace
