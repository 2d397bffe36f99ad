#include "gui_session.h"

#include "shell/recent_files.h"
#include "shell/window_title.h"

namespace vx::gui {

GuiSession::GuiSession(Services services, VideoProbe videoProbe)
    : services_(services),
      videoProbe_(std::move(videoProbe)),
      document_(std::make_unique<ExperimentDocument>(services, videoProbe_)) {}

GuiSession::~GuiSession() = default;

void GuiSession::Opened() {
  AddRecentFile(*services_.settings, document_->experiment.file.path);
  currentTest_ = experiment().tests.empty() ? -1 : experiment().tests.begin()->first;
  emit ExperimentChanged();
  emit CurrentTestChanged(currentTest_);
  emit TitleChanged();
}

DocumentResult GuiSession::Open(const std::string& path) {
  if (IsOpen()) emit Closing();
  const DocumentResult result = document_->OpenExperiment(path);
  if (result == DocumentResult::Ok) Opened();
  else emit ExperimentChanged();
  return result;
}

DocumentResult GuiSession::New(const std::string& path) {
  if (IsOpen()) emit Closing();
  const DocumentResult result = document_->NewExperiment(path);
  if (result == DocumentResult::Ok) Opened();
  return result;
}

bool GuiSession::Save() {
  const bool saved = document_->SaveExperiment();
  emit TitleChanged();
  return saved;
}

bool GuiSession::Close() {
  if (IsOpen()) emit Closing();
  if (!document_->CloseExperiment(true)) return false;
  currentTest_ = -1;
  emit ExperimentChanged();
  emit CurrentTestChanged(-1);
  emit TitleChanged();
  return true;
}

bool GuiSession::OpenForReading(const std::string& path) {
  ExperimentFile& file = document_->experiment.file;
  file.path = path;
  file.readOnly = true;
  if (!document_->experiment.LoadAll()) {
    document_->experiment.Clear();
    file.path.clear();
    return false;
  }
  currentTest_ = experiment().tests.empty() ? -1 : experiment().tests.begin()->first;
  emit ExperimentChanged();
  return true;
}

void GuiSession::SetCurrentTest(int testId) {
  if (testId == currentTest_) return;
  currentTest_ = testId;
  emit CurrentTestChanged(testId);
}

void GuiSession::NotifyRecordsChanged() {
  emit ExperimentChanged();
  emit TitleChanged();
}

std::string GuiSession::Title() const { return MainWindowTitle(*document_, VX_VERSION); }

}  // namespace vx::gui
