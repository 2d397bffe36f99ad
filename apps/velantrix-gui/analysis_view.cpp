#include "analysis_view.h"

#include <QDateTime>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>

#include "analysis/analysis_facts.h"
#include "analysis/analysis_trust.h"
#include "analysis/test_stage_program.h"
#include "batch_panel.h"
#include "gui_session.h"
#include "record_table_model.h"
#include "table_headers.h"

namespace vx::gui {

namespace {

std::vector<RecordTableModel::Row> AnalysisRows(Experiment& experiment) {
  std::vector<RecordTableModel::Row> rows;
  for (const auto& [id, test] : experiment.tests) {
    const auto video = experiment.videos.find(test.source);
    const CVideoFile* file = video != experiment.videos.end() ? &video->second : nullptr;
    const AnalysisFacts facts = ReadAnalysisFacts(test, file);
    QStringList cells{QString::number(id), QString::fromStdString(test.title),
                      file ? QString::fromStdString(file->name) : QString("(no video)")};
    if (facts.analysed) {
      cells << QDateTime::fromSecsSinceEpoch(test.dateAnalyse).toString("yyyy-MM-dd hh:mm")
            << (facts.detectionRate >= 0 ? QString::number(facts.detectionRate, 'f', 2) : QString())
            << QString::number(facts.framesAnalysed);
    } else {
      cells << "not analysed" << QString() << QString();
    }
    rows.push_back({id, cells});
  }
  return rows;
}

class AnalysisView : public QWidget {
 public:
  AnalysisView(GuiSession& session, QWidget* parent)
      : QWidget(parent),
        session_(session),
        model_(new RecordTableModel({"Id", "Test", "Video", "Analysed", "Detection rate (%)", "Frames"}, this)),
        table_(new QTableView(this)),
        minRate_(new QSpinBox(this)),
        jobs_(new QSpinBox(this)),
        batch_(new BatchPanel(session, this)) {
    table_->setObjectName("analysisTests");
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    FitColumnsToHeadings(*table_->horizontalHeader());
    minRate_->setRange(0, 100);
    minRate_->setValue(static_cast<int>(kDefaultMinimumRate));
    minRate_->setSuffix(" %");
    minRate_->setToolTip("Below this detection rate the test is tried again with the settings of the other "
                         "tests of the same video, and the best result is kept (0: never retry)");
    jobs_->setRange(1, std::max(1, QThread::idealThreadCount()));
    jobs_->setValue(jobs_->maximum());
    jobs_->setToolTip("Tests analysed at once");

    auto* selected = new QPushButton("Analyse the selected tests", this);
    selected->setObjectName("analyseSelected");
    auto* pending = new QPushButton("Analyse the tests not analysed", this);
    pending->setObjectName("analysePending");
    connect(selected, &QPushButton::clicked, this, [this] { Analyse(SelectedTests()); });
    connect(pending, &QPushButton::clicked, this, [this] { Analyse(UnanalysedTests(session_.experiment())); });

    auto* options = new QHBoxLayout;
    options->addWidget(new QLabel("Retry below a detection rate of", this));
    options->addWidget(minRate_);
    options->addSpacing(16);
    options->addWidget(new QLabel("Tests at once", this));
    options->addWidget(jobs_);
    options->addStretch(1);
    options->addWidget(selected);
    options->addWidget(pending);

    auto* top = new QWidget(this);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(table_, 1);
    topLayout->addLayout(options);
    auto* box = new QGroupBox("Batch analysis", this);
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->addWidget(batch_);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(top);
    split->addWidget(box);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split);

    connect(&session_, &GuiSession::ExperimentChanged, this, &AnalysisView::Reload);
    Reload();
  }

  BatchPanel* batch() { return batch_; }

 private:
  void Reload() { model_->SetRows(AnalysisRows(session_.experiment())); }

  std::vector<int> SelectedTests() const {
    std::vector<int> ids;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows()) ids.push_back(model_->IdAt(index.row()));
    std::sort(ids.begin(), ids.end());
    return ids;
  }

  void Analyse(const std::vector<int>& ids) {
    BatchOptions options;
    options.minimumRate = static_cast<float>(minRate_->value());
    options.jobs = jobs_->value();
    options.programFactory = StageProgramFactory(session_.experiment().fields);
    batch_->Start(ids, options);
  }

  GuiSession& session_;
  RecordTableModel* model_;
  QTableView* table_;
  QSpinBox* minRate_;
  QSpinBox* jobs_;
  BatchPanel* batch_;
};

}  // namespace

QWidget* MakeAnalysisView(GuiSession& session, int, QWidget* parent) { return new AnalysisView(session, parent); }

}  // namespace vx::gui
