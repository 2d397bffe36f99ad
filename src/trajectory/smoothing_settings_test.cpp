#include "trajectory/smoothing_settings.h"

#include <gtest/gtest.h>

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

TEST(SmoothingSettingsStore, MissingFileFailsAndIsNotCreated) {
  testing::ExperimentFixture fixture;
  ExperimentFile& file = fixture.experiment.file;
  file.path = fixture.dir.File("absent.vxdb");
  SmoothingSettings settings{3, 3, 3};
  EXPECT_FALSE(LoadSmoothingSettings(file, settings));
  EXPECT_EQ(settings, (SmoothingSettings{3, 3, 3}));
  EXPECT_FALSE(SaveSmoothingSettings(file, {1, 0, 0}));
  EXPECT_FALSE(fixture.services.files.Exists(file.path));
}

}  // namespace
}  // namespace vx
