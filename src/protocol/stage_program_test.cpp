#include "protocol/stage_program.h"

#include <gtest/gtest.h>

#include <tuple>

#include "protocol/stage_frame_program.h"
#include "support/trajectory_builder.h"
#include "support/zone_builder.h"

namespace vx {
namespace {

using testing::PointAt;

std::string EventBox(const std::string& definition) { return "uml_event,1,2,3,4," + definition; }
std::string ActionBox(const std::string& definition) {
  return "uml_action,5,6,7,8," + definition;
}

std::vector<int> Ids(const std::vector<CAction>& actions) {
  std::vector<int> ids;
  for (const CAction& a : actions) ids.push_back(a.id);
  return ids;
}

// Runs frames every stepMs from 0 to lastMs; the frames (times) at which actions were emitted
// with their ids.
using Emitted = std::vector<std::pair<int64_t, std::vector<int>>>;

Emitted RunFrames(StageProgram& program, int64_t lastMs,
                                                      int64_t stepMs, const ZoneSet* zones = nullptr) {
  StartProgram(program, zones);
  Emitted emitted;
  std::vector<CAction> actions;
  for (int64_t t = 0; t <= lastMs; t += stepMs) {
    if (EvaluateProgram(program, PointAt(0, 0, 10, 10), t, actions, {})) {
      emitted.emplace_back(t, Ids(actions));
    }
  }
  return emitted;
}

TEST(ProgramText, ReadsEventAndActionBoxesAndIgnoresLayout) {
  StageProgram program;
  LoadProgram(program, "uml_startstop,1,2,Start;" + EventBox("2|5|2|-1|30|2|1|-1|0|0|") +
                           ";uml_line,1,2;nocomma_uml_event;uml_event;" +
                           ActionBox("0|7|3|1|1234|5|9|8|") + ";other,1,2|3|;" +
                           ActionBox("0|8|2|"));
  ASSERT_EQ(program.events.size(), 1u);
  const CMyEvent& e = program.events[0];
  EXPECT_EQ(std::tuple(e.eventId, e.type, e.amount), std::tuple(5, kEventAfterDuration, 30));
  ASSERT_EQ(program.actions.size(), 2u);
  // A stored 3 reads as a stop, a stored 2 as a start; the short text keeps the defaults.
  const CAction& stop = program.actions[0];
  EXPECT_EQ(std::tuple(stop.id, stop.kind, stop.videoFlag, stop.codec, stop.sourceEvent, stop.valueA, stop.valueB),
            std::tuple(7, kActionStop, true, 1234, 5, 9, 8));
  const CAction& shortOne = program.actions[1];
  EXPECT_EQ(std::tuple(shortOne.id, shortOne.kind, shortOne.codec, shortOne.sourceEvent, shortOne.valueB),
            std::tuple(8, kActionStart, kCodecFmp4, -1, 1));
}

TEST(ProgramText, ActionsRoundTrip) {
  CAction a;
  a.id = 3;
  a.kind = kActionStop;
  a.videoFlag = true;
  a.sourceEvent = 4;
  a.valueA = 2;
  a.valueB = 0;
  EXPECT_EQ(FormatAction(a), "0|3|1|1|877677894|4|2|0|");
  EXPECT_EQ(ParseAction(FormatAction(a)), a);
  EXPECT_EQ(ParseAction(""), CAction());
  EXPECT_EQ(ParseAction("0|x|1|").id, -1);
}

TEST(DefaultProgram, StartsTrackingOnTheFirstFrameOnly) {
  StageProgram program;
  LoadProgram(program, DefaultProgramText());
  ASSERT_EQ(program.events.size(), 1u);
  ASSERT_EQ(program.actions.size(), 1u);
  EXPECT_EQ(program.events[0].Encode('|'), "2|1|1|-1|0|1|0|-1|0|0|");
  EXPECT_EQ(FormatAction(program.actions[0]), "0|2|0|0|877677894|1|-1|1|");
  const auto emitted = RunFrames(program, 5000, 40);
  EXPECT_EQ(emitted, (Emitted{{0, {2}}}));
  // Starting again replays it.
  EXPECT_EQ(RunFrames(program, 100, 40).size(), 1u);
}

TEST(Chains, AnEventArmsTheNextWhichStops) {
  // A: after 30 s, armed at start; B: 1 minute after A; B emits the stop.
  StageProgram program;
  LoadProgram(program, EventBox("2|1|2|-1|30|2|1|-1|0|0|") + ";" +
                           EventBox("2|2|2|-1|1|1|1|1|0|0|") + ";" +
                           ActionBox("0|10|1|0|877677894|2|-1|1|") + ";" +
                           ActionBox("0|11|0|0|877677894|1|-1|1|"));
  const auto emitted = RunFrames(program, 120000, 700);
  // The first frames at least 30 s after the start and 60 s after that.
  EXPECT_EQ(emitted, (Emitted{{30100, {11}}, {90300, {10}}}));
}

TEST(Chains, ArmingRepeatsWithinAFrameAndActionsKeepTheirOrder) {
  // A (immediately) arms B (immediately) which arms C (immediately), listed backwards; each
  // fires on the first frame. Two actions of C come in their text order.
  StageProgram program;
  LoadProgram(program, EventBox("2|3|1|-1|0|2|1|2|0|0|") + ";" + EventBox("2|2|1|-1|0|2|1|1|0|0|") +
                           ";" + EventBox("2|1|1|-1|0|2|1|-1|0|0|") + ";" +
                           ActionBox("0|21|0|0|0|3|-1|1|") + ";" + ActionBox("0|20|1|0|0|1|-1|1|") +
                           ";" + ActionBox("0|22|1|0|0|3|-1|1|"));
  const auto emitted = RunFrames(program, 1000, 40);
  EXPECT_EQ(emitted, (Emitted{{0, {20, 21, 22}}}));
}

TEST(Chains, EventsArmedByOthersWaitAndNeverArmedOnesNeverFire) {
  StageProgram program;
  LoadProgram(program, EventBox("2|1|0|-1|0|2|1|-1|0|0|") + ";" +
                           EventBox("2|2|1|-1|0|2|1|1|0|0|") + ";" +
                           ActionBox("0|30|0|0|0|2|-1|1|"));
  EXPECT_TRUE(RunFrames(program, 10000, 100).empty());
}

TEST(MaximumDuration, StopsOnceTheLimitIsExceeded) {
  StageProgram program;
  LoadProgram(program, DefaultProgramText());
  program.maxDuration = 5;
  program.maxDurationUnit = 1;
  StartProgram(program, nullptr);
  std::vector<CAction> actions;
  const tMyPoint p = PointAt(0, 0, 1, 1);
  EXPECT_TRUE(EvaluateProgram(program, p, 1000, actions, {}));  // the start; start time 1 s
  EXPECT_FALSE(EvaluateProgram(program, p, 301000, actions, {}));
  ASSERT_TRUE(EvaluateProgram(program, p, 301001, actions, {}));
  ASSERT_EQ(actions.size(), 1u);
  EXPECT_EQ(actions[0], MaximumDurationStop());
  EXPECT_EQ(std::tuple(actions[0].kind, actions[0].codec), std::tuple(kActionStop, kCodecFmp4));
}

TEST(MaximumDuration, TheProgramsOwnStopComesAlone) {
  StageProgram program;
  // The program stops at 11 s, past the limit of 10 s: its own stop only; at 12 s the
  // automatic one.
  LoadProgram(program, EventBox("2|1|2|-1|11|2|1|-1|0|0|") + ";" +
                           ActionBox("0|40|1|0|0|1|-1|1|"));
  program.maxDuration = 10;
  program.maxDurationUnit = 2;
  const auto emitted = RunFrames(program, 12000, 1000);
  EXPECT_EQ(emitted, (Emitted{{11000, {40}}, {12000, {-1}}}));
}

TEST(MaximumDuration, NoneBelowOne) {
  for (const int value : {0, -3}) {
    StageProgram program;
    LoadProgram(program, "");
    program.maxDuration = value;
    program.maxDurationUnit = 2;
    EXPECT_TRUE(RunFrames(program, 100000, 5000).empty());
  }
  EXPECT_EQ(MaximumDurationSeconds(2, 0), 7200);
  EXPECT_EQ(MaximumDurationSeconds(2, 9), 0);
}

TEST(ProgramDiffers, OnlyDefinitionsCount) {
  const std::string base = DefaultProgramText();
  std::string moved = base;
  moved.replace(moved.find("20,100"), 6, "90,300");  // the event box moved
  EXPECT_FALSE(ProgramDiffers(base, moved));
  EXPECT_FALSE(ProgramDiffers(base, base + ";uml_line,1,2"));
  std::string equivalent = base;
  equivalent.replace(equivalent.find("0|2|0|0|"), 8, "0|2|2|0|");  // stored 2 reads as start
  EXPECT_FALSE(ProgramDiffers(base, equivalent));
  std::string later = base;
  later.replace(later.find("0|1|1|-1|0|1|"), 13, "0|1|2|-1|5|1|");
  EXPECT_TRUE(ProgramDiffers(base, later));
  EXPECT_TRUE(ProgramDiffers(base, base + ";" + ActionBox("0|3|1|0|0|1|-1|1|")));
  EXPECT_TRUE(ProgramDiffers(base, ""));
}

TEST(FrameProgramAdapter, ZoneEventsDriveStartAndStop) {
  ZoneSet zones = testing::ArenaSet(1000, 100, {0, 0, 999, 99});
  const int a = testing::AddZone(zones, "A", {100, 0, 199, 99})->id;
  CProtocol protocol;
  protocol.diagram = EventBox("2|1|6|" + std::to_string(a) + "|0|2|1|-1|0|0|") + ";" +
                     EventBox("2|2|8|" + std::to_string(a) + "|0|2|1|1|1|1|") + ";" +
                     ActionBox("0|5|0|0|0|1|-1|1|") + ";" + ActionBox("0|6|1|0|0|2|-1|1|");
  StageFrameProgram program(protocol, &zones, {});
  program.Start();
  const int xs[] = {50, 60, 150, 160, 60, 50};
  std::vector<std::vector<FrameAction>> emitted;
  for (int k = 0; k < 6; ++k) emitted.push_back(program.Evaluate(PointAt(k, 0, xs[k], 50), k * 40));
  std::vector<std::pair<int, int>> kindsAndIds;  // (frame, kind * 100 + id)
  for (int k = 0; k < 6; ++k) {
    for (const FrameAction& a : emitted[static_cast<size_t>(k)]) kindsAndIds.emplace_back(k, a.kind * 100 + a.id);
  }
  EXPECT_EQ(kindsAndIds, (std::vector<std::pair<int, int>>{{2, FrameAction::kStart * 100 + 5},
                                                          {4, FrameAction::kStop * 100 + 6}}));
}

}  // namespace
}  // namespace vx
