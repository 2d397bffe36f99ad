#include "main_window.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QMenuBar>
#include <QVBoxLayout>

#include "gui_session.h"
#include "shell/recent_files.h"
#include "view_table.h"

namespace vx::gui {

namespace {
const char* const kFileFilter = "Velantrix database file (*.vxdb)";
}

MainWindow::MainWindow(GuiSession& session) : session_(session), pages_(new QTabWidget(this)) {
  setCentralWidget(pages_);
  connect(pages_, &QTabWidget::currentChanged, this, &MainWindow::BuildPage);
  BuildMenus();
  connect(&session_, &GuiSession::TitleChanged, this,
          [this] { setWindowTitle(QString::fromStdString(session_.Title())); });
  setWindowTitle(QString::fromStdString(session_.Title()));
  RebuildPages();
  resize(1200, 800);
}

void MainWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  file->addAction("&New experiment...", QKeySequence::New, this, &MainWindow::NewExperiment);
  file->addAction("&Open...", QKeySequence::Open, this, &MainWindow::OpenExperiment);
  recentMenu_ = file->addMenu("Recent experiments");
  connect(recentMenu_, &QMenu::aboutToShow, this, &MainWindow::FillRecentMenu);
  file->addAction("&Save", QKeySequence::Save, this, [this] { session_.Save(); });
  file->addAction("&Close", this, [this] {
    if (session_.Close()) RebuildPages();
  });
  file->addSeparator();
  file->addAction("E&xit", QKeySequence::Quit, this, &QWidget::close);
}

void MainWindow::FillRecentMenu() {
  recentMenu_->clear();
  for (const std::string& path : RecentFiles(*session_.services().settings)) {
    const QString shown = QString::fromStdString(path);
    recentMenu_->addAction(shown, this, [this, shown] { OpenFile(shown); });
  }
  if (recentMenu_->isEmpty()) recentMenu_->addAction("(none)")->setEnabled(false);
}

void MainWindow::RebuildPages() {
  while (pages_->count() > 0) {
    QWidget* page = pages_->widget(0);
    pages_->removeTab(0);
    delete page;
  }
  if (!session_.IsOpen()) return;
  // Each page is an empty holder until it is first shown: several pages open the test's video
  // or compute a report over every test, which opening an experiment should not wait for.
  const QSignalBlocker quiet(pages_);
  for (const ViewEntry& view : ViewTable()) {
    auto* holder = new QWidget(pages_);
    holder->setObjectName(view.name);
    (new QVBoxLayout(holder))->setContentsMargins(0, 0, 0, 0);
    pages_->addTab(holder, view.title);
  }
  BuildPage(pages_->currentIndex());
}

void MainWindow::BuildPage(int index) {
  QWidget* holder = pages_->widget(index);
  if (holder == nullptr || index >= static_cast<int>(ViewTable().size()) || holder->layout()->count() > 0) return;
  holder->layout()->addWidget(ViewTable()[index].make(session_, session_.currentTest(), holder));
}

void MainWindow::OpenFile(const QString& path) {
  if (!path.isEmpty()) {
    session_.Open(path.toStdString());
    RebuildPages();
  }
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

void MainWindow::NewExperiment() {
  QString path = QFileDialog::getSaveFileName(this, "New experiment", QString(), kFileFilter);
  if (path.isEmpty()) return;
  if (!path.endsWith(".vxdb")) path += ".vxdb";
  session_.New(path.toStdString());
  RebuildPages();
}

void MainWindow::OpenExperiment() {
  const QString path = QFileDialog::getOpenFileName(this, "Open an experiment", QString(), kFileFilter);
  if (!path.isEmpty()) OpenFile(path);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (session_.IsOpen() && !session_.Close()) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace vx::gui
