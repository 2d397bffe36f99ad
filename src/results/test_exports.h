// A test's data as sheets: its behaviour events, its analysis, its trajectory.
//
// A workbook gets one sheet per behaviour of the test's protocol (named after it, occurrences
// with start, end and duration as "[h]:mm:ss.000" durations); delimited text holds one table,
// so the events of every behaviour go there with the behaviour's name in a first column.
// A trajectory longer than a sheet's rows (1 048 576 in ".xlsx", 65 536 in ".xls") continues on
// further sheets "Trajectory (2)", "Trajectory (3)"..., each with its header: never cut.
#pragma once

#include <string>

#include "db/experiment.h"
#include "results/workbook.h"
#include "trajectory/display_units.h"

namespace vx {

// What a target file can take: one table or several sheets, and how many rows a sheet holds.
struct ExportShape {
  bool singleTable = false;  // delimited text
  int maxRows = 0;           // rows of a sheet, header included
};
ExportShape ShapeForPath(const std::string& path);

enum class TestExportStatus {
  kOk,
  kNoTest,          // no test of that id
  kNoProtocol,      // the test's protocol is gone (events)
  kNoBehaviour,     // the behaviour asked for is not one of the protocol's
  kNotAnalysed,     // nothing to export (analysis, trajectory)
  kReadFailed,      // the file could not be read
  kCorrupt,         // the stored trajectory or behaviours are damaged
};

// behaviourId -1: every behaviour of the protocol.
TestExportStatus BehaviourEventsBook(Experiment& experiment, int testId, int behaviourId,
                                     const ExportShape& shape, Workbook* book);
TestExportStatus AnalysisBook(Experiment& experiment, int testId, const DisplayUnits& units,
                              Workbook* book);
TestExportStatus TrajectoryBook(Experiment& experiment, int testId, const ExportShape& shape,
                                Workbook* book);

}  // namespace vx
