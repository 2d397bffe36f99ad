// The size-level conversion and the seven-integer setting, against hand-computed values.
#include "db/animal_size.h"

#include <gtest/gtest.h>

#include "support/data_table.h"

namespace {

TEST(SizeLevels, FixedPointsAndInterpolation) {
  const auto rows = vx::testing::ReadDataTable("size_levels.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    EXPECT_DOUBLE_EQ(vx::SizeFromLevel(std::stoi(row[0])), std::stod(row[1])) << row[0];
  }
}

TEST(SizeLevels, InverseReturnsTheNearestLevel) {
  for (int level : {1, 5, 10, 20, 30, 40, 55, 70, 80, 170, 240, 300, 360, 480}) {
    EXPECT_EQ(vx::LevelFromSize(vx::SizeFromLevel(level)), level) << level;
  }
  EXPECT_EQ(vx::LevelFromSize(0), 1);
  EXPECT_EQ(vx::LevelFromSize(-3), 1);
}

TEST(SizeLevels, Presets) {
  const int pairs[][3] = {{10, 30, 0},  {20, 40, 1},   {30, 70, 2},  {30, 100, 3},
                          {80, 240, 4}, {170, 360, 5}, {10, 70, 6},  {30, 360, 7},
                          {10, 40, -1}, {70, 10, -1}};
  for (const auto& p : pairs) EXPECT_EQ(vx::PresetOfLevels(p[0], p[1]), p[2]);
}

TEST(AnimalSizeSetting, ParseAcceptsOnlySevenIntegers) {
  vx::AnimalSizeSetting setting;
  ASSERT_TRUE(vx::ParseAnimalSize("0|1|3|20|77|30|100", setting));
  EXPECT_EQ(vx::FormatAnimalSize(setting), "0|1|3|20|77|30|100");
  for (const char* bad : {"", "Exp", "0|1|3|20|77|30", "0|1|x|20|77|30|100", "1;2;3"}) {
    vx::AnimalSizeSetting untouched;
    untouched.preset = 42;
    EXPECT_FALSE(vx::ParseAnimalSize(bad, untouched)) << bad;
    EXPECT_EQ(untouched.preset, 42);
  }
}

}  // namespace
