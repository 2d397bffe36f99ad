#include "trajectory/smoothing_settings.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "db/experiment_db.h"
#include "support/data_table.h"
#include "support/experiment_fixture.h"

namespace vx {
namespace {

TEST(SmoothingSettings, ParsingRules) {
  const auto rows = testing::ReadDataTable("smoothing_texts.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    const SmoothingSettings expected{std::stoi(row[1]), std::stoi(row[2]), std::stoi(row[3])};
    EXPECT_EQ(ParseSmoothingSettings(row[0]), expected) << row[0] << " " << row[4];
  }
}

TEST(SmoothingSettings, FormatAndNames) {
  EXPECT_EQ(FormatSmoothingSettings({1, 12, 2}), "1|12|2");
  EXPECT_EQ(ParseSmoothingSettings(FormatSmoothingSettings({4, 0, 0})), (SmoothingSettings{4, 0, 0}));
  EXPECT_STREQ(SmoothingMethodName(5), "");
  EXPECT_TRUE(IsValidSmoothingSettings({4, 0, 2}));
  EXPECT_FALSE(IsValidSmoothingSettings({5, 0, 2}));
  EXPECT_FALSE(IsValidSmoothingSettings({1, -1, 2}));
  EXPECT_FALSE(IsValidSmoothingSettings({1, 1, 3}));
  EXPECT_FALSE((SmoothingSettings{0, 0, 1}).ChangesPositions());
  EXPECT_TRUE((SmoothingSettings{0, 1, 1}).ChangesPositions());
}

class SmoothingSettingsStore : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fixture.created); }
  std::string SmoothRows() {
    std::string rows;
    for (const auto& row :
         testing::QueryRows(file.path, "select Value from Infos where Name='Smooth'")) {
      rows += "[" + row[0] + "]";
    }
    return rows;
  }
  testing::ExperimentFixture fixture;
  ExperimentFile& file = fixture.experiment.file;
};

TEST_F(SmoothingSettingsStore, SavedSettingIsTheTextOfTheRow) {
  ASSERT_TRUE(SaveSmoothingSettings(file, {4, 12, 2}));
  EXPECT_EQ(SmoothRows(), "[4|12|2]");
  SmoothingSettings settings;
  ASSERT_TRUE(LoadSmoothingSettings(file, settings));
  EXPECT_EQ(settings, (SmoothingSettings{4, 12, 2}));
  EXPECT_TRUE(file.modified);
}

TEST_F(SmoothingSettingsStore, MissingFileFailsAndChangesNothing) {
  file.path = fixture.dir.File("absent.vxdb");
  SmoothingSettings settings{3, 3, 3};
  EXPECT_FALSE(LoadSmoothingSettings(file, settings));
  EXPECT_EQ(settings, (SmoothingSettings{3, 3, 3}));
  EXPECT_FALSE(SaveSmoothingSettings(file, {1, 0, 0}));
  EXPECT_FALSE(fixture.services.files.Exists(file.path));
}

}  // namespace
}  // namespace vx
