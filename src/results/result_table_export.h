// Exporting a report's result table: to delimited text, to a new workbook, or into the same
// area of a workbook exported earlier (the update mode), keeping every cell around that area.
//
// Workbook layout (first sheet): A1 the title (it names this program, which makes the workbook
// updatable), A2 the update marker (update_marker.h), the table from row 3 on: a header row,
// then one row per test. Text files hold the table alone.
//
// Flow of ExportResultTable:
//   target held open by another program      -> refused (279), nothing asked, nothing written
//   ".csv" / ".txt" that exists              -> asked through the Asker (867); No: cancelled
//   workbook that exists and is updatable    -> asked through the UpdateChooser: Replace,
//                                               Update, Cancel, or Help (explained, asked again)
//   workbook with a damaged marker, or one that cannot be read -> replaced, with a warning
//   any other existing workbook              -> replaced (the user chose the file)
// Update clears the stored area, inserts or removes rows below it so that the new table fits
// at the stored first row (the rows below move with it), writes the table and a new marker.
#pragma once

#include <string>
#include <vector>

#include "base/platform.h"
#include "db/experiment.h"
#include "reports/report_definition.h"
#include "reports/report_result.h"
#include "reports/report_table.h"
#include "results/update_marker.h"
#include "results/workbook.h"

namespace vx {

// The table of a report run: "Id", "Test", "Animal", one column per (period, cell) with the
// values' unit in its label, and for the entry-event measure the events' text. Values are
// numbers in the report's units and durations in the report's duration format; a value the
// result table shows as "-" (a latency never reached) is an empty cell.
Sheet ResultTableSheet(const Experiment& experiment, const Report& report,
                       const std::vector<TestResult>& results, const ReportTable& table);

enum class UpdateChoice { kReplace, kUpdate, kCancel, kHelp };

struct UpdateQuestion {
  std::string path;
  std::string text;                   // message 868, with 898 or 899 and 903 when they apply
  bool rowsBelowMove = false;         // rows below the stored area hold cells that would move
  bool cellsOutsideNotEmpty = false;  // the new table would overwrite cells outside the area
};

// The four-button question of the update mode; a desktop program shows a box with the buttons
// of messages 900, 321, 901 and 902, the command line answers from its flags or the terminal.
class UpdateChooser {
 public:
  virtual ~UpdateChooser() = default;
  virtual UpdateChoice Choose(const UpdateQuestion& question) = 0;
};

enum class ExportStatus { kSaved, kCancelled, kLocked, kWriteFailed };

struct ExportOutcome {
  ExportStatus status = ExportStatus::kCancelled;
  bool updated = false;  // the workbook's earlier table was rewritten in place
  std::string reason;    // why a save failed
};

// title goes to A1 (it must name this program for later updates).
ExportOutcome ExportResultTable(const std::string& path, const std::string& title,
                                const Sheet& table, const Services& services,
                                UpdateChooser& chooser);

// The workbook an update makes of book (the stored area of its first sheet replaced by table).
// Exposed for tests; requires the area read from the book's marker.
void UpdateWorkbook(Workbook& book, const UpdateArea& stored, const Sheet& table);

}  // namespace vx
