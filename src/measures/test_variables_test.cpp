// The variable catalogue: numbering, filled title patterns and scopes.
#include "measures/test_variables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vx {
namespace {

TEST(TestVariables, EveryNumberHasItsOwnEntry) {
  std::set<std::string> descriptions;
  for (int n = 0; n < kTestVariableCount; ++n) {
    const TestVariable& v = TestVariableInfo(n);
    EXPECT_EQ(v.number, n);
    EXPECT_FALSE(std::string(v.description).empty()) << n;
    descriptions.insert(v.description);
  }
  EXPECT_EQ(descriptions.size(), static_cast<size_t>(kTestVariableCount));
  EXPECT_EQ(TestVariableInfo(-1).number, 0);
  EXPECT_EQ(TestVariableInfo(39).number, 0);
}

// Titles (patterns filled with the millimetre units) and descriptions as the string table holds
// them, typed from the catalogue; 35 to 37 are this program's own additions.
struct Expected {
  int number;
  const char* title;
  const char* description;
};
const Expected kCatalogue[] = {
    {0, "Test", "Title of the test"},
    {1, "Id", "Unique identifier of the test"},
    {2, "Acquisition date", "Acquisition date of the test"},
    {3, "Status", "Status of the test"},
    {4, "Animal", "Name of the animal"},
    {5, "Protocol", "Protocol of the test"},
    {6, "Duration", "Duration of the period of analyse"},
    {7, "Total dist.", "Total distance traveled during the period of analysis"},
    {8, "Average speed", "Average speed during the period of analysis"},
    {9, "Max speed", "Maximum speed during the period of analyse"},
    {10, "Max acceleration ( mm/s\xC2\xB2 )", "Maximum acceleration during the period of analysis"},
    {11, "Max speed raw", "Maximum speed calculated on raw data"},
    {12, "Frame", "Frame number"},
    {13, "Time", "Frame time"},
    {14, "X", "X coordinate in pixels, from top, left corner of the image"},
    {15, "Y", "Y coordinate in pixels, from top, left corner of the image"},
    {16, "Pos. X [raw]", "Horizontal position, calculated on raw data"},
    {17, "Pos. Y [raw]", "Vertical position, calculated on raw data"},
    {18, "Distance [raw]", "Distance from previous frame, calculated on raw data"},
    {19, "Speed [raw]", "Instantaneous speed, calculated on raw data"},
    {20, "Total dist. [raw]", "Total distance from the start of the analyse, calculated on raw data"},
    {21, "Pos. X", "Horizontal position"},
    {22, "Pos. Y", "Vertical position"},
    {23, "Distance", "Distance from previous frame"},
    {24, "Speed", "Instantaneous speed"},
    {25, "Total dist.", "Total distance from the start of the analyse"},
    {26, "Analysis date", "Analysis date of the test."},
    {27, "Scheduled date", "Scheduled acquisition date of the test."},
    {28, "Notes", "The first 256 characters of the Notes field. "},
    {29, "Activity", "Period of activity"},
    {30, "Activity ( % )", "Percentage of time the animal is active"},
    {31, "Inactivity", "Period of inactivity"},
    {32, "Inactivity ( % )", "Percentage of time the animal is inactive"},
    {33, "Arena", "L'ar\xC3\xA8ne choisie pour le test"},
    {34, "Fichier vid\xC3\xA9o", "Emplacement du fichier vid\xC3\xA9o"},
    {38, "User field", "User field"},
};

TEST(TestVariables, TitlesAndDescriptionsAreTheStringTables) {
  for (const Expected& e : kCatalogue) {
    EXPECT_EQ(TestVariableTitle(e.number), e.title) << e.number;
    EXPECT_EQ(std::string(TestVariableInfo(e.number).description), e.description) << e.number;
  }
}

TEST(TestVariables, TitlesWithPatternsAreFilled) {
  EXPECT_EQ(TestVariableTitle(10, 0), "Max acceleration ( mm/s\xC2\xB2 )");
  EXPECT_EQ(TestVariableTitle(10, 2), "Max acceleration ( m/s\xC2\xB2 )");
  EXPECT_EQ(TestVariableTitle(11), "Max speed raw");
  EXPECT_EQ(TestVariableTitle(18), "Distance [raw]");
  EXPECT_EQ(TestVariableTitle(19), "Speed [raw]");
  EXPECT_EQ(TestVariableTitle(20), "Total dist. [raw]");
  EXPECT_EQ(TestVariableTitle(25), "Total dist.");
  EXPECT_EQ(TestVariableTitle(30), "Activity ( % )");
  EXPECT_EQ(std::string(TestVariableInfo(28).description),
            "The first 256 characters of the Notes field. ");
}

TEST(TestVariables, FrameVariablesAreTwelveToTwentyFive) {
  for (int n = 0; n < kTestVariableCount; ++n) {
    const bool frame = n >= 12 && n <= 25;
    EXPECT_EQ(TestVariableInfo(n).scope == VariableScope::Frame, frame) << n;
  }
}

}  // namespace
}  // namespace vx
