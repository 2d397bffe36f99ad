#include "zone_geometry_flags.h"

#include "base/text.h"
#include "zones/points_check.h"
#include "zones/zone_geometry.h"
#include "zone_session.h"

namespace vx::cli {

const std::map<std::string, int>& ZoneTypeNames() {
  static const std::map<std::string, int> kTypes = {{"rect", kKindRectangle}, {"rounded", kKindRoundRect},
                                                    {"ellipse", kKindEllipse}, {"line", kKindLine},
                                                    {"polygon", kKindPolygon}, {"combined", kKindCombined}};
  return kTypes;
}

void AddGeometryFlags(CLI::App& command, GeometryFlags& flags) {
  command.add_option("--type", flags.type, "Shape kind of --points")->check(CLI::IsMember(ZoneTypeNames()));
  flags.options.push_back(command.add_option("--points", flags.points, "Geometry in its stored text form (for scripts)"));
  for (const GeometryForm& form : GeometryForms()) {
    flags.options.push_back(command.add_option(std::string("--") + form.name, flags.named[form.name],
                                               Format("A %s in pixels: %s", form.name, form.layout)));
  }
}

int ReadGeometryFlags(Context& context, const GeometryFlags& flags, const ZoneSet& zones, int currentKind,
                      ChosenGeometry& chosen) {
  std::vector<std::string> given;
  for (const CLI::Option* option : flags.options) {
    if (option->count() > 0) given.push_back(option->get_name());
  }
  if (given.size() > 1) {
    return context.Fail(Format("%s and %s: give the zone one geometry.", given[0].c_str(), given[1].c_str()),
                        kExitUsage);
  }
  if (given.empty()) {
    if (!flags.type.empty()) return context.Fail("--type: give the geometry with --points.", kExitUsage);
    return kExitOk;
  }
  chosen.given = true;
  if (given[0] != "--points") {
    if (!flags.type.empty()) return context.Fail("--type: " + given[0] + " already names the shape.", kExitUsage);
    const GeometryForm& form = *FindGeometryForm(given[0].substr(2));
    const NamedGeometry read = ReadNamedGeometry(form, flags.named.at(form.name), zones.imageWidth, zones.imageHeight);
    if (!read.problem.empty()) return context.Fail(given[0] + ": " + read.problem + ".", kExitUsage);
    chosen.kind = read.kind;
    chosen.pointsText = read.pointsText;
    return kExitOk;
  }
  chosen.kind = flags.type.empty() ? currentKind : ZoneTypeNames().at(flags.type);
  if (chosen.kind < 0) return context.Fail("--points: say the shape kind with --type.", kExitUsage);
  if (const std::string problem = CheckPointsText(chosen.kind, flags.points, zones); !problem.empty()) {
    return context.Fail(Format("--points: '%s' is not a %s zone: %s.", flags.points.c_str(),
                               ZoneKindName(chosen.kind), problem.c_str()),
                        kExitUsage);
  }
  chosen.pointsText = flags.points;
  return kExitOk;
}

}  // namespace vx::cli
