// The result table's columns over tests whose results differ in shape.
#include "reports/report_table.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

std::vector<std::string> Labels(const ReportTable& table) {
  std::vector<std::string> labels;
  for (const ReportColumn& c : table.columns) labels.push_back(c.label);
  return labels;
}

TEST(ReportTable, LongerTestsAddTheirLaterSlices) {
  MeasureDefinition d;
  d.measure = kMeasureTimeInZone;
  d.periodMode = 0;
  d.sliceLength = 1;
  d.sliceUnit = 1;  // minutes
  const std::string first = "00:00:00 - 00:01:00", second = "00:01:00 - 00:02:00";
  const std::vector<TestResult> results = {
      {.testId = 3, .periods = {first}, .cells = {"A ( in )", "A ( out )"}, .values = {10, 50}},
      {.testId = 4,
       .periods = {first, second},
       .cells = {"A ( in )", "A ( out )"},
       .values = {1, 2, 3, 4}},
      {.testId = 5},  // nothing could be computed
  };
  const ReportTable table = BuildReportTable(d, results);
  EXPECT_EQ(Labels(table),
            (std::vector<std::string>{first + " / A ( in )", first + " / A ( out )",
                                      second + " / A ( in )", second + " / A ( out )"}));
  ASSERT_EQ(table.rows.size(), 3u);
  EXPECT_EQ(table.rows[0], (std::vector<std::optional<double>>{10, 50, std::nullopt, std::nullopt}));
  EXPECT_EQ(table.rows[1], (std::vector<std::optional<double>>{1, 2, 3, 4}));
  EXPECT_EQ(table.rows[2], (std::vector<std::optional<double>>(4)));
}

TEST(ReportTable, SinglePeriodsGoUnnamed) {
  MeasureDefinition whole;
  whole.measure = kMeasureTimeInZone;
  EXPECT_FALSE(ColumnsNamePeriods(whole));  // no slice length: the whole analysis
  MeasureDefinition events = whole;
  events.periodMode = 1;
  EXPECT_FALSE(ColumnsNamePeriods(events));
  MeasureDefinition list = whole;
  list.periodMode = 3;
  EXPECT_TRUE(ColumnsNamePeriods(list));
  MeasureDefinition ranges = list;
  ranges.measure = kMeasureSpeedByRange;
  EXPECT_FALSE(ColumnsNamePeriods(ranges));

  const ReportTable table =
      BuildReportTable(whole, {{.periods = {"Total"}, .cells = {"Arena ( in )"}, .values = {0.5}}});
  EXPECT_EQ(Labels(table), std::vector<std::string>{"Arena ( in )"});
}

}  // namespace
}  // namespace vx
