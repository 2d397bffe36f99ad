// Editing a protocol's zones after they were added: zone set, zone delete. Both save the
// protocol with its zones, which drops the cached results of every report of the protocol.
#include <CLI/CLI.hpp>

#include <memory>

#include "base/messages.h"
#include "base/text.h"
#include "option_values.h"
#include "zone_geometry_flags.h"
#include "zone_session.h"
#include "zones/calibration.h"
#include "zones/draw_poly.h"
#include "zones/zone_dialog.h"

namespace vx::cli {

namespace {

struct ZoneSetOptions {
  std::string path;
  int protocol = -1;
  int zone = -1;
  GeometryFlags geometry;
  std::string name, detect, hiddenUnit;
  int entry = 70, exit = 50, hidden = 5;
  bool arena = false, notHidden = false, movable = false, fixed = false;
  // The settings flags, to change only what was typed.
  CLI::Option *nameFlag = nullptr, *detectFlag = nullptr, *entryFlag = nullptr, *exitFlag = nullptr,
              *hiddenFlag = nullptr, *hiddenUnitFlag = nullptr;
};

int FindEditableZone(Context& context, ZoneSession& session, int zoneId, CDrawObj*& zone) {
  zone = session.zones.FindZone(zoneId);
  if (zone == nullptr) return context.Fail(Format("Protocol %d has no zone %d.", session.protocol.id, zoneId));
  if (zone->isRuler != 0) {
    return context.Fail("The ruler is not a zone: place it with 'velantrix ruler set'.", kExitUsage);
  }
  return kExitOk;
}

// The zone rebuilt with a new geometry (possibly of another kind), keeping its id, name,
// colours and rules.
CDrawObj* Reshape(ZoneSet& zones, const CDrawObj& zone, const ChosenGeometry& geometry) {
  std::unique_ptr<CDrawObj> shape = MakeShape(geometry.kind, zones);
  shape->CopyAttributes(zone);
  shape->SetPointsText(geometry.pointsText, zones.imageWidth, zones.imageHeight);
  if (auto* poly = dynamic_cast<CDrawPoly*>(shape.get())) poly->SetVertices(poly->Vertices());
  const int id = shape->id;
  zones.ReplaceZone(std::move(shape));
  return zones.FindZone(id);
}

void ApplyTypedSettings(const ZoneSetOptions& o, ZoneSettings& settings) {
  if (o.nameFlag->count() > 0) settings.name = o.name;
  if (o.arena) settings.isArena = true;
  if (o.detectFlag->count() > 0) settings.detectInZone = DetectModeNames().at(o.detect);
  if (o.entryFlag->count() > 0) settings.percentEntry = o.entry;
  if (o.exitFlag->count() > 0) settings.percentExit = o.exit;
  if (o.hiddenFlag->count() > 0) {
    settings.hidden = true;
    settings.hiddenDistance = o.hidden;
  }
  if (o.hiddenUnitFlag->count() > 0) settings.hiddenUnit = DistanceUnitNames().at(o.hiddenUnit);
  if (o.notHidden) settings.hidden = false;
  if (o.movable) settings.sameForAllTests = false;
  if (o.fixed) settings.sameForAllTests = true;
}

int RunZoneSet(Context& context, const ZoneSetOptions& o) {
  ZoneSession session;
  if (const int status = OpenZoneSession(context, o.path, o.protocol, session)) return status;
  ZoneSet& zones = session.zones;
  CDrawObj* zone = nullptr;
  if (const int status = FindEditableZone(context, session, o.zone, zone)) return status;
  ChosenGeometry geometry;
  if (const int status = ReadGeometryFlags(context, o.geometry, zones, zone->GetTypeRect(), geometry)) return status;
  const int kind = geometry.given ? geometry.kind : zone->GetTypeRect();
  if ((o.arena || zone->isArena != 0) && !CanBeArena(kind)) {
    return context.Fail("A line or a combined zone cannot be the arena.", kExitUsage);
  }
  if (geometry.given) zone = Reshape(zones, *zone, geometry);
  ZoneSettings settings = SettingsOf(*zone);
  ApplyTypedSettings(o, settings);
  const int refusal = ConfirmZoneSettings(zones, *zone, settings, MmPerPixel(zones),
                                          session.protocol.headDetection, context.asker);
  if (refusal != 0) return context.Fail(MessageText(refusal));
  ApplyZoneSettings(zones, *zone, settings);
  return SaveZoneSession(context, session);
}

int RunZoneDelete(Context& context, const std::string& path, int protocol, int zoneId) {
  ZoneSession session;
  if (const int status = OpenZoneSession(context, path, protocol, session)) return status;
  CDrawObj* zone = nullptr;
  if (const int status = FindEditableZone(context, session, zoneId, zone)) return status;
  int refusal = 0;
  if (!session.zones.RemoveZone(zoneId, &refusal)) return context.Fail(MessageText(refusal));
  return SaveZoneSession(context, session);
}

void RegisterZoneSet(CLI::App& zone, Context& context, CommandResult& result) {
  auto o = std::make_shared<ZoneSetOptions>();
  CLI::App* set = zone.add_subcommand("set", "Change a zone: geometry, name, rules (other settings stay)");
  set->add_option("EXP", o->path, "Experiment file")->required();
  set->add_option("ZONE_ID", o->zone, "Zone id")->required()->check(NumberIn(RecordId()));
  set->add_option("--protocol", o->protocol, "Protocol id")->required()->check(NumberIn(RecordId()));
  AddGeometryFlags(*set, o->geometry);
  o->nameFlag = set->add_option("--name", o->name, "New name");
  set->add_flag("--arena", o->arena, "Make the zone the main arena");
  o->detectFlag = set->add_option("--detect", o->detect, "What decides presence")
                      ->check(CLI::IsMember(DetectModeNames()));
  o->entryFlag = set->add_option("--entry", o->entry, "Body percentage to enter")->check(NumberIn(Percentage()));
  o->exitFlag = set->add_option("--exit", o->exit, "Body percentage to leave")->check(NumberIn(Percentage()));
  o->hiddenFlag = set->add_option("--hidden", o->hidden, "Make it a hidden zone with this distance limit")
                      ->check(NumberIn({0, 100000, true, ""}));
  o->hiddenUnitFlag = set->add_option("--hidden-unit", o->hiddenUnit, "Unit of the distance limit")
                          ->check(CLI::IsMember(DistanceUnitNames()));
  set->add_flag("--not-hidden", o->notHidden, "No longer a hidden zone")->excludes(o->hiddenFlag);
  CLI::Option* movable = set->add_flag("--movable", o->movable, "The position may be adjusted for each test");
  set->add_flag("--fixed", o->fixed, "The same position for every test")->excludes(movable);
  set->callback([&, o] { result.Select([&, o] { return RunZoneSet(context, *o); }); });
}

}  // namespace

void RegisterZoneEdit(CLI::App& zone, Context& context, CommandResult& result) {
  RegisterZoneSet(zone, context, result);
  auto path = std::make_shared<std::string>();
  auto protocol = std::make_shared<int>(-1);
  auto zoneId = std::make_shared<int>(-1);
  CLI::App* remove = zone.add_subcommand("delete", "Delete a zone (not the arena, not the ruler)");
  remove->add_option("EXP", *path, "Experiment file")->required();
  remove->add_option("ZONE_ID", *zoneId, "Zone id")->required()->check(NumberIn(RecordId()));
  remove->add_option("--protocol", *protocol, "Protocol id")->required()->check(NumberIn(RecordId()));
  remove->callback([&, path, protocol, zoneId] {
    result.Select([&, path, protocol, zoneId] { return RunZoneDelete(context, *path, *protocol, *zoneId); });
  });
}

}  // namespace vx::cli
