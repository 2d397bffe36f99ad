// The flags that give a zone its geometry, shared by `zone add` and `zone set`: the stored
// text (--type with --points, for scripts) or one named form (--rect, --ellipse, --polygon,
// --line).
#pragma once

#include <CLI/CLI.hpp>

#include <map>
#include <string>
#include <vector>

#include "context.h"
#include "zones/zone_set.h"

namespace vx::cli {

// The command-line names of the shape kinds that --type accepts.
const std::map<std::string, int>& ZoneTypeNames();

struct GeometryFlags {
  std::string type;
  std::string points;
  std::map<std::string, std::string> named;  // form name -> value, as typed
  std::vector<CLI::Option*> options;         // every geometry flag, to tell which were given
};

// Registers --type, --points and the named forms on command.
void AddGeometryFlags(CLI::App& command, GeometryFlags& flags);

struct ChosenGeometry {
  bool given = false;  // no geometry flag at all
  int kind = -1;
  std::string pointsText;
};

// Reads the geometry the flags give, for a zone of the set; currentKind is the kind --points
// applies to when --type is absent (-1: --type is required). Returns kExitOk, or kExitUsage
// after printing the reason: several geometries at once, --points without a kind, a value
// that does not parse or lies off the image.
int ReadGeometryFlags(Context& context, const GeometryFlags& flags, const ZoneSet& zones, int currentKind,
                      ChosenGeometry& chosen);

}  // namespace vx::cli
