#include "measures/behavior.h"

#include <gtest/gtest.h>

#include "trajectory/behavior_blob.h"
#include "support/data_table.h"
#include "support/measure_runner.h"
#include "support/zone_builder.h"

namespace vx {
namespace {

TEST(BehaviorText, RoundTripsAndSkipsInvalidEntries) {
  const BehaviorSet set = ParseBehaviors("1|7|9|1;Grooming;71;0;0|bad|2;Rearing;82;1;5|3;Odd;0;2;0|"
                                         "4;Short;1|5;Key;300;0;0|6;Neg;1;0;-1",
                                         12);
  EXPECT_EQ(set.nextId, 7u);
  ASSERT_EQ(set.behaviors.size(), 2u);
  EXPECT_EQ(set.behaviors[0].name, "Grooming");
  EXPECT_EQ(set.behaviors[0].key, 71);
  EXPECT_EQ(set.behaviors[0].protocolId, 12u);
  EXPECT_EQ(set.behaviors[1].id, 2u);
  EXPECT_EQ(set.behaviors[1].kind, 1u);
  EXPECT_EQ(set.behaviors[1].value, 5u);
  EXPECT_EQ(FormatBehaviors(set), "1|7|2|1;Grooming;71;0;0|2;Rearing;82;1;5");
  const BehaviorSet back = ParseBehaviors(FormatBehaviors(set), 12);
  EXPECT_EQ(back.behaviors, set.behaviors);
  EXPECT_TRUE(ParseBehaviors("", 1).behaviors.empty());
  EXPECT_EQ(ParseBehaviors("", 1).nextId, 1u);
}

RecordedBehaviors Recorded(int protocolId) {
  RecordedBehaviors r;
  r.protocolId = protocolId;
  r.lists.push_back({protocolId, 1, 0, {{1000, 3000}, {5000, 5500}, {9000, 12000}}});
  r.lists.push_back({protocolId, 2, 0, {{0, 100}}});
  r.lists.push_back({protocolId, 9, 0, {{0, 100}}});  // a behaviour deleted since
  return r;
}

TEST(RecordedBehaviorsReading, RejectsOtherProtocolsAndSkipsUnknownBehaviours) {
  const std::vector<CBehavior> defined = ParseBehaviors("1|3|2|1;A;65;0;0|2;B;66;0;0", 4).behaviors;
  const std::vector<uint8_t> blob = WriteBehaviors(Recorded(4));
  RecordedBehaviors read;
  ASSERT_TRUE(ReadRecordedBehaviors(blob, 4, defined, read));
  ASSERT_EQ(read.lists.size(), 2u);
  EXPECT_EQ(read.lists[1].behaviorId, 2u);
  EXPECT_FALSE(ReadRecordedBehaviors(blob, 5, defined, read));
  EXPECT_TRUE(read.lists.empty());
  const std::vector<uint8_t> cut(blob.begin(), blob.end() - 1);
  EXPECT_FALSE(ReadRecordedBehaviors(cut, 4, defined, read));
}

// Occurrences of behaviour 1 at [1, 3], [5, 5.5] and [9, 12] s; periods [0, 4), [4, 10),
// [10, 20) and an empty one.
class BehaviorMeasures : public ::testing::Test {
 protected:
  BehaviorMeasures() {
    behaviors = ParseBehaviors("1|3|2|1;Groom;65;0;0|2;Rear;66;0;0", 4).behaviors;
    recorded = Recorded(4);
    periods = {{"a", 0, 4000, 4000}, {"b", 4000, 10000, 6000}, {"c", 10000, 20000, 2000},
               {"empty", 5000, 5000, 0}};
  }
  MeasureTable Compute(int measure, int valueKind = 0, const std::string& selection = ",1,") {
    MeasureDefinition d;
    d.measure = measure;
    d.valueKind = valueKind;
    d.zoneSelection = selection;
    MeasureTable table;
    ComputeBehaviorMeasure(d, behaviors, recorded, periods, table);
    return table;
  }
  std::vector<CBehavior> behaviors;
  RecordedBehaviors recorded;
  std::vector<ReportPeriod> periods;
};

TEST_F(BehaviorMeasures, EachMeasureOverClippedOccurrences) {
  const auto rows = testing::ReadDataTable("behavior_measures.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    const MeasureTable table = Compute(std::stoi(row[0]));
    ASSERT_EQ(table.CellCount(), 1u);
    EXPECT_EQ(table.cells[0], "Groom");
    for (size_t p = 0; p < 4; ++p) {
      EXPECT_DOUBLE_EQ(table.At(p, 0), std::stod(row[p + 1])) << row[5] << " " << p;
    }
  }
}

TEST_F(BehaviorMeasures, PercentOfThePeriod) {
  const MeasureTable table = Compute(23, 1);
  EXPECT_DOUBLE_EQ(table.At(0, 0), 50);
  EXPECT_DOUBLE_EQ(table.At(1, 0), 25);
  EXPECT_DOUBLE_EQ(table.At(2, 0), 100);  // 2 s in the 2 s analysed of that period
  EXPECT_DOUBLE_EQ(table.At(3, 0), 0);
}

TEST_F(BehaviorMeasures, TheWholeAnalysisEndsAtTheLastAnalysedTime) {
  periods = {{"Total", 0, kOpenPeriodEnd, 2000}};  // the last point at 2 s
  EXPECT_DOUBLE_EQ(Compute(23, 1).At(0, 0), 50);   // [1, 2] of [1, 3]; later ones not analysed
  EXPECT_DOUBLE_EQ(Compute(25).At(0, 0), 1);
}

TEST_F(BehaviorMeasures, SelectionAndNeverSeenBehaviours) {
  const MeasureTable all = Compute(25, 0, "");
  EXPECT_EQ(all.cells, (std::vector<std::string>{"Groom", "Rear"}));
  EXPECT_EQ(all.At(0, 1), 1);
  EXPECT_EQ(all.At(1, 1), 0);
  EXPECT_EQ(Compute(24, 0, ",2,").At(1, 0), -1);
  EXPECT_EQ(Compute(25, 0, ",7,").CellCount(), 0u);
}

TEST(BehaviorEngine, TestsWithoutTrajectoryUseTheVideoDuration) {
  Trajectory t;  // acquired, not analysed
  t.durationMs = 20000;
  t.behaviors = Recorded(4);
  const std::vector<CBehavior> behaviors =
      ParseBehaviors("1|3|2|1;Groom;65;0;0|2;Rear;66;0;0", 4).behaviors;
  ZoneSet zones;
  MeasureDefinition d = testing::Slices(23, 10);
  d.periodMode = 4;
  d.zoneSelection = ",1,";
  testing::MeasureRun run;
  run.input.trajectory = &t;
  run.input.zones = &zones;
  run.input.behaviors = &behaviors;
  ASSERT_EQ(ComputeMeasure(d, run.input, run.table), 2);
  EXPECT_DOUBLE_EQ(run.table.At(0, 0), 3.5);
  EXPECT_DOUBLE_EQ(run.table.At(1, 0), 2);
  run.input.behaviors = nullptr;
  EXPECT_EQ(ComputeMeasure(d, run.input, run.table), 0);
}

}  // namespace
}  // namespace vx
