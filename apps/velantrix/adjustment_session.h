// What the verbs on a test's geometry share (test adjust, zone position set, test show): the
// test with its protocol's zones and its stored arena adjustment, the save that drops its
// cached results, and the adjustment put into words and JSON.
#pragma once

#include <string>

#include "context.h"
#include "db/experiment.h"
#include "zones/adjustment_text.h"
#include "zones/zone_set.h"

namespace CLI {
class App;
}

namespace vx::cli {

struct CommandResult;

struct AdjustmentSession {
  std::string path;
  Experiment experiment;
  CInfosTest test;
  ZoneSet zones;              // the protocol's own, unadjusted
  AdjustmentReading reading;  // the test's stored adjustment
};

// Opens EXP and reads test testId with its protocol's zones. A stored adjustment that is not
// well formed is reported on standard error (the edit starts from what could be read of it).
// Returns kExitOk, or the failure status after printing the reason.
int OpenAdjustmentSession(Context& context, const std::string& path, int testId,
                          AdjustmentSession& session);

// Stores adjustment for the session's test (its cached results are dropped). When the test
// was analysed and the arena itself changed, says that detection follows only on a new
// analysis.
int SaveAdjustmentSession(Context& context, AdjustmentSession& session,
                          const TestAdjustment& adjustment);

// The adjustment in words, one line per fact, each starting with indent; "" when it neither
// moves, turns nor places anything.
std::string AdjustmentLines(const TestAdjustment& adjustment, const ZoneSet& zones,
                            const std::string& indent);
// {"text": stored text, "adjusted": bool, "reference": [l, t, r, b], "arena": [l, t, r, b],
//  "move": [dx, dy], "scale": [sx, sy], "angle": deg, "zones": [...], "problem": text|null}
std::string AdjustmentJson(const std::string& text, const AdjustmentReading& reading,
                           const ZoneSet& zones);

// Registers "test adjust" and "zone position ..." (on the test and zone verbs).
void RegisterArenaCommands(CLI::App& app, Context& context, CommandResult& result);
// Registers "zone position list|add|delete|set" on the zone verb.
void RegisterZonePositionCommands(CLI::App& zone, Context& context, CommandResult& result);

}  // namespace vx::cli
