// Operations that change what a report result is computed from, beyond a single record's own
// save (whose rows the stores' tests follow), delete the cache rows concerned, and the next run
// recomputes exactly those tests. The rows are inspected with plain SQL; recomputations are
// counted by the run.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <set>

#include "measures/movement_summary.h"
#include "reports/report_runner.h"
#include "trajectory/smoothing_settings.h"
#include "db/protocol_store.h"
#include "db/result_store.h"
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

CProtocol ProtocolRecord(ReportFile& file) { return *file.experiment().FindProtocol(1); }

const Operation kOperations[] = {
    {"report saved",
     [](ReportFile& f, Report& report, const Report&) {
       report.definition.valueKind = 1;
       EXPECT_TRUE(SaveReport(f.experiment(), report));
     },
     {3, 4, 5}, {}},
    {"protocol zones saved",
     [](ReportFile& f, Report&, const Report&) {
       CProtocol p = ProtocolRecord(f);
       p.zones[1].points = "200;0;999;99";
       EXPECT_TRUE(SaveProtocol(f.experiment(), p, true));
     },
     {3, 4, 5}, {3, 4, 5}},
    {"frame times of the video changed",
     [](ReportFile& f, Report&, const Report&) {
       CVideoFile v = f.experiment().videos.at(2);
       std::vector<uint32_t> slower;
       for (uint32_t k = 0; k < 10; ++k) slower.push_back(200 * k);
       v.listePoints = WriteFrameTimes(FrameTimes::FromList(slower));
       EXPECT_TRUE(SaveVideo(f.experiment(), v));
     },
     {3, 4, 5}, {3, 4, 5}},
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

}  // namespace
}  // namespace vx
