// An experiment file with one protocol, its zones and a few analysed tests, for the tests of
// reports and their cache (and the report benchmarks).
//
// Protocol 1: arena 1000 x 100 pixels (zone 1) and zone A (2) from x = 100; protocol 2 has an
// arena only. Video 2: ten frames every 100 ms. Tests, at 0.5 mm per pixel, along y = 20:
//   3  runs from x = 0 to 180 (enters A at 500 ms)
//   4  sits at x = 300, inside A
//   5  runs back from x = 180 to 0 (leaves A at 500 ms)
//   6  as 3, excluded (Status 1)
//   7  as 3, not analysed
//   8  as 3, of protocol 2
// Smoothing is off, so the values are plain geometry.
//
// Header-only: usable by the tests of every module that links the analysis layer.
#pragma once

#include <string>
#include <vector>

#include "trajectory/behavior_blob.h"
#include "reports/report_runner.h"
#include "trajectory/smoothing_settings.h"
#include "support/stored_test.h"
#include "support/trajectory_builder.h"

namespace vx::testing {

class ReportFile {
 public:
  ReportFile() {
    Sql("insert into Protocols (Id, Name, Width, Height, InactivityDelay, InactivityUnit) values "
        "(1, 'p', 1000, 100, 0, 0), (2, 'other', 1000, 100, 0, 0)");
    Sql("insert into Zones (Id, IdProtocol, Name, bArena, TypeRect, Points) values "
        "(1, 1, 'Arena', 1, 0, '0;0;999;99'), (2, 1, 'A', 0, 0, '100;0;999;99'), "
        "(3, 2, 'Arena', 1, 0, '0;0;999;99')");
    std::vector<uint32_t> frames;
    for (uint32_t k = 0; k < 10; ++k) frames.push_back(100 * k);
    times = FrameTimes::FromList(frames);
    const std::vector<tMyPoint> run = EvenPath(Line({0, 20}, {180, 20}, 10), 100);
    const std::vector<tMyPoint> still = EvenPath(Line({300, 20}, {300, 20}, 10), 100);
    const std::vector<tMyPoint> back = EvenPath(Line({180, 20}, {0, 20}, 10), 100);
    StoreAnalysedTest(fixture, 3, 2, 1, 0.5, run, times);
    StoreAnalysedTest(fixture, 4, 2, 1, 0.5, still, times);
    StoreAnalysedTest(fixture, 5, 2, 1, 0.5, back, times);
    StoreAnalysedTest(fixture, 6, 2, 1, 0.5, run, times);
    Sql("update Tests set Status=1 where Id=6");
    StoreAnalysedTest(fixture, 7, 2, 1, 0.5, run, times, 0);
    StoreAnalysedTest(fixture, 8, 2, 2, 0.5, run, times);
    EXPECT_TRUE(SaveSmoothingSettings(experiment().file, {kNoSmoothing, 0, kThresholdPixels}));
    experiment().file.statementHook = [this](const std::string& sql) {
      if (sql.find("PointsAnalyse") != std::string::npos) ++trajectoryReads;
      return 0;
    };
    Reload();
  }

  Experiment& experiment() { return fixture.experiment; }
  const std::string& path() const { return fixture.path(); }
  void Sql(const std::string& sql) { ExecuteSql(fixture.path(), sql); }
  std::string Cell(const std::string& sql) { return QueryValue(fixture.path(), sql); }
  void Reload() { EXPECT_TRUE(experiment().LoadAll()); }

  // A report of protocol 1 (or protocolId) saved with the definition of config.
  Report AddReport(const std::string& name, const std::string& config, int protocolId = 1) {
    Report report;
    report.name = name;
    report.protocolId = protocolId;
    EXPECT_TRUE(ParseMeasureConfig(config, report.definition)) << config;
    EXPECT_TRUE(SaveReport(experiment(), report));
    return report;
  }

  struct Run {
    ReportRunStatus status = ReportRunStatus::kOk;
    std::vector<TestResult> results;
    ReportRunStats stats;
    int trajectoryReads = 0;

    std::vector<int> TestIds() const {
      std::vector<int> ids;
      for (const TestResult& r : results) ids.push_back(r.testId);
      return ids;
    }
  };

  Run RunReport(const Report& report, const ReportRunOptions& options = {}) {
    Run run;
    const int readsBefore = trajectoryReads;
    run.status = vx::RunReport(experiment(), report, options, run.results, &run.stats);
    run.trajectoryReads = trajectoryReads - readsBefore;
    return run;
  }

  // (IdTest, length of Data) of a report's cache rows, by test.
  std::vector<std::vector<std::string>> CacheRows(int reportId) {
    return QueryRows(fixture.path(), Format("select IdTest, length(Data) from ReportsData where "
                                            "IdReport=%d order by IdTest",
                                            reportId));
  }
  // The tests that have a cache row for the report.
  std::vector<int> CachedTests(int reportId) {
    std::vector<int> ids;
    for (const auto& row : CacheRows(reportId)) ids.push_back(std::stoi(row[0]));
    return ids;
  }

  void SaveBehaviorsOf(int testId, const RecordedBehaviors& recorded,
                       const std::vector<int>& reportIds) {
    EXPECT_TRUE(SaveBehaviors(experiment(), testId, WriteBehaviors(recorded), reportIds));
  }

  ExperimentFixture fixture;
  FrameTimes times;
  int trajectoryReads = 0;
};

}  // namespace vx::testing
