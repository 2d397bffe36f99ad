// The batch window's contents: one row per test of the batch with its progress, outcome,
// detection rate and attempts (retries with other settings), the batch's log, its overall
// progress and the Cancel button. Runs a BatchWorker; the interface stays responsive.
#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "analysis/batch_analysis.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace vx::gui {

class BatchWorker;
class GuiSession;

class BatchPanel : public QWidget {
  Q_OBJECT

 public:
  BatchPanel(GuiSession& session, QWidget* parent = nullptr);
  ~BatchPanel() override;

  // Starts analysing testIds (in that order); false when a batch is already running or the
  // list is empty.
  bool Start(const std::vector<int>& testIds, const BatchOptions& options);
  bool Running() const;
  void Cancel();

 signals:
  // After the batch ended and the session's lists were reloaded from the file.
  void Finished(bool cancelled);

 private:
  void ShowTestProgress(int position, int percent);
  void ShowOutcome(const TestOutcome& outcome);
  void End(const BatchSummary& summary);

  GuiSession& session_;
  std::unique_ptr<BatchWorker> worker_;
  std::vector<int> testIds_;
  QTableWidget* table_;
  QPlainTextEdit* log_;
  QProgressBar* overall_;
  QLabel* state_;
  QPushButton* cancel_;
};

}  // namespace vx::gui
