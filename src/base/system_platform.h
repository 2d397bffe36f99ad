// The real clock and file system of a POSIX machine.
#pragma once

#include "base/platform.h"

namespace vx {

class SystemClock : public Clock {
 public:
  int64_t NowSeconds() const override;
  uint32_t TickMs() const override;
  void SleepMs(int milliseconds) override;
};

class SystemFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) const override;
  bool IsDirectory(const std::string& path) const override;
  bool CreateDirectories(const std::string& path) override;
  bool CopyFile(const std::string& from, const std::string& to) override;
  bool MoveFile(const std::string& from, const std::string& to) override;
  bool FlushToDisk(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  int64_t FileSize(const std::string& path) const override;
  std::string TempFolder() const override;
  DriveKind DriveKindOf(const std::string& path) const override;
  int64_t ModifiedTimeNs(const std::string& path) const override;
  FileLockResult LockFile(const std::string& path, int& handle) override;
  void UnlockFile(int handle) override;
  bool ReadText(const std::string& path, std::string& text) const override;
  bool WriteText(const std::string& path, const std::string& text) override;
};

}  // namespace vx
