#include "results_view.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "base/messages.h"
#include "base/text.h"
#include "gui_session.h"
#include "measures/measure_catalogue.h"
#include "measures/measure_names.h"
#include "record_table_model.h"
#include "reports/report_fields.h"
#include "result_rows.h"
#include "results/result_table_export.h"
#include "update_chooser_dialog.h"

namespace vx::gui {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Asks for a measure of the catalogue (by its label) and a name; false when cancelled.
bool AskNewReport(QWidget* parent, const CProtocol& protocol, Report& report) {
  QDialog dialog(parent);
  dialog.setWindowTitle("New report");
  auto* measure = new QComboBox(&dialog);
  for (int m = 0; m < kMeasureCount; ++m) {
    if (MeasureOffered(m, protocol.headDetection, -1)) measure->addItem(MeasureLabel(m), MeasureName(m));
  }
  auto* name = new QLineEdit(&dialog);
  name->setText(measure->currentText());
  QObject::connect(measure, &QComboBox::currentTextChanged, name, &QLineEdit::setText);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* form = new QFormLayout(&dialog);
  form->addRow("Measure", measure);
  form->addRow("Name", name);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted || name->text().trimmed().isEmpty()) return false;
  report.protocolId = protocol.id;
  report.name = name->text().trimmed().toStdString();
  return SetReportField(report.definition, protocol, "measure", measure->currentData().toString().toStdString())
      .empty();
}

class ResultsView : public QWidget {
 public:
  ResultsView(GuiSession& session, QWidget* parent)
      : QWidget(parent),
        session_(session),
        protocol_(new QComboBox(this)),
        report_(new QComboBox(this)),
        unit_(new QComboBox(this)),
        filter_(new QComboBox(this)),
        table_(new QTableView(this)),
        status_(new QLabel(this)) {
    protocol_->setObjectName("protocol");
    report_->setObjectName("report");
    unit_->setObjectName("unit");
    filter_->setObjectName("filter");
    table_->setObjectName("results");
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    auto* add = new QPushButton("New report...", this);
    auto* exportButton = new QPushButton("Export...", this);
    exportButton->setObjectName("export");
    auto* bar = new QHBoxLayout;
    const std::initializer_list<std::pair<const char*, QComboBox*>> boxes = {
        {"Protocol", protocol_}, {"Report", report_}, {"Unit", unit_}, {"Filter", filter_}};
    for (const auto& [label, box] : boxes) {
      bar->addWidget(new QLabel(label, this));
      bar->addWidget(box, 1);
    }
    bar->addWidget(add);
    bar->addWidget(exportButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(table_, 1);
    layout->addWidget(status_);

    connect(protocol_, &QComboBox::currentIndexChanged, this, &ResultsView::FillReports);
    connect(report_, &QComboBox::currentIndexChanged, this, &ResultsView::FillUnits);
    connect(unit_, &QComboBox::activated, this, &ResultsView::ChangeUnit);
    connect(filter_, &QComboBox::currentIndexChanged, this, &ResultsView::Refresh);
    connect(add, &QPushButton::clicked, this, &ResultsView::AddReport);
    connect(exportButton, &QPushButton::clicked, this, &ResultsView::Export);
    connect(&session_, &GuiSession::ExperimentChanged, this, &ResultsView::FillProtocols);
    FillProtocols();
  }

 private:
  const CProtocol* Protocol() { return session_.experiment().FindProtocol(protocol_->currentData().toInt()); }

  bool CurrentReport(Report& report) {
    return FindReport(session_.experiment(), report_->currentData().toInt(), report);
  }

  void FillProtocols() {
    const int kept = protocol_->currentData().toInt();
    const QSignalBlocker block(protocol_);
    protocol_->clear();
    for (const CProtocol& p : session_.experiment().protocols) protocol_->addItem(Q(p.name), p.id);
    protocol_->setCurrentIndex(std::max(0, protocol_->findData(kept)));
    FillReports();
  }

  void FillReports() {
    const int kept = report_->currentData().toInt();
    {
      const QSignalBlocker block(report_);
      const QSignalBlocker blockFilter(filter_);
      report_->clear();
      filter_->clear();
      filter_->addItem("(all tests)", -1);
      if (const CProtocol* protocol = Protocol()) {
        for (const Report& r : ProtocolReports(*protocol)) report_->addItem(Q(r.name), r.id);
        for (const FilterRow& f : protocol->filters) filter_->addItem(Q(f.name), f.id);
      }
      report_->setCurrentIndex(std::max(0, report_->findData(kept)));
    }
    FillUnits();
  }

  void FillUnits() {
    const QSignalBlocker block(unit_);
    unit_->clear();
    Report report;
    if (CurrentReport(report) && report.readable) {
      const int measure = report.definition.measure;
      for (const std::string& name : UnitNames(measure, report.definition.valueKind)) unit_->addItem(Q(name));
      const auto described = DescribeReport(report.definition, *Protocol());
      for (const auto& [field, value] : described) {
        if (field == "unit") unit_->setCurrentText(Q(value));
      }
    }
    unit_->setEnabled(unit_->count() > 0);
    Refresh();
  }

  void ChangeUnit() {
    Report report;
    const CProtocol* protocol = Protocol();
    if (!CurrentReport(report) || protocol == nullptr) return;
    if (!SetReportField(report.definition, *protocol, "unit", unit_->currentText().toStdString()).empty()) return;
    if (SaveReport(session_.experiment(), report)) session_.NotifyRecordsChanged();
  }

  void AddReport() {
    const CProtocol* protocol = Protocol();
    Report report;
    if (protocol == nullptr || !AskNewReport(this, *protocol, report)) return;
    if (!SaveReport(session_.experiment(), report)) return;
    session_.NotifyRecordsChanged();
    report_->setCurrentIndex(report_->findData(report.id));
  }

  void Refresh() {
    RecordTableModel* model = nullptr;
    Report report;
    if (!CurrentReport(report)) {
      run_ = ResultRun();
      model = new RecordTableModel({}, table_);
      status_->setText(report_->count() == 0 ? "This protocol has no report yet: make one with \"New report...\"." : "");
    } else {
      run_ = RunResults(session_.experiment(), report, filter_->currentData().toInt());
      model = new RecordTableModel(ResultHeaders(session_.experiment(), run_), table_);
      model->SetRows(ResultRows(session_.experiment(), run_));
      const std::string problem = ResultRunProblem(run_);
      status_->setText(!problem.empty() ? Q(problem)
                       : !run_.filterError.empty() ? Q(run_.filterError)
                       : QString("%1 test(s). %2").arg(run_.results.size()).arg(MeasureLabel(report.definition.measure)));
    }
    QAbstractItemModel* old = table_->model();
    table_->setModel(model);
    delete old;
    table_->resizeColumnsToContents();
  }

  void Export() {
    if (run_.status != ReportRunStatus::kOk) return;
    const QString path = QFileDialog::getSaveFileName(
        this, "Export the result table", QString(),
        "Excel workbook (*.xlsx);;Microsoft Excel 97 - 2003 (*.xls);;Text, tab-separated (*.txt);;CSV, \";\"-separated (*.csv)");
    if (!path.isEmpty()) ExportTo(path.toStdString());
  }

 public:
  // Writes the current table to path (the chooser asks about an earlier export there).
  ExportOutcome ExportTo(const std::string& path) {
    const Sheet sheet = ResultTableSheet(session_.experiment(), run_.report, run_.results, run_.table);
    UpdateChooserDialog chooser(this);
    const ExportOutcome outcome =
        ExportResultTable(path, "Velantrix - " + run_.report.name, sheet, session_.services(), chooser);
    if (outcome.status == ExportStatus::kWriteFailed) {
      session_.services().notifier->Notify(msg::kExportWriteFailed, MessageText(msg::kExportWriteFailed),
                                           MessageIcon::Exclamation);
    }
    if (outcome.status == ExportStatus::kSaved) status_->setText(Q(Format("Written to %s.", path.c_str())));
    return outcome;
  }

 private:
  GuiSession& session_;
  QComboBox* protocol_;
  QComboBox* report_;
  QComboBox* unit_;
  QComboBox* filter_;
  QTableView* table_;
  QLabel* status_;
  ResultRun run_;
};

}  // namespace

QWidget* MakeResultsView(GuiSession& session, int, QWidget* parent) { return new ResultsView(session, parent); }

}  // namespace vx::gui
