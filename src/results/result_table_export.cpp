#include "results/result_table_export.h"

#include <algorithm>
#include <charconv>

#include "base/messages.h"
#include "base/text.h"
#include "measures/measure_definition.h"
#include "reports/duration_format.h"
#include "reports/report_display.h"
#include "results/delimited_text.h"
#include "results/export_save.h"

namespace vx {

namespace {

constexpr int kTitleRow = 0;
constexpr int kMarkerRow = 1;
constexpr int kFirstTableRow = 2;
constexpr int kMaxHelpRequests = 10;

// Report values are kept in single precision: the cell takes the double of the float's shortest
// text (59.96, not 59.959999084472656), the number the result table shows.
double AsShown(double value) {
  const float single = static_cast<float>(value);
  if (static_cast<double>(single) != value) return value;
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, single);
  double shown = value;
  std::from_chars(text, end.ptr, shown);
  return shown;
}

// A report value as the spreadsheet keeps it: durations in the report's duration format.
void WriteValue(Sheet& sheet, int row, int column, const MeasureDefinition& d, double value) {
  const ResultNumber number = ResultValueNumber(d, AsShown(value));
  if (number.kind == ResultNumber::kNumber) sheet.WriteNumber(row, column, number.value);
  if (number.kind != ResultNumber::kDuration) return;
  const SheetDuration cell = SheetDurationCell(number.value, d.durationFormat);
  const double seconds = number.value * DurationSurfaceFactor(d.durationFormat);
  if (cell.numberFormat == std::string(kSheetDurationSeconds)) {
    sheet.WriteDuration(row, column, seconds, DurationFormat::WholeSeconds);
  } else if (cell.numberFormat == std::string(kSheetDurationMilliseconds)) {
    sheet.WriteDuration(row, column, seconds, DurationFormat::Milliseconds);
  } else {
    sheet.WriteNumber(row, column, cell.value);  // seconds shown as a number
  }
}

std::string AnimalName(const Experiment& experiment, int testId) {
  const auto test = experiment.tests.find(testId);
  if (test == experiment.tests.end()) return "";
  const CAnimal* animal = experiment.FindAnimal(test->second.idAnimal);
  return animal ? animal->name : "";
}

void CopyTable(Sheet& sheet, int firstRow, const Sheet& table) {
  for (int row = 0; row < table.RowCount(); ++row) {
    for (int column = 0; column < table.ColumnCount(); ++column) {
      const Cell& cell = table.CellAt(row, column);
      if (cell.kind != CellKind::Empty) sheet.WriteCell(firstRow + row, column, cell);
    }
  }
}

UpdateArea AreaOf(const Sheet& table, int firstRow) {
  return {1, firstRow, table.RowCount(), table.ColumnCount(), table.ColumnCount()};
}

Workbook NewWorkbook(const std::string& title, const Sheet& table) {
  Workbook book;
  Sheet& sheet = book.AddSheet(MessageText(msg::kDefaultSheetName));
  sheet.WriteText(kTitleRow, 0, title);
  sheet.WriteText(kMarkerRow, 0, UpdateMarkerText(AreaOf(table, kFirstTableRow)));
  CopyTable(sheet, kFirstTableRow, table);
  return book;
}

bool AnyCellIn(const Sheet& sheet, int firstRow, int lastRow, int firstColumn, int lastColumn) {
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int column = firstColumn; column <= lastColumn; ++column) {
      if (sheet.CellAt(row, column).kind != CellKind::Empty) return true;
    }
  }
  return false;
}

UpdateQuestion QuestionFor(const std::string& path, const Sheet& sheet, const UpdateArea& stored,
                           const Sheet& table) {
  UpdateQuestion question;
  question.path = path;
  question.text = MessageText(msg::kUpdateWorkbook);
  const int newRows = table.RowCount();
  const int areaEnd = stored.firstRow + stored.rows;  // the first row below the area
  question.rowsBelowMove = newRows != stored.rows && sheet.LastUsedRow() >= areaEnd;
  if (question.rowsBelowMove) {
    question.text += "\n\n";
    question.text += MessageText(newRows > stored.rows ? msg::kRowsBelowMoveDown : msg::kRowsBelowMoveUp);
  }
  // Rows the new table takes that were already rows of the area; beyond it rows are inserted.
  const int keptRows = std::min(newRows, stored.rows);
  question.cellsOutsideNotEmpty =
      table.ColumnCount() > stored.colsMax &&
      AnyCellIn(sheet, stored.firstRow, stored.firstRow + keptRows - 1, stored.colsMax,
                table.ColumnCount() - 1);
  if (question.cellsOutsideNotEmpty) {
    question.text += "\n\n";
    question.text += MessageText(msg::kCellsNotEmpty);
  }
  return question;
}

UpdateChoice AskUntilAnswered(const UpdateQuestion& question, const Services& services,
                              UpdateChooser& chooser) {
  for (int asked = 0; asked < kMaxHelpRequests; ++asked) {
    const UpdateChoice choice = chooser.Choose(question);
    if (choice != UpdateChoice::kHelp) return choice;
    services.notifier->Notify(msg::kUpdateHelp, MessageText(msg::kUpdateHelp),
                              MessageIcon::Information);
  }
  return UpdateChoice::kCancel;
}

ExportOutcome Save(const std::string& path, const Workbook& book, const Services& services,
                   bool updated) {
  ExportOutcome outcome;
  switch (SaveExport(path, book, services, &outcome.reason)) {
    case SaveStatus::kSaved:
      outcome.status = ExportStatus::kSaved;
      outcome.updated = updated;
      break;
    case SaveStatus::kLocked:
      outcome.status = ExportStatus::kLocked;
      break;
    case SaveStatus::kWriteFailed:
      outcome.status = ExportStatus::kWriteFailed;
      break;
  }
  return outcome;
}

ExportOutcome ExportText(const std::string& path, const Sheet& table, const Services& services) {
  if (services.files->Exists(path) &&
      services.asker->Ask(msg::kReplaceTextFile,
                          Format(MessageText(msg::kReplaceTextFile), path.c_str()),
                          AskButtons::YesNo) != Answer::Yes) {
    return {};
  }
  Workbook book;
  book.sheets.push_back(table);
  return Save(path, book, services, false);
}

}  // namespace

Sheet ResultTableSheet(const Experiment& experiment, const Report& report,
                       const std::vector<TestResult>& results, const ReportTable& table) {
  const MeasureDefinition& d = report.definition;
  Sheet sheet(report.name);
  const std::string unit = ResultValueUnit(d);
  int column = 0;
  for (const char* label : {"Id", "Test", "Animal"}) sheet.WriteText(0, column++, label);
  for (const ReportColumn& c : table.columns) {
    sheet.WriteText(0, column++, unit.empty() ? c.label : c.label + " ( " + unit + " )");
  }
  const bool events = d.measure == kMeasureEntryEvents;
  if (events) sheet.WriteText(0, column, "Entries");
  for (size_t i = 0; i < results.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    sheet.WriteNumber(row, 0, results[i].testId);
    sheet.WriteText(row, 1, results[i].title);
    sheet.WriteText(row, 2, AnimalName(experiment, results[i].testId));
    for (size_t c = 0; c < table.rows[i].size(); ++c) {
      if (table.rows[i][c]) WriteValue(sheet, row, 3 + static_cast<int>(c), d, *table.rows[i][c]);
    }
    if (events) sheet.WriteText(row, column, results[i].text.value_or(""));
  }
  return sheet;
}

void UpdateWorkbook(Workbook& book, const UpdateArea& stored, const Sheet& table) {
  if (book.sheets.empty()) book.AddSheet(MessageText(msg::kDefaultSheetName));
  Sheet& sheet = book.sheets[0];
  sheet.ClearArea(stored.firstRow, 0, stored.firstRow + stored.rows - 1, stored.colsMax - 1);
  const int grow = table.RowCount() - stored.rows;
  if (grow > 0) sheet.InsertRows(stored.firstRow + stored.rows, grow);
  if (grow < 0) sheet.RemoveRows(stored.firstRow + table.RowCount(), -grow);
  CopyTable(sheet, stored.firstRow, table);
  sheet.WriteText(kMarkerRow, 0, UpdateMarkerText(AreaOf(table, stored.firstRow)));
}

ExportOutcome ExportResultTable(const std::string& path, const std::string& title,
                                const Sheet& table, const Services& services,
                                UpdateChooser& chooser) {
  if (IsHeldOpen(path, *services.files)) return Save(path, Workbook(), services, false);
  if (TextKindForPath(path) != TextKind::None) return ExportText(path, table, services);
  if (!services.files->Exists(path)) return Save(path, NewWorkbook(title, table), services, false);

  Workbook existing;
  std::string error;
  if (!ReadExportWorkbook(path, &existing, &error)) {
    services.notifier->Notify(msg::kNotUpdatable,
                              Format(MessageText(msg::kNotUpdatable), path.c_str(), error.c_str()),
                              MessageIcon::Exclamation);
    return Save(path, NewWorkbook(title, table), services, false);
  }
  if (!IsUpdatableWorkbook(existing)) return Save(path, NewWorkbook(title, table), services, false);
  UpdateArea stored;
  if (!ParseUpdateMarker(existing.sheets[0].ReadText(kMarkerRow, 0), &stored)) {
    services.notifier->Notify(msg::kMarkerDamaged,
                              Format(MessageText(msg::kMarkerDamaged), path.c_str()),
                              MessageIcon::Exclamation);
    return Save(path, NewWorkbook(title, table), services, false);
  }
  const UpdateQuestion question = QuestionFor(path, existing.sheets[0], stored, table);
  switch (AskUntilAnswered(question, services, chooser)) {
    case UpdateChoice::kReplace:
      return Save(path, NewWorkbook(title, table), services, false);
    case UpdateChoice::kUpdate:
      UpdateWorkbook(existing, stored, table);
      return Save(path, existing, services, true);
    default:
      return {};
  }
}

}  // namespace vx
