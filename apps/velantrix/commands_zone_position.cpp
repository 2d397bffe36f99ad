// Verbs on the positions of movable zones: zone position list, add, delete (the named
// positions a protocol keeps for a zone) and set (where the zone lies in one test).
#include <CLI/CLI.hpp>

#include <memory>

#include "adjustment_session.h"
#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "db/movable_zone_store.h"
#include "experiment_access.h"
#include "option_values.h"
#include "output.h"
#include "zone_session.h"
#include "zones/arena_change.h"

namespace vx::cli {

namespace {

NumberList Position() { return {"X,Y", ',', 2, PixelCoordinate()}; }
NumberRange Angle() { return {-360, 360, true, "degrees"}; }

// The movable zone zoneId of zones, or the failure status after printing why it cannot be
// placed.
int FindMovableZone(Context& context, const ZoneSet& zones, int protocolId, int zoneId, const CDrawObj*& zone) {
  zone = zones.FindZone(zoneId);
  if (zone == nullptr) return context.Fail(Format("There is no zone %d in protocol %d.", zoneId, protocolId));
  TestAdjustment scratch;
  if (const std::string problem = PlaceMovableZone(*zone, 0, 0, 0, scratch); !problem.empty()) {
    return context.Fail("The " + problem + Format(": make it movable with 'velantrix zone set EXP %d "
                                                  "--protocol %d --movable'.", zoneId, protocolId));
  }
  return kExitOk;
}

int RunList(Context& context, const std::string& path, int protocolId, int zoneId, OutputFormat format) {
  ZoneSession session;
  if (const int status = OpenZoneSession(context, path, protocolId, session)) return status;
  RecordTable table({"id", "zone", "zone_name", "name", "x", "y", "adjusted_x", "adjusted_y", "angle"});
  for (const auto& zone : session.zones.Zones()) {
    if (!zone->IsMovable() || zone->IsCombined() || (zoneId > 0 && zone->id != zoneId)) continue;
    std::vector<MovableZonePosition> positions;
    if (!ListMovableZonePositions(session.experiment, protocolId, zone->id, positions)) {
      return context.Fail(Format("Unable to read the positions of zone %d from '%s'.", zone->id, path.c_str()));
    }
    for (const MovableZonePosition& p : positions) {
      table.Add({Cell::Int(p.id), Cell::Int(p.idZone), Cell::Str(zone->GetName()), Cell::Str(p.name),
                 Cell::Int(p.x), Cell::Int(p.y), Cell::Int(p.adjustedX), Cell::Int(p.adjustedY),
                 Cell::Int(p.adjustedAngle)});
    }
  }
  table.Print(context.io.out, format);
  return kExitOk;
}

struct AddOptions {
  std::string path, name, at;
  int protocol = -1, zone = -1, angle = 0, fromTest = -1;
};

// Where the test places the zone, into position; the failure status when it does not.
int PositionInTest(Context& context, ZoneSession& session, int testId, MovableZonePosition& position) {
  const CInfosTest* test = session.experiment.FindTest(testId);
  if (test == nullptr || test->idProtocol != session.protocol.id) {
    return context.Fail(Format("There is no test %d of protocol %d.", testId, session.protocol.id));
  }
  const AdjustmentReading reading = ParseAdjustment(test->adjustArena, session.zones);
  const tObjectAdjust* placed = reading.adjustment.FindObject(position.idZone);
  if (placed == nullptr) {
    return context.Fail(Format("Test %d leaves zone %d where the protocol has it.", testId, position.idZone));
  }
  position.adjustedX = placed->adjustedX;
  position.adjustedY = placed->adjustedY;
  position.adjustedAngle = placed->angle;
  return kExitOk;
}

int RunAdd(Context& context, const AddOptions& o) {
  if (Trim(o.name).empty()) return context.Fail("The position needs a name.", kExitUsage);
  ZoneSession session;
  if (const int status = OpenZoneSession(context, o.path, o.protocol, session)) return status;
  const CDrawObj* zone = nullptr;
  if (const int status = FindMovableZone(context, session.zones, o.protocol, o.zone, zone)) return status;
  std::vector<MovableZonePosition> existing;
  ListMovableZonePositions(session.experiment, o.protocol, o.zone, existing);
  for (const MovableZonePosition& p : existing) {
    if (EqualsNoCase(Trim(p.name), Trim(o.name))) {
      return context.Fail(Format("Zone %d already has a position named '%s' (id %d).", o.zone, p.name.c_str(), p.id));
    }
  }
  MovableZonePosition position;
  position.name = Trim(o.name);
  position.idProtocol = o.protocol;
  position.idZone = o.zone;
  position.x = zone->GetRect().left;
  position.y = zone->GetRect().top;
  if (o.fromTest > 0) {
    if (const int status = PositionInTest(context, session, o.fromTest, position)) return status;
  } else {
    std::vector<int> xy;
    ReadWholeNumbers(o.at, Position(), xy);
    position.adjustedX = xy[0];
    position.adjustedY = xy[1];
    position.adjustedAngle = o.angle;
  }
  const bool saved = SaveMovableZonePosition(session.experiment, position);
  return ReportCreated(context, saved, position.id, "position");
}

int RunDelete(Context& context, const std::string& path, int positionId) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, experiment, status)) return status;
  MovableZonePosition position;
  if (!FindMovableZonePosition(experiment, positionId, position)) {
    return context.Fail(Format("There is no zone position %d in '%s'.", positionId, path.c_str()));
  }
  if (!DeleteMovableZonePosition(experiment, positionId)) {
    return context.Fail(Format("Unable to delete zone position %d from '%s'.", positionId, path.c_str()));
  }
  return kExitOk;
}

struct SetOptions {
  std::string path, at, named;
  int test = -1, zone = -1, angle = 0;
  bool clear = false;
};

// The named position typed with --position (a name or an id) of the session's zone.
int FindNamedPosition(Context& context, AdjustmentSession& session, const SetOptions& o,
                      MovableZonePosition& found) {
  std::vector<MovableZonePosition> positions;
  ListMovableZonePositions(session.experiment, session.test.idProtocol, o.zone, positions);
  int id = -1;
  const bool byId = TryParseInt(o.named, id);
  for (const MovableZonePosition& p : positions) {
    if ((byId && p.id == id) || EqualsNoCase(Trim(p.name), Trim(o.named))) {
      found = p;
      return kExitOk;
    }
  }
  return context.Fail(Format("Zone %d has no position '%s' (see 'velantrix zone position list %s "
                             "--protocol %d').", o.zone, o.named.c_str(), o.path.c_str(),
                             session.test.idProtocol));
}

int RunSet(Context& context, const SetOptions& o) {
  if (o.at.empty() && o.named.empty() && !o.clear) {
    return context.Fail("Say where the zone goes: --at X,Y, --position NAME, or --clear.", kExitUsage);
  }
  AdjustmentSession session;
  if (const int status = OpenAdjustmentSession(context, o.path, o.test, session)) return status;
  const CDrawObj* zone = nullptr;
  if (const int status = FindMovableZone(context, session.zones, session.test.idProtocol, o.zone, zone)) return status;
  TestAdjustment adjustment = session.reading.adjustment;
  if (o.clear) {
    adjustment.SetObject(o.zone, nullptr);
  } else if (!o.named.empty()) {
    MovableZonePosition named;
    if (const int status = FindNamedPosition(context, session, o, named)) return status;
    PlaceMovableZone(*zone, named.adjustedX, named.adjustedY, named.adjustedAngle, adjustment);
  } else {
    std::vector<int> xy;
    ReadWholeNumbers(o.at, Position(), xy);
    PlaceMovableZone(*zone, xy[0], xy[1], o.angle, adjustment);
  }
  if (const int status = SaveAdjustmentSession(context, session, adjustment)) return status;
  if (!context.quiet) {
    const tObjectAdjust* placed = adjustment.FindObject(o.zone);
    context.io.err << (placed == nullptr
                           ? Format("Test %d: zone %d is where the protocol has it.\n", o.test, o.zone)
                           : Format("Test %d: zone %d placed at (%d, %d).\n", o.test, o.zone,
                                    placed->adjustedX, placed->adjustedY));
  }
  return kExitOk;
}

void RegisterList(CLI::App& position, Context& context, CommandResult& result) {
  struct ListOptions {
    std::string path;
    int protocol = -1, zone = -1;
    bool json = false, csv = false;
  };
  auto o = std::make_shared<ListOptions>();
  CLI::App* list = position.add_subcommand("list", "The named positions of a protocol's movable zones");
  list->add_option("EXP", o->path, "Experiment file")->required();
  list->add_option("--protocol", o->protocol, "Protocol id")->required()->check(NumberIn(RecordId()));
  list->add_option("--zone", o->zone, "Only this zone's positions")->check(NumberIn(RecordId()));
  CLI::Option* json = list->add_flag("--json", o->json, "One JSON document");
  list->add_flag("--csv", o->csv, "CSV with a header row")->excludes(json);
  list->callback([&, o] {
    result.Select([&, o] { return RunList(context, o->path, o->protocol, o->zone, ChosenFormat(o->json, o->csv)); });
  });
}

// --at X,Y and --angle DEG (only with --at); returns --at.
CLI::Option* AddPlaceFlags(CLI::App& verb, std::string& at, int& angle) {
  CLI::Option* atFlag = verb.add_option("--at", at, "The zone's top-left corner, X,Y pixels of the protocol's image")
                            ->check(NumbersIn(Position()));
  verb.add_option("--angle", angle, "An angle kept with the position")->check(NumberIn(Angle()))->needs(atFlag);
  return atFlag;
}

void RegisterAdd(CLI::App& position, Context& context, CommandResult& result) {
  auto o = std::make_shared<AddOptions>();
  CLI::App* add = position.add_subcommand("add", "Name a position of a movable zone, to place it so in other tests; prints its id");
  add->add_option("EXP", o->path, "Experiment file")->required();
  add->add_option("--protocol", o->protocol, "Protocol id")->required()->check(NumberIn(RecordId()));
  add->add_option("--zone", o->zone, "The movable zone's id")->required()->check(NumberIn(RecordId()));
  add->add_option("--name", o->name, "The position's name")->required();
  CLI::Option* at = AddPlaceFlags(*add, o->at, o->angle);
  CLI::Option* from = add->add_option("--from-test", o->fromTest, "Where this test places the zone")
                          ->check(NumberIn(RecordId()))->excludes(at);
  add->callback([&, o, at, from] {
    if (at->count() + from->count() == 0) throw CLI::RequiredError("--at or --from-test");
    result.Select([&, o] { return RunAdd(context, *o); });
  });
}

void RegisterDelete(CLI::App& position, Context& context, CommandResult& result) {
  auto path = std::make_shared<std::string>();
  auto id = std::make_shared<int>(-1);
  CLI::App* remove = position.add_subcommand("delete", "Delete a named position (tests placed with it stay where they are)");
  remove->alias("remove");
  remove->add_option("EXP", *path, "Experiment file")->required();
  remove->add_option("POSITION_ID", *id, "Position id")->required()->check(NumberIn(RecordId()));
  remove->callback([&, path, id] { result.Select([&, path, id] { return RunDelete(context, *path, *id); }); });
}

void RegisterSet(CLI::App& position, Context& context, CommandResult& result) {
  auto o = std::make_shared<SetOptions>();
  CLI::App* set = position.add_subcommand("set", "Place a movable zone in one test (its cached results are dropped)");
  set->add_option("EXP", o->path, "Experiment file")->required();
  set->add_option("TEST_ID", o->test, "Test id")->required()->check(NumberIn(RecordId()));
  set->add_option("--zone", o->zone, "The movable zone's id")->required()->check(NumberIn(RecordId()));
  CLI::Option* at = AddPlaceFlags(*set, o->at, o->angle);
  CLI::Option* named = set->add_option("--position", o->named, "A named position (name or id)")->excludes(at);
  set->add_flag("--clear", o->clear, "Put the zone back where the protocol has it")->excludes(at)->excludes(named);
  set->callback([&, o] { result.Select([&, o] { return RunSet(context, *o); }); });
}

}  // namespace

void RegisterZonePositionCommands(CLI::App& zone, Context& context, CommandResult& result) {
  CLI::App* position = zone.add_subcommand("position", "Positions of movable zones: per test, and named ones to reuse");
  position->require_subcommand(1);
  RegisterList(*position, context, result);
  RegisterAdd(*position, context, result);
  RegisterDelete(*position, context, result);
  RegisterSet(*position, context, result);
}

}  // namespace vx::cli
