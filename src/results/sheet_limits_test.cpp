#include "results/sheet_limits.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

// Behaviour names become sheet names; a name the formats refuse would lose the whole export.
TEST(SheetName, EveryNameBecomesOneBothFormatsAccept) {
  Workbook book;
  book.AddSheet("Grooming");
  struct Case {
    const char* wanted;
    const char* expected;
  };
  const Case cases[] = {
      {"Rearing [wall]: a/b?", "Rearing _wall__ a_b_"},
      {"grooming", "grooming (2)"},
      {"'quoted'", "quoted"},
      {"", "Sheet"},
      // 31 characters, each of two bytes, cut on a character boundary.
      {"ééééééééééééééééééééééééééééééééééé", "ééééééééééééééééééééééééééééééé"},
  };
  for (const Case& c : cases) EXPECT_EQ(UniqueSheetName(c.wanted, book), c.expected) << c.wanted;
}

}  // namespace
}  // namespace vx
