// The variable catalogue: numbering and filled title patterns.
#include "measures/test_variables.h"

#include <gtest/gtest.h>

#include <string>

#include "support/data_table.h"

namespace vx {
namespace {

TEST(TestVariables, TitlesAndDescriptionsAreTheStringTables) {
  const auto rows = testing::ReadDataTable("test_variables.tsv");
  ASSERT_EQ(rows.size(), 36u);
  for (const auto& row : rows) {
    const int number = std::stoi(row[0]);
    EXPECT_EQ(TestVariableTitle(number), row[1]) << number;
    EXPECT_EQ(std::string(TestVariableInfo(number).description), row[2]) << number;
  }
  EXPECT_EQ(TestVariableTitle(10, 2), "Max acceleration ( m/s\xC2\xB2 )");  // the unit filled in
}

}  // namespace
}  // namespace vx
