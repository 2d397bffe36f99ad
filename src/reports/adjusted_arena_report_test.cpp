// A test whose arena was adjusted is measured where its arena lies in its video, and the
// adjustment drops exactly that test's cached results.
#include <gtest/gtest.h>

#include "support/report_file.h"
#include "zones/arena_change.h"
#include "zones/zone_rows.h"

namespace vx {
namespace {

using testing::ReportFile;

constexpr const char* kTimeInZone = "5|12|0||0|-1|0|0|1|-2|0|0|";

// Test 3 walks x = 0, 20, ..., 180 along y = 20, one point every 100 ms; zone A starts at
// x = 100 of the protocol's 1000-pixel arena.
void AdjustTest3(ReportFile& file, const ArenaChange& change) {
  const CInfosTest test = *file.experiment().FindTest(3);
  ZoneSet zones;
  LoadZoneSet(*file.experiment().FindProtocol(1), zones);
  TestAdjustment adjustment;
  ASSERT_EQ(ApplyArenaChange(change, zones, test.idArena, adjustment), "");
  ASSERT_TRUE(SaveTestAdjustment(file.experiment(), test, adjustment, zones));
}

TEST(AdjustedArena, TimeInZoneFollowsTheArenaAndOnlyThatTestIsRecomputed) {
  ReportFile file;
  const Report report = file.AddReport("time", kTimeInZone);
  ASSERT_EQ(file.RunReport(report).results[0].values, (std::vector<double>{0.9f, 0.4f, 0.5f}));

  // The camera moved: the arena is 60 pixels further right in test 3's video, so A starts at
  // x = 160 and the arena at x = 60. Arena: points 3 to 8 lead a step (0.6 s); A: point 8
  // (0.1 s); outside A: points 0 to 7 (0.8 s).
  AdjustTest3(file, {.move = cv::Point(60, 0)});
  EXPECT_EQ(file.CachedTests(report.id), (std::vector<int>{4, 5}));
  const ReportFile::Run moved = file.RunReport(report);
  EXPECT_EQ(moved.stats.computed, 1);
  EXPECT_EQ(moved.results[0].values, (std::vector<double>{0.6f, 0.1f, 0.8f}));

  // Doubled from the arena's corner: A starts at x = 200, beyond the walk.
  AdjustTest3(file, {.move = cv::Point(0, 0), .scale = cv::Point2d(2, 2)});
  EXPECT_EQ(file.RunReport(report).results[0].values, (std::vector<double>{0.9f, 0.0f, 0.9f}));
}

TEST(AdjustedArena, AStoredTextThatDoesNotParseMeasuresTheProtocolsArena) {
  ReportFile file;
  const Report report = file.AddReport("time", kTimeInZone);
  file.Sql("update Tests set AdjustArena='2|0|0|999|99|60|0|x|99|0|' where Id=3");
  file.Reload();
  const ReportFile::Run run = file.RunReport(report);
  ASSERT_EQ(run.status, ReportRunStatus::kOk);
  EXPECT_EQ(run.results[0].values, (std::vector<double>{0.9f, 0.4f, 0.5f}));
  EXPECT_EQ(file.Cell("select AdjustArena from Tests where Id=3"), "2|0|0|999|99|60|0|x|99|0|");
}

}  // namespace
}  // namespace vx
