#include "shell/window_title.h"

#include "base/messages.h"
#include "document/experiment_document.h"

namespace vx {

std::string MainWindowTitle(const ExperimentDocument& document, const std::string& version) {
  if (!document.IsOpen()) return "Velantrix " + version;
  const ExperimentFile& file = document.experiment.file;
  std::string title = GetDisplayName(file.path);
  if (file.workOnCopy && document.ModifiedSinceSave()) title += "*";
  if (file.readOnly) title += std::string(" ( ") + MessageText(msg::kReadOnly) + " )";
  return title + " - Velantrix";
}

}  // namespace vx
