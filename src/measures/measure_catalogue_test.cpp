// The measure catalogue: the program's own labels, the older number of time in zone, and which
// measures the report settings offer.
#include "measures/measure_catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vx {
namespace {

TEST(MeasureCatalogue, EveryMeasureHasOneEntry) {
  std::set<std::string> labels;
  for (int m = 0; m <= 28; ++m) {
    EXPECT_EQ(MeasureInfoOf(m).measure, m);
    if (m != 2) labels.insert(MeasureLabel(m));
  }
  EXPECT_EQ(labels.size(), 28u);  // every label but 2's is its own
  EXPECT_EQ(MeasureInfoOf(-1).measure, 12);
  EXPECT_EQ(MeasureInfoOf(29).measure, 12);
}

TEST(MeasureCatalogue, HeadMeasuresNeedHeadsOrTheirOwnReport) {
  for (int m = 0; m <= 28; ++m) {
    const bool head = m == 18 || m == 19 || m == 28;
    EXPECT_EQ(MeasureOffered(m, false, 12), m != 2 && !head) << m;
    EXPECT_EQ(MeasureOffered(m, true, 12), m != 2) << m;
    EXPECT_EQ(MeasureOffered(m, false, m), m != 2) << m;
  }
  EXPECT_FALSE(MeasureOffered(-1, true, -1));
  EXPECT_FALSE(MeasureOffered(29, true, 29));
}

}  // namespace
}  // namespace vx
