#include "tests_view.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "experiment_lists.h"
#include "gui_session.h"
#include "record_table_model.h"

namespace vx::gui {

namespace {

class TestsView : public QWidget {
 public:
  TestsView(GuiSession& session, QWidget* parent) : QWidget(parent), session_(session) {
    auto* layout = new QVBoxLayout(this);
    auto* split = new QSplitter(Qt::Vertical, this);
    auto* top = new QSplitter(Qt::Horizontal, split);
    protocols_ = AddList(top, "Protocols", ProtocolHeaders());
    animals_ = AddList(top, "Animals", AnimalHeaders());
    videos_ = AddList(top, "Videos", VideoHeaders());
    tests_ = AddList(split, "Tests", TestHeaders());
    split->setStretchFactor(1, 2);
    layout->addWidget(split);
    connect(&session_, &GuiSession::ExperimentChanged, this, &TestsView::Reload);
    Reload();
  }

 private:
  RecordTableModel* AddList(QSplitter* parent, const char* title, const QStringList& headers) {
    auto* box = new QGroupBox(title, parent);
    auto* boxLayout = new QVBoxLayout(box);
    auto* model = new RecordTableModel(headers, box);
    auto* table = new QTableView(box);
    table->setObjectName(QString(title).toLower());
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    boxLayout->addWidget(table);
    return model;
  }

  void Reload() {
    Experiment& experiment = session_.experiment();
    protocols_->SetRows(ProtocolRows(experiment));
    animals_->SetRows(AnimalRows(experiment));
    videos_->SetRows(VideoRows(experiment));
    tests_->SetRows(TestRows(experiment));
  }

  GuiSession& session_;
  RecordTableModel* protocols_;
  RecordTableModel* animals_;
  RecordTableModel* videos_;
  RecordTableModel* tests_;
};

}  // namespace

QWidget* MakeTestsView(GuiSession& session, int, QWidget* parent) { return new TestsView(session, parent); }

}  // namespace vx::gui
