// Running reports over an experiment file: which tests take part, what the cache holds
// (inspected with plain SQL), that a cached run gives the values of a fresh computation in
// single precision without reading a single trajectory, and that stale or damaged entries are
// never served.
#include "reports/report_runner.h"

#include <gtest/gtest.h>

#include <tuple>

#include "trajectory/smoothing_settings.h"
#include "support/report_file.h"

namespace vx {
namespace {

using testing::ReportFile;

constexpr const char* kTimeInZone = "5|12|0||0|-1|0|0|1|-2|0|0|";

class ReportRun : public ::testing::Test {
 protected:
  ReportFile file;
};

TEST_F(ReportRun, TheSecondRunComesFromTheCacheWithTheSameValues) {
  const Report report = file.AddReport("time", "5|12|0||0|-1|0|1|2|-2|0|0|");  // 1 s slices
  const ReportFile::Run first = file.RunReport(report);
  ASSERT_EQ(first.status, ReportRunStatus::kOk);
  EXPECT_EQ(std::tuple(first.stats.computed, first.stats.stored, first.trajectoryReads), std::tuple(3, 3, 3));
  // One row per test: 3 cells x 1 slice of f32 after the 8-byte header.
  EXPECT_EQ(file.CacheRows(report.id), (std::vector<std::vector<std::string>>{
                                           {"3", "20"}, {"4", "20"}, {"5", "20"}}));
  EXPECT_EQ(file.Cell("select hex(substr(Data, 1, 8)) from ReportsData where IdTest=3"),
            "112700000C000000");

  const ReportFile::Run second = file.RunReport(report);
  EXPECT_EQ(std::tuple(second.stats.fromCache, second.stats.computed, second.trajectoryReads), std::tuple(3, 0, 0));
  ASSERT_EQ(second.results.size(), first.results.size());
  EXPECT_EQ(second.results[2].title, first.results[2].title);
}

TEST_F(ReportRun, AReportOverNoZoneHasNoCellAndNoCacheRow) {
  const Report none = file.AddReport("none", "5|12|0|,77,|0|-1|0|0|1|-2|0|0|");
  const ReportFile::Run run = file.RunReport(none);
  ASSERT_EQ(run.status, ReportRunStatus::kOk);
  ASSERT_EQ(run.results.size(), 3u);
  for (const TestResult& r : run.results) EXPECT_TRUE(r.IsEmpty());
  EXPECT_TRUE(file.CacheRows(none.id).empty());
  // A stale row of such a report is deleted rather than served.
  file.Sql(Format("insert into ReportsData (IdReport, IdTest, Data) values (%d, 3, "
                  "x'112700000C0000000000803F')",
                  none.id));
  const ReportFile::Run again = file.RunReport(none);
  EXPECT_TRUE(again.results[0].IsEmpty());
  EXPECT_EQ(again.stats.dropped, 1);
  EXPECT_TRUE(file.CacheRows(none.id).empty());
}

TEST_F(ReportRun, BlobsOfAnotherVersionOrMeasureAreRecomputedAndOverwritten) {
  const Report report = file.AddReport("time", kTimeInZone);
  file.RunReport(report);
  const std::string good = file.Cell("select hex(Data) from ReportsData where IdTest=3");
  struct Case {
    const char* why;
    std::string data;
  } cases[] = {
      {"older version", "x'10270000" + good.substr(8) + "'"},
      {"another measure", "x'112700000B000000" + good.substr(16) + "'"},
      {"garbage", "x'DEADBEEF00'"},
      {"truncated", "x'1127'"},
      {"one value missing", "x'" + good.substr(0, good.size() - 8) + "'"},
      {"text instead of a blob", "'0.9|0.4|0.5'"},
  };
  for (const Case& c : cases) {
    file.Sql("update ReportsData set Data=" + c.data + " where IdTest=3");
    const ReportFile::Run run = file.RunReport(report);
    EXPECT_EQ(std::pair(run.stats.computed, run.stats.fromCache), std::pair(1, 2)) << c.why;
    EXPECT_EQ(run.results[0].values, (std::vector<double>{0.9f, 0.4f, 0.5f})) << c.why;
    EXPECT_EQ(file.Cell("select hex(Data) from ReportsData where IdTest=3"), good) << c.why;
  }
}

TEST_F(ReportRun, AMeasureChangedBehindTheCacheFailsTheMeasureCheck) {
  Report report = file.AddReport("entries", "5|4|0||0|-1|0|0|0|1|-2|0|0|");
  file.RunReport(report);
  // Changed in the file without going through a save (which would drop the rows).
  file.Sql(Format("update Results set Config='5|5|0||0|-1|0|0|0|1|-2|0|0|' where Id=%d", report.id));
  file.Reload();
  ASSERT_TRUE(FindReport(file.experiment(), report.id, report));
  const ReportFile::Run run = file.RunReport(report);
  EXPECT_EQ(std::pair(run.stats.computed, run.stats.fromCache), std::pair(3, 0));
  // Exits: test 3 leaves only "A ( out )", when it enters A.
  EXPECT_EQ(run.results[0].values, (std::vector<double>{0, 0, 1}));
  EXPECT_EQ(file.Cell("select hex(substr(Data, 5, 4)) from ReportsData where IdTest=3"),
            "05000000");
}

TEST_F(ReportRun, ACorruptTrajectoryGivesAnEmptyResultAndNoRow) {
  const Report report = file.AddReport("time", kTimeInZone);
  file.RunReport(report);
  file.Sql("update TestsPoints set PointsAnalyse=x'0A0B0C' where Id=4");
  file.Sql("delete from ReportsData where IdTest=5");
  file.Sql("update TestsPoints set PointsAnalyse=x'FFFF' where Id=5");
  // Test 4's row is still there (nothing invalidated it), so it is served; test 5 has none.
  ReportFile::Run run = file.RunReport(report);
  EXPECT_FALSE(run.results[1].IsEmpty());
  EXPECT_TRUE(run.results[2].IsEmpty());
  EXPECT_TRUE(file.Cell("select count(*) from ReportsData where IdTest=5") == "0");
  file.Sql("delete from ReportsData where IdTest=4");
  run = file.RunReport(report);
  EXPECT_TRUE(run.results[1].IsEmpty());
  EXPECT_EQ(file.Cell("select count(*) from ReportsData"), "1");
}

TEST_F(ReportRun, BehavioursOverAcquiredTestsIncludeTestsNotAnalysed) {
  file.Sql("update Protocols set Behaviors='1|3|2|1;groom;71;0;0|2;rear;82;0;0' where Id=1");
  file.Reload();
  RecordedBehaviors recorded;
  recorded.protocolId = 1;
  recorded.lists.push_back({1, 1, 0, {{100, 400}, {600, 700}}});
  file.SaveBehaviorsOf(7, recorded, {});
  // Total duration of each behaviour, mode 4 (slices over acquired tests), one period.
  const Report acquired = file.AddReport("acquired", "5|23|0||0|-1|4|0|1|-2|0|0|");
  ReportFile::Run run = file.RunReport(acquired);
  EXPECT_EQ(run.TestIds(), (std::vector<int>{3, 4, 5, 7}));
  EXPECT_EQ(run.results[3].cells, (std::vector<std::string>{"groom", "rear"}));
  EXPECT_EQ(run.results[3].values, (std::vector<double>{0.4f, 0}));
  run = file.RunReport(acquired);
  EXPECT_EQ(run.stats.fromCache, 4);
  EXPECT_EQ(run.results[3].values, (std::vector<double>{0.4f, 0}));
  // Mode 0 keeps to analysed tests.
  const Report analysed = file.AddReport("analysed", "5|23|0||0|-1|0|0|1|-2|0|0|");
  EXPECT_EQ(file.RunReport(analysed).TestIds(), (std::vector<int>{3, 4, 5}));
}

TEST_F(ReportRun, ProgressIsReportedAndACancelKeepsWhatWasComputed) {
  const Report report = file.AddReport("time", kTimeInZone);
  int progressCalls = 0, polls = 0;
  ReportRunOptions cancelling;
  cancelling.progress = [&](int done, int total) {
    ++progressCalls;
    EXPECT_EQ(total, 3);
    EXPECT_EQ(done, progressCalls);
  };
  cancelling.cancelled = [&] { return ++polls > 2; };
  const ReportFile::Run cancelled = file.RunReport(report, cancelling);
  EXPECT_EQ(cancelled.status, ReportRunStatus::kCancelled);
  EXPECT_EQ(cancelled.TestIds(), (std::vector<int>{3, 4}));
  EXPECT_EQ(progressCalls, 2);
  // What was computed before the cancel is kept.
  EXPECT_EQ(file.Cell("select count(*) from ReportsData"), "2");
}

TEST_F(ReportRun, ReportsThatCannotRun) {
  Report unreadable = file.AddReport("time", kTimeInZone);
  unreadable.readable = ParseMeasureConfig("not a config", unreadable.definition);
  EXPECT_EQ(file.RunReport(unreadable).status, ReportRunStatus::kUnreadableConfig);
  const Report refused = file.AddReport("ranges", "5|1|0||0|-1|0|0|1|-2|0|0|");
  EXPECT_EQ(file.RunReport(refused).status, ReportRunStatus::kRefused);
  Report orphan = file.AddReport("time", kTimeInZone);
  orphan.protocolId = 99;
  EXPECT_EQ(file.RunReport(orphan).status, ReportRunStatus::kNoProtocol);
  EXPECT_EQ(file.Cell("select count(*) from ReportsData"), "0");
}

}  // namespace
}  // namespace vx
