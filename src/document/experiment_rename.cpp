#include "document/experiment_rename.h"

#include <utility>
#include <vector>

#include "base/messages.h"
#include "base/text.h"
#include "document/experiment_document.h"

namespace vx {

namespace {

constexpr int kRenameMoveFailed = 794;  // same text as 793

std::string RenameMarker(const std::string& path) { return path + ".renaming~"; }

// The moves of a rename from path to newPath, in the order they are made; the file's own move
// comes last and decides whether the rename happened.
std::vector<std::pair<std::string, std::string>> RenameMoves(const std::string& path, const std::string& workPath,
                                                             const std::string& newPath, const std::string& newWork) {
  std::vector<std::pair<std::string, std::string>> moves;
  std::string folder = GetCompanionFolder(path), newFolder = GetCompanionFolder(newPath);
  folder.pop_back(), newFolder.pop_back();  // a folder is renamed by its name, without '/'
  moves.emplace_back(folder, newFolder);
  if (!workPath.empty()) moves.emplace_back(workPath, newWork);
  moves.emplace_back(path, newPath);
  return moves;
}

std::string NewWorkingCopy(const std::string& workPath, const std::string& path, const std::string& newPath) {
  if (workPath.empty()) return "";
  // Beside the file the copy is the path with its last character replaced; in the temporary
  // folder it is the file name followed by "~".
  if (GetExperimentFolderOf(workPath) == GetExperimentFolderOf(path)) return newPath.substr(0, newPath.size() - 1) + "~";
  return GetExperimentFolderOf(workPath) + newPath.substr(GetExperimentFolderOf(newPath).size()) + "~";
}

}  // namespace

bool RenameExperimentFiles(ExperimentFile& file, const std::string& newName) {
  FileSystem& files = *file.services.files;
  Notifier& notifier = *file.services.notifier;
  if (newName.empty() || newName == GetDisplayName(file.path)) return true;
  const std::string newPath = Format("%s%s.vxdb", GetExperimentFolderOf(file.path).c_str(), newName.c_str());
  const std::string newWork = NewWorkingCopy(file.workPath, file.path, newPath);
  std::string newFolder = GetCompanionFolder(newPath);
  if (newName.find('/') != std::string::npos || files.Exists(newPath) || (!newWork.empty() && files.Exists(newWork)) ||
      files.Exists(newFolder)) {
    notifier.Notify(msg::kCannotRename, MessageText(msg::kCannotRename), MessageIcon::Exclamation);
    return false;
  }
  const auto moves = RenameMoves(file.path, files.Exists(file.workPath) ? file.workPath : "", newPath, newWork);
  if (!files.WriteText(RenameMarker(file.path), newPath)) {
    notifier.Notify(kRenameMoveFailed, MessageText(msg::kCannotRename), MessageIcon::Exclamation);
    return false;
  }
  for (size_t made = 0; made < moves.size(); ++made) {
    const auto& [from, to] = moves[made];
    if (!files.Exists(from) || files.MoveFile(from, to)) continue;
    while (made-- > 0) files.MoveFile(moves[made].second, moves[made].first);
    files.RemoveFile(RenameMarker(file.path));
    notifier.Notify(kRenameMoveFailed, MessageText(msg::kCannotRename), MessageIcon::Exclamation);
    return false;
  }
  files.RemoveFile(RenameMarker(file.path));
  file.path = newPath;
  if (!file.workPath.empty()) file.workPath = newWork;
  return true;
}

void FinishInterruptedRename(ExperimentFile& file, const std::string& path) {
  FileSystem& files = *file.services.files;
  std::string newPath;
  if (!files.ReadText(RenameMarker(path), newPath) || newPath.empty()) return;
  const bool fileMoved = !files.Exists(path) && files.Exists(newPath);
  const std::string workPath = GetWorkingCopyPath(path, files.DriveKindOf(path), files.TempFolder());
  for (const auto& [from, to] : RenameMoves(path, workPath, newPath, NewWorkingCopy(workPath, path, newPath))) {
    if (from == path) continue;
    const std::string& now = fileMoved ? from : to;
    const std::string& wanted = fileMoved ? to : from;
    if (files.Exists(now) && !files.Exists(wanted)) files.MoveFile(now, wanted);
  }
  files.RemoveFile(RenameMarker(path));
}

}  // namespace vx
