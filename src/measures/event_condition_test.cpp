#include "measures/event_condition.h"

#include <gtest/gtest.h>

#include "support/data_table.h"
#include "support/trajectory_builder.h"
#include "support/zone_builder.h"

namespace vx {
namespace {

using testing::PointAt;

CMyEvent Condition(int type, int amount = 0, int unit = 2, int count = 1, int zoneId = -1) {
  CMyEvent e;
  e.type = type;
  e.amount = amount;
  e.unit = unit;
  e.count = count;
  e.zoneId = zoneId;
  return e;
}

tMyPoint At(int x, int y = 50) { return PointAt(0, 0, x, y); }

// The first time (ms, from 0 by step) at which the condition fires over the positions, or -1.
int64_t FiresAt(CMyEvent& e, const std::vector<int>& xs, int step, const EventContext& context = {}) {
  for (size_t k = 0; k < xs.size(); ++k) {
    if (e.Evaluate(At(xs[k]), static_cast<int64_t>(k) * step, context)) return static_cast<int64_t>(k) * step;
  }
  return -1;
}

TEST(EventText, RoundTripsEveryField) {
  CMyEvent e = Condition(kEventLeftZone, 7, 1, 3, 12);
  e.eventId = 4;
  e.armedBy = 2;
  e.noCountAtStartLeave = true;
  EXPECT_EQ(e.Encode(), "2;4;8;12;7;1;3;2;0;1;");
  CMyEvent back;
  ASSERT_TRUE(back.Decode(e.Encode()));
  EXPECT_EQ(back.Encode(), e.Encode());
  EXPECT_EQ(e.Encode('|'), "2|4|8|12|7|1|3|2|0|1|");
}

TEST(EventText, OlderAndDamagedTextsKeepDefaultsForWhatIsMissing) {
  CMyEvent e;
  ASSERT_TRUE(e.Decode("0|1|1|-1|0|1|0|-1|0|", '|'));  // the default program's event
  EXPECT_EQ(e.eventId, 1);
  EXPECT_EQ(e.type, kEventImmediately);
  EXPECT_EQ(e.unit, 1);
  EXPECT_EQ(e.count, 0);
  EXPECT_EQ(e.armedBy, -1);
  EXPECT_FALSE(e.noCountAtStartLeave);
  ASSERT_TRUE(e.Decode("2;5;x;9;9;"));
  EXPECT_EQ(e.eventId, 5);
  EXPECT_EQ(e.type, kEventNever);
  EXPECT_EQ(e.zoneId, -1);
  EXPECT_FALSE(e.Decode(""));
  EXPECT_FALSE(e.Decode("garbage"));
  EXPECT_EQ(e.Encode(), CMyEvent().Encode());
}

TEST(EventText, Descriptions) {
  const auto rows = testing::ReadDataTable("event_descriptions.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    const CMyEvent e = Condition(std::stoi(row[0]), std::stoi(row[1]), std::stoi(row[2]), std::stoi(row[3]));
    EXPECT_EQ(e.Describe(row[4]), row[5]);
  }
  EXPECT_STREQ(EventTypeLabel(9), "");
}

TEST(EventTime, NeverImmediatelyAndAfterADuration) {
  CMyEvent never = Condition(kEventNever);
  never.Reset(nullptr);
  EXPECT_EQ(FiresAt(never, std::vector<int>(50, 10), 1000), -1);
  CMyEvent now = Condition(kEventImmediately);
  now.Reset(nullptr);
  EXPECT_EQ(FiresAt(now, {10, 10, 10}, 500), 0);
  EXPECT_EQ(now.armed, kEventFired);
  EXPECT_FALSE(now.Evaluate(At(10), 600, {}));  // fires once until the next reset
  now.Reset(nullptr);
  EXPECT_TRUE(now.Evaluate(At(10), 700, {}));

  CMyEvent after = Condition(kEventAfterDuration, 5);
  after.Reset(nullptr);
  EXPECT_EQ(FiresAt(after, std::vector<int>(20, 10), 400), 5200);
  after.Rearm(1000);
  EXPECT_FALSE(after.Evaluate(At(10), 5999, {}));
  EXPECT_TRUE(after.Evaluate(At(10), 6000, {}));
  EXPECT_EQ(after.firedTime, 6000);
  // Times are compared as unsigned 32-bit differences: a time before the reference wraps.
  after.Rearm(5000);
  EXPECT_TRUE(after.Evaluate(At(10), 1000, {}));
}

TEST(EventActivity, InactiveForRestartsOnAnyMoveWithoutThreshold) {
  CMyEvent still = Condition(kEventInactiveFor, 10);
  still.Reset(nullptr);
  // One pixel of movement at t = 5 s restarts the count: nothing within 14 s, then 15 s.
  std::vector<int> xs(15, 101);
  for (int k = 0; k < 5; ++k) xs[static_cast<size_t>(k)] = 100;
  EXPECT_EQ(FiresAt(still, xs, 1000), -1);
  xs.push_back(101);
  still.Reset(nullptr);
  EXPECT_EQ(FiresAt(still, xs, 1000), 15000);
}

TEST(EventActivity, TheStillTestUsesTheDisplacementThreshold) {
  EventContext pixels{.displacementThreshold = 3, .displacementUnit = kThresholdPixels};
  EventContext mm{.displacementThreshold = 3, .displacementUnit = kThresholdMm, .scale = 0.5};
  EventContext cm{.displacementThreshold = 1, .displacementUnit = kThresholdCm, .scale = 0.5};
  struct Case {
    const EventContext* context;
    int jitter;
    bool still;
  } cases[] = {{&pixels, 2, true}, {&pixels, 3, false}, {&mm, 5, true},
               {&mm, 6, false},    {&cm, 19, true},     {&cm, 20, false}};
  for (const Case& c : cases) {
    CMyEvent e = Condition(kEventInactiveFor, 2);
    e.Reset(nullptr);
    EXPECT_FALSE(e.Evaluate(At(100), 0, *c.context));
    EXPECT_FALSE(e.Evaluate(At(100 + c.jitter), 1000, *c.context));
    EXPECT_EQ(e.Evaluate(At(100 + c.jitter), 2000, *c.context), c.still) << c.jitter;
  }
}

TEST(EventActivity, ActiveForToleratesPausesShorterThanTheDelay) {
  EventContext context{.inactivityDelayMs = 3000};
  // Moving every second, with a 2-second pause at 20 s: fires at 60 s.
  std::vector<int> xs;
  for (int k = 0; k <= 70; ++k) xs.push_back(k >= 20 && k <= 22 ? 20 : k);
  CMyEvent active = Condition(kEventActiveFor, 60);
  active.Reset(nullptr);
  EXPECT_EQ(FiresAt(active, xs, 1000, context), 60000);
  // A 5-second pause restarts the activity: 60 s after its end (t = 25 s) and one more move.
  xs.clear();
  for (int k = 0; k <= 100; ++k) xs.push_back(k >= 20 && k <= 25 ? 20 : k);
  active.Reset(nullptr);
  EXPECT_EQ(FiresAt(active, xs, 1000, context), 85000);
}

TEST(EventActivity, PointsWithoutAnimalAreIgnored) {
  CMyEvent still = Condition(kEventInactiveFor, 1);
  still.Reset(nullptr);
  tMyPoint none;
  EXPECT_FALSE(still.Evaluate(none, 0, {}));
  EXPECT_FALSE(still.Evaluate(none, 5000, {}));
  EXPECT_FALSE(still.Evaluate(At(10), 6000, {}));  // the reference is taken here
  EXPECT_TRUE(still.Evaluate(At(10), 7000, {}));
}

class ZoneEvents : public ::testing::Test {
 protected:
  ZoneEvents() : zones(testing::ArenaSet(1000, 100, {0, 0, 999, 99})) {
    zoneId = testing::AddZone(zones, "A", {100, 0, 199, 99})->id;
  }
  CMyEvent Make(int type, int amount, int count, bool noCountAtStart = false) {
    CMyEvent e = Condition(type, amount, 2, count, zoneId);
    e.noCountAtStartEnter = e.noCountAtStartLeave = noCountAtStart;
    e.Reset(&zones);
    return e;
  }
  ZoneSet zones;
  int zoneId = 0;
};

TEST_F(ZoneEvents, InTheZoneForADuration) {
  CMyEvent e = Make(kEventInZoneFor, 2, 1);
  // Enters at 1 s, leaves at 2 s, enters again at 3 s: fires 2 s later.
  EXPECT_EQ(FiresAt(e, {50, 150, 50, 150, 150, 150, 150}, 1000), 5000);
}

TEST_F(ZoneEvents, EnteredOnceWithTheAnimalInsideAtTheStart) {
  CMyEvent counted = Make(kEventEnteredZone, 0, 1);
  EXPECT_EQ(FiresAt(counted, {150, 150, 50, 150}, 1000), 0);
  CMyEvent notCounted = Make(kEventEnteredZone, 0, 1, true);
  EXPECT_EQ(FiresAt(notCounted, {150, 150, 50, 150}, 1000), 3000);
  CMyEvent twice = Make(kEventEnteredZone, 0, 2);
  EXPECT_EQ(FiresAt(twice, {50, 150, 50, 50, 150}, 1000), 4000);
}

TEST_F(ZoneEvents, OutOfTheZoneForADuration) {
  CMyEvent fromStart = Make(kEventOutOfZoneFor, 3, 1);
  EXPECT_EQ(FiresAt(fromStart, {50, 50, 50, 50, 50}, 1000), 3000);  // from Reset's time 0
  CMyEvent afterLeaving = Make(kEventOutOfZoneFor, 3, 1);
  EXPECT_EQ(FiresAt(afterLeaving, {150, 150, 50, 50, 50, 50, 50}, 1000), 5000);
}

TEST_F(ZoneEvents, LeftTheZoneNTimes) {
  CMyEvent counted = Make(kEventLeftZone, 0, 1);
  EXPECT_EQ(FiresAt(counted, {50, 150}, 1000), 0);  // outside at the first evaluation
  CMyEvent notCounted = Make(kEventLeftZone, 0, 1, true);
  EXPECT_EQ(FiresAt(notCounted, {50, 150, 150, 50}, 1000), 3000);
  CMyEvent twice = Make(kEventLeftZone, 0, 2, true);
  EXPECT_EQ(FiresAt(twice, {150, 50, 150, 50}, 1000), 3000);
}

TEST_F(ZoneEvents, AMissingZoneNeverFires) {
  CMyEvent e = Condition(kEventEnteredZone, 0, 2, 0, 999);
  e.Reset(&zones);
  EXPECT_EQ(e.zone, nullptr);
  EXPECT_EQ(FiresAt(e, {150, 150}, 1000), -1);
  CMyEvent noSet = Condition(kEventEnteredZone, 0, 2, 0, zoneId);
  noSet.Reset(nullptr);
  EXPECT_EQ(FiresAt(noSet, {150}, 1000), -1);
}

TEST(EventDuration, UnitsAndUnknownUnits) {
  EXPECT_EQ(Condition(2, 2, 0).DurationSeconds(), 7200);
  EXPECT_EQ(Condition(2, 2, 1).DurationSeconds(), 120);
  EXPECT_EQ(Condition(2, 2, 2).DurationSeconds(), 2);
  EXPECT_EQ(Condition(2, 2, 7).DurationSeconds(), 0);
}

}  // namespace
}  // namespace vx
