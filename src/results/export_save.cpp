#include "results/export_save.h"

#include <cstdio>

#include "base/messages.h"
#include "base/text.h"
#include "results/delimited_text.h"
#include "results/workbook_files.h"

namespace vx {

namespace {

struct PathParts {
  std::string folder;  // with its final '/', or "" for the current folder
  std::string name;
};

PathParts Split(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return {"", path};
  return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

bool WriteTextFile(const std::string& path, const std::string& bytes, std::string* error) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    if (error) *error = "the file cannot be created";
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (!(written && closed) && error) *error = "the disk refused the text";
  return written && closed;
}

bool WriteAnyKind(const std::string& target, const std::string& path, const Workbook& book,
                  std::string* error) {
  const TextKind text = TextKindForPath(target);
  if (text != TextKind::None) {
    static const Sheet kEmpty("");
    return WriteTextFile(path, DelimitedText(book.sheets.empty() ? kEmpty : book.sheets[0], text),
                         error);
  }
  return WorkbookKindForPath(target) == WorkbookKind::Binary
             ? WriteBinaryWorkbook(path, book, error)
             : WriteXmlWorkbook(path, book, error);
}

}  // namespace

bool IsHeldOpen(const std::string& path, const FileSystem& files) {
  const PathParts parts = Split(path);
  return files.Exists(parts.folder + ".~lock." + parts.name + "#") ||
         files.Exists(parts.folder + "~$" + parts.name);
}

SaveStatus SaveExport(const std::string& path, const Workbook& book, const Services& services,
                      std::string* reason) {
  if (IsHeldOpen(path, *services.files)) {
    services.notifier->Notify(msg::kFileLocked, Format(MessageText(msg::kFileLocked), path.c_str()),
                              MessageIcon::Exclamation);
    if (reason) *reason = "another program holds it open";
    return SaveStatus::kLocked;
  }
  const std::string temporary = path + ".part";
  std::string error;
  bool saved = WriteAnyKind(path, temporary, book, &error);
  if (saved && !services.files->MoveFile(temporary, path)) {
    error = "the new file cannot take the old one's place";
    saved = false;
  }
  if (saved) return SaveStatus::kSaved;
  services.files->RemoveFile(temporary);
  services.notifier->Notify(msg::kExportWriteFailed, MessageText(msg::kExportWriteFailed),
                            MessageIcon::Exclamation);
  if (reason) *reason = error;
  return SaveStatus::kWriteFailed;
}

bool ReadExportWorkbook(const std::string& path, Workbook* book, std::string* error) {
  return WorkbookKindForPath(path) == WorkbookKind::Binary ? ReadBinaryWorkbook(path, book, error)
                                                           : ReadXmlWorkbook(path, book, error);
}

}  // namespace vx
