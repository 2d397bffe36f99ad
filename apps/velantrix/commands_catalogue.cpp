// Catalogues a user reads to set up reports without stored numbers: "measures" (every measure
// with its name, label, value kinds and units) and "variables" (the test and frame variables).
#include <CLI/CLI.hpp>

#include <memory>

#include "base/text.h"
#include "commands_extra.h"
#include "context.h"
#include "measures/measure_catalogue.h"
#include "measures/measure_definition.h"
#include "measures/measure_names.h"
#include "measures/test_variables.h"
#include "output.h"

namespace vx::cli {

namespace {

std::string Joined(const std::vector<std::string>& items, const char* separator) {
  std::string text;
  for (size_t i = 0; i < items.size(); ++i) text += (i ? separator : "") + items[i];
  return text;
}

std::string JsonList(const std::vector<std::string>& items) {
  std::string json = "[";
  for (size_t i = 0; i < items.size(); ++i) json += (i ? ", " : "") + JsonString(items[i]);
  return json + "]";
}

// Every unit the measure can be shown in, whatever its value kind.
std::vector<std::string> AllUnits(int measure) {
  const std::vector<std::string> kinds = ValueKindNames(measure);
  return UnitNames(measure, kinds.size() > 3 ? 3 : 0);
}

int RunMeasures(Context& context, bool json) {
  std::ostream& out = context.io.out;
  if (json) out << "[";
  for (int m = 0; m < kMeasureCount; ++m) {
    if (m == kMeasureTimeInZoneOld) continue;  // an older number of time-in-zone
    const std::vector<std::string> kinds = ValueKindNames(m);
    const std::vector<std::string> units = AllUnits(m);
    if (json) {
      out << (m ? ",\n " : "") << "{\"number\": " << m << ", \"name\": " << JsonString(MeasureName(m))
          << ", \"label\": " << JsonString(MeasureLabel(m))
          << ", \"description\": " << JsonString(MeasureDescription(m))
          << ", \"value_kinds\": " << JsonList(kinds) << ", \"units\": " << JsonList(units) << "}";
      continue;
    }
    out << Format("%2d  %-20s %s\n", m, MeasureName(m), MeasureDescription(m));
    if (kinds.size() > 1) out << "      --value " << Joined(kinds, "|") << '\n';
    if (!units.empty()) out << "      --unit  " << Joined(units, "|") << '\n';
  }
  out << (json ? "]\n" : "");
  return kExitOk;
}

int RunVariables(Context& context, bool json) {
  std::ostream& out = context.io.out;
  if (json) out << "[";
  for (int v = 0; v < kTestVariableCount; ++v) {
    const TestVariable& info = TestVariableInfo(v);
    const char* scope = info.scope == VariableScope::Frame ? "frame" : "test";
    if (json) {
      out << (v ? ",\n " : "") << "{\"number\": " << v << ", \"name\": " << JsonString(VariableName(v))
          << ", \"label\": " << JsonString(TestVariableTitle(v))
          << ", \"description\": " << JsonString(info.description)
          << ", \"scope\": " << JsonString(scope) << ", \"unit\": " << JsonString(VariableUnit(v)) << "}";
      continue;
    }
    const std::string unit = *VariableUnit(v) ? Format(" (%s)", VariableUnit(v)) : "";
    out << Format("%2d  %-20s %-5s %s%s\n", v, VariableName(v), scope, info.description, unit.c_str());
  }
  out << (json ? "]\n" : "");
  return kExitOk;
}

}  // namespace

void RegisterCatalogueCommands(CLI::App& app, Context& context, CommandResult& result) {
  auto json = std::make_shared<bool>(false);
  CLI::App* measures = app.add_subcommand(
      "measures", "List every report measure: number, name, description, value kinds, units");
  measures->add_flag("--json", *json, "One JSON document");
  measures->callback([&, json] { result.Select([&, json] { return RunMeasures(context, *json); }); });
  CLI::App* variables = app.add_subcommand(
      "variables", "List the test and frame variables: number, name, description, unit");
  variables->add_flag("--json", *json, "One JSON document");
  variables->callback([&, json] { result.Select([&, json] { return RunVariables(context, *json); }); });
}

}  // namespace vx::cli
