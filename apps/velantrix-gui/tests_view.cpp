#include "tests_view.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <functional>

#include "db/test_analysis_store.h"
#include "db/video_store.h"
#include "experiment_lists.h"
#include "gui_session.h"
#include "record_dialogs.h"
#include "record_table_model.h"
#include "shell/protocol_setup.h"
#include "shell/record_deletion.h"

namespace vx::gui {

namespace {

// One list of the page with its Add, Edit and Delete buttons.
struct RecordList {
  RecordKind kind;
  RecordTableModel* model = nullptr;
  QTableView* table = nullptr;

  int SelectedId() const {
    const QModelIndexList rows = table->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : model->IdAt(rows.front().row());
  }
};

class TestsView : public QWidget {
 public:
  TestsView(GuiSession& session, QWidget* parent) : QWidget(parent), session_(session) {
    auto* layout = new QVBoxLayout(this);
    auto* split = new QSplitter(Qt::Vertical, this);
    auto* top = new QSplitter(Qt::Horizontal, split);
    protocols_ = AddList(top, "Protocols", ProtocolHeaders(), RecordKind::kProtocol);
    animals_ = AddList(top, "Animals", AnimalHeaders(), RecordKind::kAnimal);
    videos_ = AddList(top, "Videos", VideoHeaders(), RecordKind::kVideo);
    tests_ = AddList(split, "Tests", TestHeaders(), RecordKind::kTest);
    split->setStretchFactor(1, 2);
    layout->addWidget(split);
    connect(tests_.table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { if (tests_.SelectedId() >= 0) session_.SetCurrentTest(tests_.SelectedId()); });
    connect(&session_, &GuiSession::ExperimentChanged, this, &TestsView::Reload);
    Reload();
  }

 private:
  RecordList AddList(QSplitter* parent, const char* title, const QStringList& headers, RecordKind kind) {
    auto* box = new QGroupBox(title, parent);
    auto* boxLayout = new QVBoxLayout(box);
    RecordList list{kind, new RecordTableModel(headers, box), new QTableView(box)};
    list.table->setObjectName(QString(title).toLower());
    list.table->setModel(list.model);
    list.table->setSelectionBehavior(QAbstractItemView::SelectRows);
    list.table->setSelectionMode(QAbstractItemView::SingleSelection);
    list.table->verticalHeader()->hide();
    list.table->horizontalHeader()->setStretchLastSection(true);
    boxLayout->addWidget(list.table);
    auto* buttons = new QHBoxLayout;
    for (const char* action : {"Add", "Edit", "Delete"}) {
      auto* button = new QPushButton(action, box);
      button->setObjectName(QString(title).toLower() + action);
      buttons->addWidget(button);
      const std::string which = action;
      connect(button, &QPushButton::clicked, this, [this, kind, which] { Act(kind, which); });
    }
    buttons->addStretch(1);
    boxLayout->addLayout(buttons);
    connect(list.table, &QTableView::doubleClicked, this, [this, kind] { Act(kind, "Edit"); });
    return list;
  }

  const RecordList& ListOf(RecordKind kind) const {
    switch (kind) {
      case RecordKind::kProtocol: return protocols_;
      case RecordKind::kAnimal: return animals_;
      case RecordKind::kVideo: return videos_;
      case RecordKind::kTest: break;
    }
    return tests_;
  }

  void Act(RecordKind kind, const std::string& action) {
    if (!session_.IsOpen()) return;
    const int id = ListOf(kind).SelectedId();
    if (action == "Delete") return Delete(kind, id);
    if (action == "Edit" && id < 0) return;
    Experiment& experiment = session_.experiment();
    std::unique_ptr<QDialog> dialog;
    switch (kind) {
      case RecordKind::kProtocol:
        dialog = std::make_unique<ProtocolDialog>(this, experiment, id < 0 || action == "Add" ? NewProtocol("") : *experiment.FindProtocol(id));
        break;
      case RecordKind::kAnimal:
        dialog = std::make_unique<AnimalDialog>(this, experiment, action == "Add" ? CAnimal() : *experiment.FindAnimal(id));
        break;
      case RecordKind::kVideo:
        if (action == "Add") return AddVideo();
        dialog = std::make_unique<VideoDialog>(this, experiment, *experiment.FindVideo(id));
        break;
      case RecordKind::kTest:
        dialog = std::make_unique<TestDialog>(this, experiment, action == "Add" ? CInfosTest() : *experiment.FindTest(id));
        break;
    }
    if (dialog->exec() == QDialog::Accepted) session_.NotifyRecordsChanged();
  }

  void Delete(RecordKind kind, int id) {
    if (id < 0) return;
    const std::string refusal = DeletionRefusal(session_.experiment(), kind, id);
    if (!refusal.empty()) {
      QMessageBox::information(this, "Velantrix", QString::fromStdString(refusal));
      return;
    }
    if (QMessageBox::question(this, "Velantrix", QString("Delete record %1?").arg(id)) != QMessageBox::Yes) return;
    if (!DeleteRecord(session_.experiment(), kind, id)) {
      QMessageBox::warning(this, "Velantrix", "The record could not be deleted; the experiment is unchanged.");
    }
    session_.NotifyRecordsChanged();
  }

  void AddVideo() {
    const QString path = QFileDialog::getOpenFileName(this, "Add a video", QString(),
                                                      "Videos (*.mp4 *.avi *.mov *.mkv *.mpg *.wmv *.vxf);;All files (*)");
    if (path.isEmpty()) return;
    VideoFileFacts facts;
    const VideoProbe& probe = session_.videoProbe();
    if (!probe || !probe(path.toStdString(), facts, {})) {
      QMessageBox::warning(this, "Velantrix", QString("'%1' is not a video file that can be read.").arg(path));
      return;
    }
    Experiment& experiment = session_.experiment();
    CVideoFile video = VideoRecordOf(experiment.file, QFileInfo(path).absoluteFilePath().toStdString(), facts,
                                     QFileInfo(path).fileName().toStdString(), session_.services().clock->NowSeconds());
    if (!SaveVideo(experiment, video)) {
      QMessageBox::warning(this, "Velantrix", "The video could not be added; the experiment is unchanged.");
    }
    session_.NotifyRecordsChanged();
  }

  void Reload() {
    Experiment& experiment = session_.experiment();
    protocols_.model->SetRows(ProtocolRows(experiment));
    animals_.model->SetRows(AnimalRows(experiment));
    videos_.model->SetRows(VideoRows(experiment));
    tests_.model->SetRows(TestRows(experiment));
    const int row = tests_.model->RowOf(session_.currentTest());
    if (row >= 0) tests_.table->selectRow(row);
  }

  GuiSession& session_;
  RecordList protocols_, animals_, videos_, tests_;
};

}  // namespace

QWidget* MakeTestsView(GuiSession& session, int, QWidget* parent) { return new TestsView(session, parent); }

}  // namespace vx::gui
