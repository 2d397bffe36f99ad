// Verbs on a protocol's zones: zone add, zone list, zone mask, ruler set.
#include <CLI/CLI.hpp>
#include <opencv2/imgcodecs.hpp>

#include <map>
#include <memory>

#include "base/messages.h"
#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "experiment_access.h"
#include "option_values.h"
#include "zone_geometry_flags.h"
#include "zone_session.h"
#include "zones/arena_mask.h"
#include "zones/calibration.h"
#include "zones/draw_poly.h"
#include "zones/points_check.h"
#include "zones/setup_checks.h"
#include "zones/zone_dialog.h"

namespace vx::cli {

namespace {

const std::map<std::string, int>& kDetectModes = DetectModeNames();
const std::map<std::string, int>& kUnits = DistanceUnitNames();

struct ZoneAddOptions {
  std::string path;
  int protocol = -1;
  GeometryFlags geometry;
  std::string name;
  bool arena = false;
  std::string detect = "centre";
  int entry = 70;
  int exit = 50;
  int hidden = -1;  // distance; -1: not a hidden zone
  std::string hiddenUnit = "cm";
  bool movable = false;
};

// A zone typed partly or wholly off the image is moved onto it: say where it went.
void WarnIfOffImage(Context& context, const std::string& points, const CDrawObj& zone,
                    const ZoneSet& zones) {
  const std::vector<std::string> parts = Split(Split(points, '|', true)[0], ';', true);
  if (parts.size() != 4 || context.quiet) return;
  const int x1 = ToInt(parts[0]), y1 = ToInt(parts[1]), x2 = ToInt(parts[2]), y2 = ToInt(parts[3]);
  const PixelRect typed{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
  const SetupProblem problem = CheckZoneInImage(typed, zones.imageWidth, zones.imageHeight);
  if (problem == SetupProblem::kNone) return;
  const PixelRect placed = zone.GetRect();
  context.io.err << Format("velantrix: warning: the zone lies %s outside the %dx%d image; it is "
                           "stored at %d;%d;%d;%d.\n",
                           problem == SetupProblem::kZoneOutsideImage ? "wholly" : "partly",
                           zones.imageWidth, zones.imageHeight, placed.left, placed.top,
                           placed.right, placed.bottom);
}

int RunZoneAdd(Context& context, const ZoneAddOptions& o) {
  ZoneSession session;
  if (const int status = OpenZoneSession(context, o.path, o.protocol, session)) return status;
  ZoneSet& zones = session.zones;
  ChosenGeometry geometry;
  if (const int status = ReadGeometryFlags(context, o.geometry, zones, -1, geometry)) return status;
  if (!geometry.given) {
    return context.Fail("The zone needs a geometry: --rect, --ellipse, --polygon, --line, or --type with --points.",
                        kExitUsage);
  }
  const int kind = geometry.kind;
  if (o.arena && !CanBeArena(kind)) {
    return context.Fail("--arena: a line or a combined zone cannot be the arena.", kExitUsage);
  }
  std::unique_ptr<CDrawObj> shape = MakeShape(kind, zones);
  // Known before decoding: a single-point arena stands for the whole image, and it is named as
  // an arena.
  shape->isArena = o.arena ? 1 : 0;
  shape->SetPointsText(geometry.pointsText, zones.imageWidth, zones.imageHeight);
  if (auto* poly = dynamic_cast<CDrawPoly*>(shape.get())) {
    poly->SetVertices(poly->Vertices());  // the position is the vertices' box, whatever was typed
  }
  CDrawObj* zone = zones.AddZone(std::move(shape));
  WarnIfOffImage(context, geometry.pointsText, *zone, zones);

  ZoneSettings settings = SettingsOf(*zone);
  if (!o.name.empty()) settings.name = o.name;
  settings.isArena = o.arena;
  settings.detectInZone = kDetectModes.at(o.detect);
  settings.percentEntry = o.entry;
  settings.percentExit = o.exit;
  settings.sameForAllTests = !o.movable;
  settings.hidden = o.hidden >= 0;
  settings.hiddenDistance = o.hidden >= 0 ? o.hidden : 5;
  settings.hiddenUnit = kUnits.at(o.hiddenUnit);
  const int refusal = ConfirmZoneSettings(zones, *zone, settings, MmPerPixel(zones),
                                          session.protocol.headDetection, context.asker);
  if (refusal != 0) return context.Fail(MessageText(refusal));
  ApplyZoneSettings(zones, *zone, settings);
  if (const int status = SaveZoneSession(context, session)) return status;
  context.io.out << zone->id << '\n';
  return kExitOk;
}

int RunZoneList(Context& context, const std::string& path, int protocol, OutputFormat format) {
  ZoneSession session;
  if (const int status = OpenZoneSession(context, path, protocol, session)) return status;
  ZoneTable(session.zones).Print(context.io.out, format);
  return kExitOk;
}

int RunZoneMask(Context& context, const std::string& path, int protocol, int zoneId, const std::string& out) {
  ZoneSession session;
  if (const int status = OpenZoneSession(context, path, protocol, session)) return status;
  const ZoneSet& zones = session.zones;
  cv::Mat mask;
  if (zoneId < 0) {
    DetectionArea area = BuildDetectionArea(zones);
    mask = area.mask;
    if (mask.empty() && !area.rect.IsEmpty()) {  // nothing masked: the whole search rectangle
      mask = cv::Mat(static_cast<int>(area.rect.Height()), static_cast<int>(area.rect.Width()), CV_8UC1, cv::Scalar(255));
    }
  } else {
    const CDrawObj* zone = zones.FindZone(zoneId);
    if (zone == nullptr) return context.Fail(Format("Protocol %d has no zone %d.", protocol, zoneId));
    if (zones.imageWidth < 1 || zones.imageHeight < 1) {
      return context.Fail(Format("Protocol %d has no image size.", protocol));
    }
    mask = cv::Mat::zeros(zones.imageHeight, zones.imageWidth, CV_8UC1);
    zone->Region().Paint(mask, {0, 0}, 255);
  }
  if (mask.empty()) return context.Fail("The mask is empty: the arena has no area.");
  if (!WriteImageFile(out, mask)) return context.Fail(Format("Unable to write the mask to '%s'.", out.c_str()));
  return kExitOk;
}

int RunRulerSet(Context& context, const std::string& path, int protocol, const std::string& points,
                int length, const std::string& unit) {
  ZoneSession session;
  if (const int status = OpenZoneSession(context, path, protocol, session)) return status;
  ZoneSet& zones = session.zones;
  if (const std::string problem = CheckPointsText(kKindRuler, points, zones); !problem.empty()) {
    return context.Fail(Format("--points: '%s' is not a ruler: %s.", points.c_str(), problem.c_str()), kExitUsage);
  }
  CDrawObj* ruler = zones.Ruler();
  if (ruler == nullptr) ruler = zones.AddZone(MakeShape(kKindRuler, zones));
  const std::vector<std::string> parts = Split(points, ';', true);
  ruler->SetRect({ToInt(parts[0]), ToInt(parts[1]), ToInt(parts[2]), ToInt(parts[3])});
  if (const int refusal = ValidateZonesPage(zones, length)) {
    return context.Fail(MessageText(refusal), kExitUsage);  // the typed ruler cannot be right
  }
  RefreshRuler(zones, length, kUnits.at(unit));
  if (const int status = SaveZoneSession(context, session)) return status;
  if (!context.quiet) context.io.out << Format("%.6f mm/pixel", MmPerPixel(zones)) << '\n';
  return kExitOk;
}

void RegisterZoneAdd(CLI::App& zone, Context& context, CommandResult& result) {
  auto o = std::make_shared<ZoneAddOptions>();
  CLI::App* add = zone.add_subcommand("add", "Add a zone to a protocol; prints the zone id");
  add->add_option("EXP", o->path, "Experiment file")->required();
  add->add_option("--protocol", o->protocol, "Protocol id")->required()->check(NumberIn(RecordId()));
  AddGeometryFlags(*add, o->geometry);
  add->add_option("--name", o->name, "Zone name (default: the kind's name, numbered)");
  add->add_flag("--arena", o->arena, "Make the zone the main arena");
  add->add_option("--detect", o->detect, "What decides presence")->check(CLI::IsMember(kDetectModes));
  add->add_option("--entry", o->entry, "Body percentage to enter (body rule)")->check(NumberIn({0, 100, true, "%"}));
  add->add_option("--exit", o->exit, "Body percentage to leave (body rule)")->check(NumberIn({0, 100, true, "%"}));
  CLI::Option* hidden = add->add_option("--hidden", o->hidden, "Hidden zone with this distance limit")->check(NumberIn({0, 100000, true, ""}));
  add->add_option("--hidden-unit", o->hiddenUnit, "Unit of the distance limit")->check(CLI::IsMember(kUnits))->needs(hidden);
  add->add_flag("--movable", o->movable, "The position may be adjusted for each test");
  add->callback([&, o] { result.Select([&, o] { return RunZoneAdd(context, *o); }); });
}

}  // namespace

void RegisterZoneCommands(CLI::App& app, Context& context, CommandResult& result) {
  CLI::App* zone = app.add_subcommand("zone", "Zones of a protocol: add, set, delete, list, mask");
  zone->require_subcommand(1);
  RegisterZoneAdd(*zone, context, result);
  RegisterZoneEdit(*zone, context, result);

  auto path = std::make_shared<std::string>();
  auto protocol = std::make_shared<int>(-1);
  auto json = std::make_shared<bool>(false);
  auto csv = std::make_shared<bool>(false);
  CLI::App* list = zone->add_subcommand("list", "List a protocol's zones");
  list->add_option("EXP", *path, "Experiment file")->required();
  list->add_option("--protocol", *protocol, "Protocol id")->required()->check(NumberIn(RecordId()));
  CLI::Option* jsonFlag = list->add_flag("--json", *json, "One JSON document");
  list->add_flag("--csv", *csv, "CSV with a header row")->excludes(jsonFlag);
  list->callback([&, path, protocol, json, csv] {
    result.Select([&, path, protocol, json, csv] { return RunZoneList(context, *path, *protocol, ChosenFormat(*json, *csv)); });
  });

  auto zoneId = std::make_shared<int>(-1);
  auto out = std::make_shared<std::string>();
  CLI::App* mask = zone->add_subcommand("mask", "Write the detection mask, or one zone's pixels, as an image");
  mask->add_option("EXP", *path, "Experiment file")->required();
  mask->add_option("--protocol", *protocol, "Protocol id")->required()->check(NumberIn(RecordId()));
  mask->add_option("--zone", *zoneId, "Zone id (default: the detection mask of the arena)")->check(NumberIn(RecordId()));
  mask->add_option("--out", *out, "Image file to write (.png)")->required();
  mask->callback([&, path, protocol, zoneId, out] {
    result.Select([&, path, protocol, zoneId, out] { return RunZoneMask(context, *path, *protocol, *zoneId, *out); });
  });

  auto points = std::make_shared<std::string>();
  auto length = std::make_shared<int>(0);
  auto unit = std::make_shared<std::string>("cm");
  CLI::App* ruler = app.add_subcommand("ruler", "The calibration ruler of a protocol");
  ruler->require_subcommand(1);
  CLI::App* set = ruler->add_subcommand("set", "Place the ruler and give its real length");
  set->add_option("EXP", *path, "Experiment file")->required();
  set->add_option("--protocol", *protocol, "Protocol id")->required()->check(NumberIn(RecordId()));
  set->add_option("--points", *points, "LEFT;TOP;RIGHT;BOTTOM")->required();
  set->add_option("--length", *length, "Real length, a whole number")->required()->check(NumberIn({0, 1000000, true, ""}));
  set->add_option("--unit", *unit, "Unit of the length")->required()->check(CLI::IsMember(kUnits));
  set->callback([&, path, protocol, points, length, unit] {
    result.Select([&, path, protocol, points, length, unit] {
      return RunRulerSet(context, *path, *protocol, *points, *length, *unit);
    });
  });
}

}  // namespace vx::cli
