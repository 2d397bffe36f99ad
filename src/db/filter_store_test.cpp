// Filters, favourite views, colours and movable-zone positions through the database.
#include "db/filter_store.h"

#include <gtest/gtest.h>

#include "db/protocol_store.h"
#include "db/result_view_store.h"
#include "support/experiment_fixture.h"

namespace {

using vx::testing::ExperimentFixture;
using vx::testing::QueryValue;

TEST(FilterStore, SaveLoadListDelete) {
  ExperimentFixture fixture;
  vx::CProtocol p;
  p.name = "P";
  ASSERT_TRUE(vx::SaveProtocol(fixture.experiment, p, false));
  vx::FilterRow filter{-1, "Mâles 'adultes'", 2, ",1,4,", "Weight > 20", "and|or"};
  ASSERT_TRUE(vx::SaveFilter(fixture.experiment, filter, p.id));
  ASSERT_GT(filter.id, 0);
  filter.formule = "Weight > 25";
  ASSERT_TRUE(vx::SaveFilter(fixture.experiment, filter, p.id));
  EXPECT_EQ(QueryValue(fixture.path(), "select count(*) from Filters"), "1");
  vx::FilterRow loaded;
  int owner = -1;
  ASSERT_TRUE(vx::LoadFilter(fixture.experiment, filter.id, loaded, owner));
  EXPECT_EQ(owner, p.id);
  EXPECT_EQ(loaded.name, "Mâles 'adultes'");
  EXPECT_EQ(loaded.formule, "Weight > 25");
  EXPECT_EQ(loaded.list, ",1,4,");
  EXPECT_EQ(fixture.experiment.FindProtocol(p.id)->filters.at(0).formule, "Weight > 25");
  std::vector<vx::NamedId> list;
  ASSERT_TRUE(vx::ListFilters(fixture.experiment, p.id, list));
  EXPECT_EQ(list.size(), 1u);
  EXPECT_EQ(vx::HighestFilterId(fixture.experiment), filter.id);
  ASSERT_TRUE(vx::DeleteFilter(fixture.experiment, filter.id));
  EXPECT_TRUE(fixture.experiment.FindProtocol(p.id)->filters.empty());
  EXPECT_FALSE(vx::LoadFilter(fixture.experiment, filter.id, loaded, owner));
}

TEST(ResultViewStore, FavoritesAndColors) {
  ExperimentFixture fixture;
  vx::FavoriteView view;
  view.name = "Vue d'ensemble";
  view.idProtocol = 1;
  view.idReport = 2;
  view.idFilter = 3;
  view.groupBy = "-1;1";
  view.columns = "1|2|3";
  view.file = "/tmp/export.xlsx";
  view.bUpdateFile = 1;
  ASSERT_TRUE(vx::SaveFavorite(fixture.experiment, view));
  view.typeView = 2;
  ASSERT_TRUE(vx::SaveFavorite(fixture.experiment, view));
  vx::FavoriteView loaded;
  ASSERT_TRUE(vx::LoadFavorite(fixture.experiment, view.id, loaded));
  EXPECT_EQ(loaded.name, "Vue d'ensemble");
  EXPECT_EQ(loaded.typeView, 2);
  EXPECT_EQ(loaded.file, "/tmp/export.xlsx");
  EXPECT_EQ(loaded.bUpdateFile, 1);
  ASSERT_TRUE(vx::DeleteFavorite(fixture.experiment, view.id));
  EXPECT_FALSE(vx::LoadFavorite(fixture.experiment, view.id, loaded));

  ASSERT_TRUE(vx::SaveColor(fixture.experiment, "test'1", 0x0000FF));
  ASSERT_TRUE(vx::SaveColor(fixture.experiment, "test'1", 0x00FF00));
  ASSERT_TRUE(vx::SaveColor(fixture.experiment, "animal 2", 5));
  std::map<std::string, int> colors;
  ASSERT_TRUE(vx::LoadColors(fixture.experiment, colors));
  EXPECT_EQ(colors, (std::map<std::string, int>{{"animal 2", 5}, {"test'1", 0x00FF00}}));
}

}  // namespace
