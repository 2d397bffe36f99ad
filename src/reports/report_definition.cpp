#include "reports/report_definition.h"

#include "measures/behavior.h"
#include "measures/zone_cells.h"
#include "db/result_store.h"
#include "zones/zone_rows.h"

namespace vx {

Report ReportFromRow(const ResultRow& row, int protocolId) {
  Report report;
  report.id = row.id;
  report.protocolId = protocolId;
  report.name = row.name;
  report.config = row.config;
  report.readable = ParseMeasureConfig(row.config, report.definition);
  return report;
}

bool FindReport(const Experiment& experiment, int id, Report& report) {
  for (const CProtocol& protocol : experiment.protocols) {
    for (const ResultRow& row : protocol.results) {
      if (row.id != id) continue;
      report = ReportFromRow(row, protocol.id);
      return true;
    }
  }
  return false;
}

std::vector<Report> ProtocolReports(const CProtocol& protocol) {
  std::vector<Report> reports;
  for (const ResultRow& row : protocol.results) reports.push_back(ReportFromRow(row, protocol.id));
  return reports;
}

bool SaveReport(Experiment& experiment, Report& report) {
  ResultRow row{report.id, report.name, FormatMeasureConfig(report.definition)};
  if (!SaveResultDefinition(experiment, row, report.protocolId)) return false;
  report.id = row.id;
  report.config = row.config;
  report.readable = true;
  return true;
}

ReportShape ShapeOfReport(const Report& report, const CProtocol& protocol) {
  ReportShape shape;
  shape.definition = report.definition;
  const int measure = report.definition.measure;
  if (IsBehaviorMeasure(measure)) {
    const BehaviorSet set = ParseBehaviors(protocol.behaviors, protocol.id);
    for (const CBehavior* b : SelectedBehaviors(report.definition.zoneSelection, set.behaviors)) {
      shape.cells.push_back(b->name);
    }
    return shape;
  }
  if (IsImageMeasure(measure)) return shape;
  ZoneSet zones;
  LoadZoneSet(protocol, zones);
  for (const ZoneCell& cell :
       BuildZoneCells(zones, measure, report.definition.zoneSelection).cells) {
    shape.cells.push_back(CellLabel(cell));
  }
  return shape;
}

}  // namespace vx
