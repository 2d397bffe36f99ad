// A report: a named measure definition attached to a protocol, stored as a row of Results
// (Name, Config). Running it gives one result per test of the protocol (report_runner.h).
//
// The Config text is the measure definition's (measure_definition.h); a text this program
// cannot read leaves the report unreadable, and such a report is never run.
#pragma once

#include <string>
#include <vector>

#include "measures/measure_definition.h"
#include "reports/report_result.h"
#include "db/experiment.h"

namespace vx {

struct Report {
  int id = -1;          // -1 until saved
  int protocolId = -1;
  std::string name;
  std::string config;   // as stored
  MeasureDefinition definition;
  bool readable = false;  // config holds a definition this program reads
};

// The report of a Results row of protocolId.
Report ReportFromRow(const ResultRow& row, int protocolId);

// The report with that id among the experiment's protocols; false when there is none.
bool FindReport(const Experiment& experiment, int id, Report& report);

// A protocol's reports, by id.
std::vector<Report> ProtocolReports(const CProtocol& protocol);

// Stores the report with the Config text of its definition: a new one (id -1) for its protocol
// (the new id is written back), or an update of name and definition, which drops the report's
// cached results. The protocol's list follows. False when the file could not be written (the
// report keeps its id).
bool SaveReport(Experiment& experiment, Report& report);

// What the report's results look like for the protocol: its definition and the cells of its
// zones (zone and movement measures) or behaviours (20 to 25).
ReportShape ShapeOfReport(const Report& report, const CProtocol& protocol);

}  // namespace vx
