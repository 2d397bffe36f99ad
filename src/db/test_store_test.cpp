// Tests (Tests and TestsPoints rows) through the database: the record, its analysis and the
// statements that keep the report cache honest.
#include "db/test_store.h"

#include <gtest/gtest.h>

#include "base/messages.h"
#include "db/field_store.h"
#include "db/test_analysis_store.h"
#include "support/experiment_fixture.h"

namespace {

using vx::testing::ExecuteSql;
using vx::testing::ExperimentFixture;
using vx::testing::QueryRows;
using vx::testing::QueryValue;

vx::CInfosTest SampleTest() {
  vx::CInfosTest t;
  t.title = "Essai n°1 'matin'";
  t.comment = "Rat agité; \"très\"";
  t.idAnimal = 3;
  t.forecastDateAcq = 1767225600;
  t.dateAnalyse = 0;
  t.idProtocol = 2;
  t.paramsDetection = "5|1|0|90|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1";
  t.source = 4;
  t.status = 0;
  t.color = 0x00FF00;
  t.adjustArena = "0|1|2|";
  t.idArena = 1;
  return t;
}

auto Columns(const vx::CInfosTest& t) {
  return std::tie(t.title, t.comment, t.idAnimal, t.forecastDateAcq, t.idProtocol, t.paramsDetection, t.source,
                  t.color, t.adjustArena, t.idArena, t.dateAnalyse, t.scale, t.infosAnalyse, t.duration, t.distance,
                  t.averageSpeed, t.maxSpeed, t.averageAccel, t.maxAccel, t.inactive, t.headDetection);
}

TEST(TestStore, RecordRoundTrip) {
  ExperimentFixture fixture;
  vx::CInfosTest saved = SampleTest();
  ASSERT_TRUE(vx::SaveTest(fixture.experiment, saved, false));
  ASSERT_GT(saved.id, 0);
  vx::CInfosTest loaded;
  ASSERT_TRUE(vx::LoadTest(fixture.experiment, saved.id, loaded));
  EXPECT_EQ(Columns(loaded), Columns(saved));
  EXPECT_FALSE(loaded.IsAnalysed());
  EXPECT_EQ(QueryValue(fixture.path(), "select Deleted from Tests"), "0");
  ASSERT_NE(fixture.experiment.FindTest(saved.id), nullptr);
  EXPECT_EQ(fixture.experiment.FindTest(saved.id)->title, saved.title);

  saved.title = "Renamed";
  ASSERT_TRUE(vx::SaveTest(fixture.experiment, saved, false));
  EXPECT_EQ(QueryRows(fixture.path(), "select Title from Tests"),
            (std::vector<std::vector<std::string>>{{"Renamed"}}));
  EXPECT_EQ(fixture.experiment.FindTest(saved.id)->title, "Renamed");
}

TEST(TestStore, SaveWithResultsAffectedDropsOnlyThatTestsCache) {
  ExperimentFixture fixture;
  vx::CInfosTest a = SampleTest(), b = SampleTest();
  ASSERT_TRUE(vx::SaveTest(fixture.experiment, a, false));
  ASSERT_TRUE(vx::SaveTest(fixture.experiment, b, false));
  ExecuteSql(fixture.path(), "insert into ReportsData(IdReport, IdTest) values (1, " +
                          std::to_string(a.id) + "), (1, " + std::to_string(b.id) + ")");
  ASSERT_TRUE(vx::SaveTest(fixture.experiment, a, false));
  EXPECT_EQ(QueryValue(fixture.path(), "select count(*) from ReportsData"), "2");
  ASSERT_TRUE(vx::SaveTest(fixture.experiment, a, true));
  EXPECT_EQ(QueryValue(fixture.path(), "select IdTest from ReportsData"), std::to_string(b.id));
}

TEST(TestStore, ExcludeDeleteAndCounts) {
  ExperimentFixture fixture;
  std::vector<int> ids;
  for (int i = 0; i < 3; ++i) {
    vx::CInfosTest t = SampleTest();
    ASSERT_TRUE(vx::SaveTest(fixture.experiment, t, false));
    ids.push_back(t.id);
  }
  ExecuteSql(fixture.path(), "update Tests set DateAnalyse=100 where Id<>" + std::to_string(ids[2]));
  ExecuteSql(fixture.path(), "insert into ReportsData(IdReport, IdTest) select 1, Id from Tests");
  EXPECT_EQ(vx::CountAnalysedTests(fixture.experiment, 2), 2);
  EXPECT_EQ(vx::CountAnalysedTests(fixture.experiment, 9), 0);

  EXPECT_FALSE(vx::ExcludeTests(fixture.experiment, {}));
  EXPECT_TRUE(fixture.services.notifier.Saw(vx::msg::kSelectTestToExclude));
  ASSERT_TRUE(vx::ExcludeTests(fixture.experiment, {ids[0]}));
  EXPECT_EQ(QueryValue(fixture.path(), "select Status from Tests where Id=" +
                                           std::to_string(ids[0])),
            "1");
  EXPECT_EQ(fixture.experiment.FindTest(ids[0])->status, 1);
  EXPECT_EQ(QueryValue(fixture.path(), "select count(*) from ReportsData"), "2");
  // An excluded test stays in the test list.
  ASSERT_TRUE(fixture.experiment.LoadAll());
  EXPECT_EQ(fixture.experiment.tests.size(), 3u);

  ExecuteSql(fixture.path(), "insert into TestsPoints(Id) values (" + std::to_string(ids[1]) + ")");
  ASSERT_TRUE(vx::DeleteTests(fixture.experiment, {ids[1], ids[2]}));
  ASSERT_TRUE(vx::DeleteTest(fixture.experiment, ids[0]));
  for (const char* table : {"Tests", "TestsPoints", "ReportsData"}) {
    EXPECT_EQ(QueryValue(fixture.path(), std::string("select count(*) from ") + table), "0");
  }
  EXPECT_TRUE(fixture.experiment.tests.empty());
}

TEST(TestAnalysisStore, AnalysisRoundTripAndCache) {
  ExperimentFixture fixture;
  vx::CInfosTest t = SampleTest();
  ASSERT_TRUE(vx::SaveTest(fixture.experiment, t, false));
  ExecuteSql(fixture.path(), "insert into ReportsData(IdReport, IdTest) values (1, " +
                          std::to_string(t.id) + ")");
  t.dateAnalyse = 1767229200;
  t.scale = 0.25;
  t.infosAnalyse = "5|1|2|3|4|5|6|7|8|9|10|11|1900|1|0|0|299|0|0|65536";
  t.duration = 60;
  t.distance = 1234.5;
  t.averageSpeed = 20.575;
  t.maxSpeed = 80;
  t.averageAccel = 0.5;
  t.maxAccel = 2;
  t.inactive = 12;
  t.headDetection = true;
  t.paramsDetection = "5|4|";
  const std::vector<uint8_t> points = {0x05, 0x0A, 0x14, 0x02, 0x03, 0x03, 0x04, 0x00, 0x00};
  ASSERT_TRUE(vx::SaveAnalysis(fixture.experiment, t, points, true));
  EXPECT_EQ(QueryRows(fixture.path(), "select HeadDetection, length(PointsAnalyse) from "
                                      "TestsPoints"),
            (std::vector<std::vector<std::string>>{{"1", "9"}}));
  EXPECT_EQ(QueryValue(fixture.path(), "select count(*) from ReportsData"), "0");
  EXPECT_EQ(QueryValue(fixture.path(), "select ParamsDetection from Tests"), "5|4|");

  vx::CInfosTest loaded;
  ASSERT_TRUE(vx::LoadTest(fixture.experiment, t.id, loaded));
  EXPECT_TRUE(loaded.IsAnalysed());
  EXPECT_EQ(Columns(loaded), Columns(t));  // the values are exact in binary

  vx::TestBlobs blobs;
  ASSERT_TRUE(vx::LoadTestBlobs(fixture.experiment, loaded, blobs));
  EXPECT_EQ(blobs.points, points);
  EXPECT_TRUE(blobs.headDetection);
  EXPECT_TRUE(blobs.frameTimes.empty());

  // A second analysis without points stores NULL, not an empty blob.
  ASSERT_TRUE(vx::SaveAnalysis(fixture.experiment, t, {}, false));
  EXPECT_EQ(QueryValue(fixture.path(), "select PointsAnalyse is NULL from TestsPoints"), "1");

  ASSERT_TRUE(vx::ResetAnalysis(fixture.experiment, t.id));
  EXPECT_EQ(QueryValue(fixture.path(), "select DateAnalyse||InfosAnalyse||Distance from Tests"),
            "00.0");
  EXPECT_FALSE(fixture.experiment.FindTest(t.id)->IsAnalysed());
}

TEST(TestAnalysisStore, BehavioursDetectionSettingsAndArena) {
  ExperimentFixture fixture;
  vx::CInfosTest t = SampleTest();
  ASSERT_TRUE(vx::SaveTest(fixture.experiment, t, false));
  EXPECT_FALSE(vx::HasRecordedBehaviors(fixture.experiment, t.id));
  ExecuteSql(fixture.path(), "insert into ReportsData(IdReport, IdTest) values (1, " +
                          std::to_string(t.id) + "), (2, " + std::to_string(t.id) + ")");
  ASSERT_TRUE(vx::SaveBehaviors(fixture.experiment, t.id, {1, 2, 0}, {2}));
  EXPECT_TRUE(vx::HasRecordedBehaviors(fixture.experiment, t.id));
  EXPECT_EQ(QueryValue(fixture.path(), "select IdReport from ReportsData"), "1");
  ASSERT_TRUE(vx::SaveBehaviors(fixture.experiment, t.id, {}, {}));
  EXPECT_FALSE(vx::HasRecordedBehaviors(fixture.experiment, t.id));

  ASSERT_TRUE(vx::SaveDetectionSettings(fixture.experiment, t.id, "5|2|it's"));
  std::string settings;
  ASSERT_TRUE(vx::ReadDetectionSettings(fixture.experiment, t.id, settings));
  EXPECT_EQ(settings, "5|2|it's");
  ASSERT_TRUE(vx::LatestDetectionSettingsOfAnimal(fixture.experiment, 3, settings));
  EXPECT_FALSE(vx::LatestDetectionSettingsOfAnimal(fixture.experiment, 99, settings));

  EXPECT_TRUE(vx::SaveArenaAdjustment(fixture.experiment, t.id, "1|5|5|", 2));
  EXPECT_FALSE(vx::SaveArenaAdjustment(fixture.experiment, 999, "x", 2));
  EXPECT_EQ(QueryRows(fixture.path(), "select AdjustArena, IdArena from Tests"),
            (std::vector<std::vector<std::string>>{{"1|5|5|", "2"}}));
  EXPECT_EQ(QueryValue(fixture.path(), "select count(*) from ReportsData"), "0");
}

TEST(TestAnalysisStore, RecomputeSummariesOfAnalysedTests) {
  ExperimentFixture fixture;
  for (int protocol : {1, 2, 2}) {
    vx::CInfosTest t = SampleTest();
    t.idProtocol = protocol;
    ASSERT_TRUE(vx::SaveTest(fixture.experiment, t, false));
  }
  ExecuteSql(fixture.path(), "update Tests set DateAnalyse=5 where Id in (1, 2)");
  ASSERT_TRUE(fixture.experiment.LoadAll());
  std::vector<int> seen;
  std::vector<std::pair<int, int>> progress;
  auto compute = [&](const vx::CInfosTest& test, const vx::TestBlobs&, vx::TestSummary& s) {
    seen.push_back(test.id);
    s.distance = test.id * 100.0;
    s.inactive = test.id;
    return true;
  };
  ASSERT_TRUE(vx::RecomputeSummaries(fixture.experiment, -1, false, compute,
                                     [&](int done, int total) { progress.push_back({done, total}); }));
  EXPECT_EQ(seen, (std::vector<int>{1, 2}));
  EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 2}, {2, 2}}));
  EXPECT_EQ(QueryRows(fixture.path(), "select Distance, Inactive from Tests order by Id"),
            (std::vector<std::vector<std::string>>{{"100.0", "1"}, {"200.0", "2"}, {"0.0", "0"}}));
  EXPECT_DOUBLE_EQ(fixture.experiment.FindTest(2)->distance, 200.0);

  seen.clear();
  auto inactivity = [&](const vx::CInfosTest& test, const vx::TestBlobs&, vx::TestSummary& s) {
    seen.push_back(test.id);
    s.distance = -1;
    s.inactive = 77;
    return true;
  };
  ASSERT_TRUE(vx::RecomputeSummaries(fixture.experiment, 2, true, inactivity));
  EXPECT_EQ(seen, (std::vector<int>{2}));
  EXPECT_EQ(QueryRows(fixture.path(), "select Distance, Inactive from Tests where Id=2"),
            (std::vector<std::vector<std::string>>{{"200.0", "77"}}));
}

}  // namespace
