// What every window of the desktop application shares: the platform services, the experiment
// document (the one open experiment and its lists) and the test the user is looking at.
// Belongs to the interface thread.
#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "base/platform.h"
#include "document/experiment_document.h"

namespace vx::gui {

class GuiSession : public QObject {
  Q_OBJECT

 public:
  GuiSession(Services services, VideoProbe videoProbe);
  ~GuiSession() override;

  Services& services() { return services_; }
  const VideoProbe& videoProbe() const { return videoProbe_; }
  ExperimentDocument& document() { return *document_; }
  Experiment& experiment() { return document_->experiment; }
  bool IsOpen() const { return document_->IsOpen(); }

  // Through the experiment document (working copy, lock, recovery, questions); a file that
  // opens goes first in the recent files.
  DocumentResult Open(const std::string& path);
  DocumentResult New(const std::string& path);
  bool Save();
  // False when the user cancelled the question to save.
  bool Close();
  // For renderings by scripts: straight on the file, read-only (nothing is written, no working
  // copy, no lock), so that several can run on one experiment at once. False when unreadable.
  bool OpenForReading(const std::string& path);

  int currentTest() const { return currentTest_; }
  void SetCurrentTest(int testId);
  // The records changed (a view stored something): views reload from the lists.
  void NotifyRecordsChanged();
  std::string Title() const;

 signals:
  void Closing();            // the open experiment is about to be closed (or replaced)
  void ExperimentChanged();  // opened, closed, or records changed
  void CurrentTestChanged(int testId);
  void TitleChanged();

 private:
  void Opened();

  Services services_;
  VideoProbe videoProbe_;
  std::unique_ptr<ExperimentDocument> document_;
  int currentTest_ = -1;
};

}  // namespace vx::gui
