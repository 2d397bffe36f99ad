// The main window: the File menu (new, open, recent files, save, close) and one page per view
// of the view table, rebuilt for each experiment; a page's view is built when it is first shown.
#pragma once

#include <QMainWindow>
#include <QTabWidget>

namespace vx::gui {

class GuiSession;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(GuiSession& session);

  // Opens path (after closing the current experiment, asking to save); brings the window to
  // the front. Used by the File menu and by a second start of the program.
  void OpenFile(const QString& path);
  QTabWidget* pages() { return pages_; }
  // Shows page index, building its view the first time.
  void ShowPage(int index) { pages_->setCurrentIndex(index); BuildPage(index); }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void FillRecentMenu();
  void RebuildPages();
  void BuildPage(int index);
  void NewExperiment();
  void OpenExperiment();

  GuiSession& session_;
  QTabWidget* pages_;
  QMenu* recentMenu_ = nullptr;
};

}  // namespace vx::gui
