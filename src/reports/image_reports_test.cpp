#include <gtest/gtest.h>

#include "measures/image_measures.h"
#include "support/report_file.h"

namespace vx {
namespace {

class ImageReports : public ::testing::Test {
 protected:
  testing::ReportFile file;
};

TEST_F(ImageReports, HeatMapsAreCachedAndGroupsAverageTheirTests) {
  const Report heat = file.AddReport("heat", "5|26|0||0|20|0|0|0|0|-2|0|0|");
  const testing::ReportFile::Run first = file.RunReport(heat);
  ASSERT_EQ(first.TestIds(), (std::vector<int>{3, 4, 5}));
  ASSERT_TRUE(first.results[1].image);
  EXPECT_EQ(first.results[1].image->maximumMs, 900);  // test 4 sits still for 0.9 s
  EXPECT_EQ(file.CachedTests(heat.id), (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(file.Cell(Format("select hex(substr(Data, 1, 8)) from ReportsData where IdReport=%d and IdTest=4", heat.id)),
            "112700001A000000");
  const testing::ReportFile::Run again = file.RunReport(heat);
  EXPECT_EQ(again.trajectoryReads, 0);
  EXPECT_EQ(cv::countNonZero(again.results[1].image->pixels != first.results[1].image->pixels), 0);

  // Test 4 alone, and 4 with a test of the same stay elsewhere: the mean halves the time.
  GroupHeatMap one, two;
  ASSERT_TRUE(ComputeGroupHeatMap(file.experiment(), heat.definition, heat.protocolId, {4}, one));
  ASSERT_TRUE(ComputeGroupHeatMap(file.experiment(), heat.definition, heat.protocolId, {4, 3, 8, 99}, two));
  EXPECT_EQ(two.tests, (std::vector<int>{4, 3}));
  EXPECT_EQ(two.skipped, (std::vector<int>{8, 99}));
  EXPECT_EQ(one.image.maximumMs, 900);
  EXPECT_EQ(two.image.maximumMs, 450);
}

}  // namespace
}  // namespace vx
