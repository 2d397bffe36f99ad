#include "measures/behavior_editing.h"

#include <gtest/gtest.h>

namespace {

TEST(AddBehavior, RefusesWhatTheStoredTextOrTheKeysCannotTell) {
  vx::BehaviorSet set;
  ASSERT_EQ(vx::AddBehavior(set, 3, "  Grooming ", 'g', 0), "");
  EXPECT_EQ(set.behaviors.back().name, "Grooming");
  EXPECT_EQ(set.behaviors.back().id, 1u);
  EXPECT_EQ(set.nextId, 2u);
  struct Case {
    const char* name;
    char key;
    int kind;
  } refused[] = {{"", 'x', 0},        {"A|B", 'x', 0}, {"A;B", 'x', 0}, {"grooming", 'x', 0},
                 {"Rearing", 'g', 0}, {"Rearing", ' ', 0}, {"Rearing", '|', 0}, {"Rearing", 'r', 2}};
  for (const Case& c : refused) EXPECT_NE(vx::AddBehavior(set, 3, c.name, c.key, c.kind), "") << c.name << c.key;
  EXPECT_EQ(set.behaviors.size(), 1u);
}

}  // namespace
