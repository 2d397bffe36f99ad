#include "batch_panel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "base/messages.h"
#include "batch_worker.h"
#include "gui_session.h"
#include "shell/batch_texts.h"
#include "table_headers.h"

namespace vx::gui {

namespace {
enum Column { kTitle, kProgress, kOutcome, kRate, kAttempts, kColumns };
}

BatchPanel::BatchPanel(GuiSession& session, QWidget* parent)
    : QWidget(parent),
      session_(session),
      table_(new QTableWidget(0, kColumns, this)),
      log_(new QPlainTextEdit(this)),
      overall_(new QProgressBar(this)),
      state_(new QLabel("No analysis running.", this)),
      cancel_(new QPushButton("Cancel", this)) {
  table_->setObjectName("batchTests");
  table_->setHorizontalHeaderLabels({"Test", "Progress", "Outcome", "Detection rate (%)", "Attempts"});
  table_->horizontalHeader()->setSectionResizeMode(kTitle, QHeaderView::Stretch);
  FitColumnsToHeadings(*table_->horizontalHeader());
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  log_->setObjectName("batchLog");
  log_->setReadOnly(true);
  log_->setPlaceholderText("The analysis log appears here.");
  cancel_->setObjectName("cancelBatch");
  cancel_->setEnabled(false);
  connect(cancel_, &QPushButton::clicked, this, &BatchPanel::Cancel);

  auto* split = new QSplitter(Qt::Vertical, this);
  split->addWidget(table_);
  split->addWidget(log_);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(state_, 1);
  bottom->addWidget(overall_, 2);
  bottom->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(split, 1);
  layout->addLayout(bottom);
}

BatchPanel::~BatchPanel() = default;

bool BatchPanel::Running() const { return worker_ && worker_->isRunning(); }

bool BatchPanel::Start(const std::vector<int>& testIds, const BatchOptions& options) {
  if (Running() || testIds.empty()) return false;
  worker_.reset();
  testIds_ = testIds;
  table_->setRowCount(static_cast<int>(testIds.size()));
  for (int row = 0; row < static_cast<int>(testIds.size()); ++row) {
    const CInfosTest* test = session_.experiment().FindTest(testIds[row]);
    const QString title = test ? QString::fromStdString(test->title) : QString("Test %1").arg(testIds[row]);
    table_->setItem(row, kTitle, new QTableWidgetItem(title));
    auto* bar = new QProgressBar(table_);
    bar->setRange(0, 100);
    bar->setValue(0);
    table_->setCellWidget(row, kProgress, bar);
    table_->setItem(row, kOutcome, new QTableWidgetItem("waiting"));
    table_->setItem(row, kRate, new QTableWidgetItem());
    table_->setItem(row, kAttempts, new QTableWidgetItem());
  }
  log_->clear();
  overall_->setValue(0);
  state_->setText(QString("Analysing %1 test(s)...").arg(testIds.size()));
  cancel_->setEnabled(true);
  BatchReports reports;
  reports.testProgress = [this](int position, int percent) { ShowTestProgress(position, percent); };
  reports.progress = [this](int percent) { overall_->setValue(percent); };
  reports.testDone = [this](const TestOutcome& outcome) { ShowOutcome(outcome); };
  reports.finished = [this](const BatchSummary& summary) { End(summary); };
  worker_ = std::make_unique<BatchWorker>(session_.experiment(), testIds, options, std::move(reports));
  worker_->start();
  return true;
}

void BatchPanel::Cancel() {
  if (!Running()) return;
  worker_->Cancel();
  cancel_->setEnabled(false);
  state_->setText("Cancelling: the test in progress will not be stored...");
}

void BatchPanel::ShowTestProgress(int position, int percent) {
  const int row = position - 1;
  if (auto* bar = qobject_cast<QProgressBar*>(table_->cellWidget(row, kProgress))) bar->setValue(percent);
  if (QTableWidgetItem* item = table_->item(row, kOutcome); item && percent < 100) item->setText("analysing");
}

void BatchPanel::ShowOutcome(const TestOutcome& outcome) {
  const int row = outcome.position - 1;
  if (row < 0 || row >= table_->rowCount()) return;
  const bool analysed = outcome.kind == TestOutcomeKind::kAnalysed;
  if (analysed) {
    if (auto* bar = qobject_cast<QProgressBar*>(table_->cellWidget(row, kProgress))) bar->setValue(100);
  }
  table_->item(row, kOutcome)->setText(QString::fromStdString(BatchOutcomeText(outcome.kind)));
  table_->item(row, kRate)->setText(analysed ? QString::number(outcome.ShownRate(), 'f', 2) : QString());
  table_->item(row, kAttempts)->setText(QString::fromStdString(AttemptsText(outcome)));
  for (const std::string& line : outcome.log) log_->appendPlainText(QString::fromStdString(line));
}

void BatchPanel::End(const BatchSummary& summary) {
  worker_->wait();
  // Tests never started (cancelled before their turn) say so.
  for (int row = static_cast<int>(summary.outcomes.size()); row < table_->rowCount(); ++row) {
    table_->item(row, kOutcome)->setText(QString::fromStdString(BatchOutcomeText(TestOutcomeKind::kCancelled)));
  }
  const int analysed = summary.Count(TestOutcomeKind::kAnalysed);
  QString text = QString("%1 test(s) analysed").arg(analysed);
  if (summary.Failed() > 0) text += QString(", %1 not").arg(summary.Failed());
  if (summary.cancelled) text = "Cancelled: the test in progress was not stored; " + text;
  state_->setText(text + ".");
  if (summary.cancelled) log_->appendPlainText(QString::fromStdString(MessageText(msg::kAnalysisCancelled)));
  cancel_->setEnabled(false);
  session_.experiment().LoadAll();
  session_.NotifyRecordsChanged();
  emit Finished(summary.cancelled);
}

}  // namespace vx::gui
