// Every operation that changes what a report result is computed from deletes the cache rows
// concerned, and the next run recomputes exactly those tests. The rows are inspected with
// plain SQL; recomputations are counted by the run.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <set>

#include "measures/movement_summary.h"
#include "reports/report_runner.h"
#include "trajectory/smoothing_settings.h"
#include "trajectory/trajectory_blob.h"
#include "db/protocol_store.h"
#include "db/result_store.h"
#include "db/test_analysis_store.h"
#include "db/test_store.h"
#include "db/video_store.h"
#include "support/report_file.h"

namespace vx {
namespace {

using testing::ReportFile;

constexpr const char* kTimeInZone = "5|12|0||0|-1|0|0|1|-2|0|0|";
constexpr const char* kEntries = "5|4|0||0|-1|0|0|0|1|-2|0|0|";

struct Operation {
  const char* name;
  // Changes the file through the program's own stores; report is the report under watch,
  // other a second report of the same protocol.
  std::function<void(ReportFile&, Report& report, const Report& other)> run;
  std::set<int> dropped;       // tests whose rows of report are deleted
  std::set<int> otherDropped;  // and of other
};

CInfosTest TestRecord(ReportFile& file, int id) { return *file.experiment().FindTest(id); }
CProtocol ProtocolRecord(ReportFile& file) { return *file.experiment().FindProtocol(1); }

const Operation kOperations[] = {
    {"analysis stored",
     [](ReportFile& f, Report&, const Report&) {
       CInfosTest t = TestRecord(f, 3);
       EXPECT_TRUE(SaveAnalysis(f.experiment(), t,
                                WritePoints(testing::EvenPath({{0, 20}, {500, 20}}, 100), false),
                                false));
     },
     {3}, {3}},
    {"analysis reset",
     [](ReportFile& f, Report&, const Report&) { EXPECT_TRUE(ResetAnalysis(f.experiment(), 4)); },
     {4}, {4}},
    {"test edited",
     [](ReportFile& f, Report&, const Report&) {
       CInfosTest t = TestRecord(f, 5);
       t.title = "renamed";
       EXPECT_TRUE(SaveTest(f.experiment(), t, true));
     },
     {5}, {5}},
    {"test excluded",
     [](ReportFile& f, Report&, const Report&) { EXPECT_TRUE(ExcludeTests(f.experiment(), {3})); },
     {3}, {3}},
    {"tests deleted",
     [](ReportFile& f, Report&, const Report&) {
       EXPECT_TRUE(DeleteTests(f.experiment(), {3, 5}));
     },
     {3, 5}, {3, 5}},
    {"report saved",
     [](ReportFile& f, Report& report, const Report&) {
       report.definition.valueKind = 1;
       EXPECT_TRUE(SaveReport(f.experiment(), report));
     },
     {3, 4, 5}, {}},
    {"report deleted",
     [](ReportFile& f, Report& report, const Report&) {
       EXPECT_TRUE(DeleteResultDefinition(f.experiment(), report.id));
     },
     {3, 4, 5}, {}},
    {"protocol zones saved",
     [](ReportFile& f, Report&, const Report&) {
       CProtocol p = ProtocolRecord(f);
       p.zones[1].points = "200;0;999;99";
       EXPECT_TRUE(SaveProtocol(f.experiment(), p, true));
     },
     {3, 4, 5}, {3, 4, 5}},
    {"report changed by a protocol save",
     [](ReportFile& f, Report& report, const Report&) {
       CProtocol p = ProtocolRecord(f);
       for (ResultRow& row : p.results) {
         if (row.id == report.id) row.config = "5|12|1||0|-1|0|0|1|-2|0|0|";
       }
       EXPECT_TRUE(SaveProtocol(f.experiment(), p, false));
     },
     {3, 4, 5}, {}},
    {"protocol renamed, reports unchanged",
     [](ReportFile& f, Report& report, const Report&) {
       CProtocol p = ProtocolRecord(f);
       p.name = "renamed";
       for (ResultRow& row : p.results) {
         if (row.id == report.id) row.name = "renamed too";
       }
       EXPECT_TRUE(SaveProtocol(f.experiment(), p, false));
     },
     {}, {}},
    {"protocol deleted",
     [](ReportFile& f, Report&, const Report&) { EXPECT_TRUE(DeleteProtocol(f.experiment(), 1)); },
     {3, 4, 5}, {3, 4, 5}},
    {"behaviours recorded for the report",
     [](ReportFile& f, Report& report, const Report&) {
       f.SaveBehaviorsOf(4, RecordedBehaviors(), {report.id});
     },
     {4}, {}},
    {"behaviours recorded for another report",
     [](ReportFile& f, Report&, const Report& other) {
       f.SaveBehaviorsOf(4, RecordedBehaviors(), {other.id});
     },
     {}, {4}},
    {"test moved off its video",
     [](ReportFile& f, Report&, const Report&) {
       CVideoFile v = f.experiment().videos.at(2);
       std::erase(v.testIds, 5);
       EXPECT_TRUE(SaveVideo(f.experiment(), v));
     },
     {5}, {5}},
    {"frame times of the video changed",
     [](ReportFile& f, Report&, const Report&) {
       CVideoFile v = f.experiment().videos.at(2);
       std::vector<uint32_t> slower;
       for (uint32_t k = 0; k < 10; ++k) slower.push_back(200 * k);
       v.listePoints = WriteFrameTimes(FrameTimes::FromList(slower));
       EXPECT_TRUE(SaveVideo(f.experiment(), v));
     },
     {3, 4, 5}, {3, 4, 5}},
    {"video saved with the same frame times",
     [](ReportFile& f, Report&, const Report&) {
       CVideoFile v = f.experiment().videos.at(2);
       v.notes = "checked";
       EXPECT_TRUE(SaveVideo(f.experiment(), v));
     },
     {}, {}},
    {"arena adjusted",
     [](ReportFile& f, Report&, const Report&) {
       EXPECT_TRUE(SaveArenaAdjustment(f.experiment(), 4, "1|10|0|0|", -1));
     },
     {4}, {4}},
    {"smoothing changed",
     [](ReportFile& f, Report&, const Report&) {
       EXPECT_TRUE(SaveSmoothingSettings(f.experiment().file, {kLowessStrong, 0, kThresholdMm}));
       EXPECT_TRUE(RecomputeAll(f.experiment()));
     },
     {3, 4, 5}, {3, 4, 5}},
};

class ReportInvalidation : public ::testing::TestWithParam<Operation> {};

TEST_P(ReportInvalidation, DropsExactlyTheRowsItsChangeConcerns) {
  const Operation& op = GetParam();
  ReportFile file;
  Report report = file.AddReport("time", kTimeInZone);
  const Report other = file.AddReport("entries", kEntries);
  ASSERT_EQ(file.RunReport(report).stats.stored, 3);
  ASSERT_EQ(file.RunReport(other).stats.stored, 3);

  op.run(file, report, other);

  const auto keptOf = [](const std::set<int>& dropped) {
    std::set<int> kept;
    for (int id : {3, 4, 5}) {
      if (!dropped.contains(id)) kept.insert(id);
    }
    return kept;
  };
  const std::set<int> kept = keptOf(op.dropped);
  const std::vector<int> rows = file.CachedTests(report.id);
  EXPECT_EQ(std::set<int>(rows.begin(), rows.end()), kept) << op.name;
  const std::vector<int> otherRows = file.CachedTests(other.id);
  EXPECT_EQ(std::set<int>(otherRows.begin(), otherRows.end()), keptOf(op.otherDropped))
      << op.name;

  // The next run computes what was dropped and still belongs to the report, and reads the
  // rest from the cache.
  if (!FindReport(file.experiment(), report.id, report)) return;  // the report is gone
  const ReportFile::Run next = file.RunReport(report);
  ASSERT_EQ(next.status, ReportRunStatus::kOk) << op.name;
  EXPECT_EQ(next.stats.fromCache, static_cast<int>(kept.size())) << op.name;
  EXPECT_EQ(next.stats.computed, static_cast<int>(next.results.size() - kept.size())) << op.name;
  EXPECT_EQ(next.trajectoryReads, next.stats.computed) << op.name;
}

INSTANTIATE_TEST_SUITE_P(Operations, ReportInvalidation, ::testing::ValuesIn(kOperations),
                         [](const ::testing::TestParamInfo<Operation>& info) {
                           std::string name;
                           for (const char* c = info.param.name; *c; ++c) {
                             name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                           }
                           return name;
                         });

TEST(ReportInvalidationValues, ASmoothingChangeIsComputedNotServed) {
  ReportFile file;
  const Report distance = file.AddReport("distance", "5|3|0||0|-1|0|0|1|-2|0|0|");
  const ReportFile::Run before = file.RunReport(distance);
  EXPECT_EQ(before.results[0].values[0], 90.0f);  // 180 pixels at 0.5 mm
  // An 11 mm minimum displacement holds every other 20-pixel (10 mm) step: the analysis
  // positions go 0, 0, 40, 40, ... 160, 160, a path of 160 pixels.
  ASSERT_TRUE(SaveSmoothingSettings(file.experiment().file, {kNoSmoothing, 11, kThresholdMm}));
  ASSERT_TRUE(RecomputeAll(file.experiment()));
  const ReportFile::Run after = file.RunReport(distance);
  EXPECT_EQ(after.stats.computed, 3);
  EXPECT_EQ(after.results[0].values[0], 80.0f);
}

}  // namespace
}  // namespace vx
