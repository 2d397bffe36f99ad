// Result definitions and the report cache through the database.
#include "db/result_store.h"

#include <gtest/gtest.h>

#include "db/protocol_store.h"
#include "support/experiment_fixture.h"

namespace {

using vx::testing::ExecuteSql;
using vx::testing::ExperimentFixture;
using vx::testing::QueryRows;
using vx::testing::QueryValue;
using Rows = std::vector<std::vector<std::string>>;

class ResultStore : public ::testing::Test {
 protected:
  void SetUp() override {
    vx::CProtocol p;
    p.name = "P";
    ASSERT_TRUE(vx::SaveProtocol(fixture.experiment, p, false));
    protocol = p.id;
  }
  ExperimentFixture fixture;
  int protocol = -1;
};

TEST_F(ResultStore, DefinitionsSaveLoadListDelete) {
  vx::ResultRow row{-1, "Vitesse d'été", "5|0|"};
  ASSERT_TRUE(vx::SaveResultDefinition(fixture.experiment, row, protocol));
  ASSERT_GT(row.id, 0);
  EXPECT_EQ(fixture.experiment.FindProtocol(protocol)->results.size(), 1u);
  ExecuteSql(fixture.path(), "insert into ReportsData(IdReport, IdTest) values (" +
                                 std::to_string(row.id) + ", 1), (99, 1)");
  row.config = "5|3|";
  ASSERT_TRUE(vx::SaveResultDefinition(fixture.experiment, row, 12345));  // owner kept
  EXPECT_EQ(QueryRows(fixture.path(), "select IdProtocol, Config from Results"),
            (Rows{{std::to_string(protocol), "5|3|"}}));
  EXPECT_EQ(QueryValue(fixture.path(), "select group_concat(IdReport) from ReportsData"), "99");
  EXPECT_EQ(fixture.experiment.FindProtocol(protocol)->results[0].config, "5|3|");

  vx::ResultDefinition definition;
  ASSERT_TRUE(vx::LoadResultDefinition(fixture.experiment, row.id, definition));
  EXPECT_EQ(definition.name, "Vitesse d'été");
  EXPECT_EQ(definition.sldCurve, 50);
  EXPECT_EQ(definition.showCurve, 1);
  EXPECT_FALSE(vx::LoadResultDefinition(fixture.experiment, 777, definition));

  std::vector<vx::NamedId> list;
  ASSERT_TRUE(vx::ListResultDefinitions(fixture.experiment, protocol, list));
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(vx::HighestResultId(fixture.experiment), row.id);
  ExecuteSql(fixture.path(), "insert into Favorites(Name, IdReport) values ('f', " +
                                 std::to_string(row.id) + ")");
  ASSERT_TRUE(vx::DeleteResultDefinition(fixture.experiment, row.id));
  EXPECT_EQ(QueryValue(fixture.path(), "select count(*) from Favorites"), "0");
  EXPECT_TRUE(fixture.experiment.FindProtocol(protocol)->results.empty());
  EXPECT_EQ(vx::HighestResultId(fixture.experiment), 0);
}

TEST_F(ResultStore, CacheRowsAreUniquePerReportAndTest) {
  std::vector<uint8_t> data;
  EXPECT_FALSE(vx::ReadCachedResult(fixture.experiment, 1, 2, data));
  ASSERT_TRUE(vx::StoreCachedResult(fixture.experiment, 1, 2, {0x11, 0x27, 0, 0}));
  ASSERT_TRUE(vx::StoreCachedResult(fixture.experiment, 1, 2, {0x11, 0x27, 0, 0, 5}));
  ASSERT_TRUE(vx::StoreCachedResult(fixture.experiment, 1, 3, {1}));
  EXPECT_EQ(QueryRows(fixture.path(), "select IdReport, IdTest, hex(Data) from ReportsData "
                                      "order by IdTest"),
            (Rows{{"1", "2", "1127000005"}, {"1", "3", "01"}}));
  ASSERT_TRUE(vx::ReadCachedResult(fixture.experiment, 1, 2, data));
  EXPECT_EQ(data, (std::vector<uint8_t>{0x11, 0x27, 0, 0, 5}));
  ASSERT_TRUE(vx::StoreCachedResult(fixture.experiment, 1, 2, {}));  // empty: deleted
  ASSERT_TRUE(vx::DropCachedResult(fixture.experiment, 1, 3));
  EXPECT_EQ(QueryValue(fixture.path(), "select count(*) from ReportsData"), "0");
}

}  // namespace
