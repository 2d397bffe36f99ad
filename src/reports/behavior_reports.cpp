#include "reports/behavior_reports.h"

#include "measures/measure_definition.h"
#include "reports/report_definition.h"

namespace vx {

std::vector<int> BehaviorReportIds(const CProtocol& protocol) {
  std::vector<int> ids;
  for (const Report& report : ProtocolReports(protocol)) {
    if (report.readable && IsBehaviorMeasure(report.definition.measure)) ids.push_back(report.id);
  }
  return ids;
}

}  // namespace vx
