#include "measures/scoring_session.h"

#include <gtest/gtest.h>

namespace {

std::vector<vx::CBehavior> Behaviours() {
  return {{1, 7, "Grooming", 'g', 0, 0}, {2, 7, "Rearing", 'r', 1, 0}};
}

std::vector<std::pair<uint32_t, uint32_t>> Spans(const vx::RecordedBehaviors& recorded, uint32_t id) {
  std::vector<std::pair<uint32_t, uint32_t>> spans;
  for (const auto& list : recorded.lists) {
    if (list.behaviorId != id) continue;
    for (const auto& o : list.occurrences) spans.emplace_back(o.start, o.end);
  }
  return spans;
}

TEST(ScoringSession, StatesStartAndStopPointEventsLastAFrame) {
  vx::ScoringSession session(Behaviours(), 7, {}, 40);
  EXPECT_EQ(session.Press('g', 1000)->id, 1u);
  EXPECT_EQ(session.RunningStart(1), 1000);
  session.Press('r', 1500);
  session.Press('g', 3000);
  session.Press('g', 5000);  // runs to the end of the video
  EXPECT_EQ(session.Press('x', 6000), nullptr);
  EXPECT_EQ(session.Press('G', 6000), nullptr);  // keys are case-sensitive
  const vx::RecordedBehaviors result = session.Result(8000);
  EXPECT_EQ(result.protocolId, 7);
  EXPECT_EQ(Spans(result, 1), (std::vector<std::pair<uint32_t, uint32_t>>{{1000, 3000}, {5000, 8000}}));
  EXPECT_EQ(Spans(result, 2), (std::vector<std::pair<uint32_t, uint32_t>>{{1500, 1540}}));
}

TEST(ScoringSession, UndoAndCorrectionsKeepTimeOrder) {
  vx::RecordedBehaviors stored;
  stored.lists.push_back({7, 1, 0, {{100, 200}}});
  stored.lists.push_back({7, 99, 0, {{1, 2}}});  // a behaviour deleted since: dropped
  vx::ScoringSession session(Behaviours(), 7, stored, 40);
  EXPECT_FALSE(session.Modified());
  session.Press('g', 500);
  session.Press('g', 300);  // wound back before pressing again: still a valid occurrence
  EXPECT_EQ(Spans(session.Result(1000), 1), (std::vector<std::pair<uint32_t, uint32_t>>{{100, 200}, {300, 500}}));
  EXPECT_TRUE(session.SetOccurrence(1, 1, {50, 60}));
  EXPECT_FALSE(session.SetOccurrence(1, 0, {60, 50}));
  EXPECT_FALSE(session.RemoveOccurrence(1, 5));
  EXPECT_EQ(Spans(session.Result(1000), 1), (std::vector<std::pair<uint32_t, uint32_t>>{{50, 60}, {100, 200}}));
  EXPECT_TRUE(session.RemoveOccurrence(1, 0));
  ASSERT_TRUE(session.Undo());  // the removal
  ASSERT_TRUE(session.Undo());  // the correction
  ASSERT_TRUE(session.Undo());  // the second press: running again from 500
  EXPECT_EQ(session.RunningStart(1), 500);
  ASSERT_TRUE(session.Undo());
  EXPECT_FALSE(session.Undo());
  EXPECT_EQ(Spans(session.Result(1000), 1), (std::vector<std::pair<uint32_t, uint32_t>>{{100, 200}}));
  EXPECT_EQ(Spans(session.Result(1000), 99).size(), 0u);
}

}  // namespace
