#include "context.h"

#include <filesystem>
#include <iostream>

#include "base/messages.h"
#include "base/text.h"
#include "db/experiment_db.h"
#include "document/experiment_document.h"
#include "video/video_probe.h"

namespace vx::cli {

namespace {

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::weakly_canonical(a, error) == std::filesystem::weakly_canonical(b, error);
}

}  // namespace

void TerminalNotifier::Notify(int messageId, const std::string& text, MessageIcon icon) {
  if (quiet && icon != MessageIcon::Exclamation && icon != MessageIcon::Stop) return;
  err_ << "velantrix: [" << messageId << "] " << text << '\n';
}

Answer TerminalAsker::Ask(int messageId, const std::string& text, AskButtons buttons) {
  if (const auto preset = presets.find(messageId); preset != presets.end()) return preset->second;
  if (assumeYes) return Answer::Yes;
  if (!io_.inIsTerminal) {
    unanswered = true;
    return Answer::Cancel;
  }
  const bool withCancel = buttons == AskButtons::YesNoCancel;
  io_.err << "[" << messageId << "] " << text << (withCancel ? " [y/n/c] " : " [y/n] ");
  io_.err.flush();
  std::string line;
  if (!std::getline(io_.in, line)) return Answer::Cancel;
  if (!line.empty() && (line[0] == 'y' || line[0] == 'Y')) return Answer::Yes;
  if (!line.empty() && (line[0] == 'n' || line[0] == 'N')) return Answer::No;
  return Answer::Cancel;
}

Context::Context(Io& terminal)
    : io(terminal),
      notifier(terminal.err),
      asker(terminal),
      settings(std::make_unique<IniSettingsStore>(
          terminal.settingsPath.empty() ? IniSettingsStore::DefaultPath() : terminal.settingsPath)),
      videoProbe([](const std::string& path, VideoFileFacts& facts,
                    const VideoProbeProgress& progress) {
        return ProbeVideoFile(path, facts, progress);
      }) {}

Services Context::services() {
  return {&notifier, &asker, settings.get(), &clock, &files};
}

ExperimentFile Context::Experiment(const std::string& path) {
  ExperimentFile file;
  file.path = path;
  file.services = services();
  file.videoProbe = videoProbe;
  if (document != nullptr && SameFile(path, document->experiment.file.path)) {
    file.workPath = document->experiment.file.workPath;
    file.workOnCopy = document->experiment.file.workOnCopy;
  }
  return file;
}

int Context::CheckExperimentFile(const std::string& path) {
  if (!files.Exists(path)) return FailMissing(path);
  ExperimentFile file = Experiment(path);
  SQLite::Database db;
  if (!OpenExperimentDb(db, file, {.readOnly = true, .checkType = true})) {
    return Fail(OpenFailureMessage(db.lastError(), path));
  }
  return kExitOk;
}

int Context::FailMissing(const std::string& path) { return Fail(Format(MessageText(msg::kFileMissing), path.c_str())); }

int Context::Fail(const std::string& text, int status) {
  io.err << "velantrix: " << text << '\n';
  return status;
}

}  // namespace vx::cli
