// The services the core asks of the world around it.
//
// The core never prints, prompts, reads the clock or touches the file system directly: it goes
// through these small interfaces. The command line implements them for a terminal; tests use
// the recording fakes of tests/support, which can also inject faults.
#pragma once

#include <cstdint>
#include <string>

namespace vx {

enum class MessageIcon { Information, Exclamation, Question, Stop };

// Shows a numbered message to the user (a message box in a desktop program).
class Notifier {
 public:
  virtual ~Notifier() = default;
  virtual void Notify(int messageId, const std::string& text, MessageIcon icon) = 0;
};

enum class Answer { Yes, No, Cancel };
enum class AskButtons { YesNo, YesNoCancel };

// Asks the user a numbered question.
class Asker {
 public:
  virtual ~Asker() = default;
  virtual Answer Ask(int messageId, const std::string& text, AskButtons buttons) = 0;
};

// Per-user settings, by section and key (sections such as "Units", "Webcams", "Config").
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual int GetInt(const std::string& section, const std::string& key, int fallback) const = 0;
  virtual std::string GetString(const std::string& section, const std::string& key,
                                const std::string& fallback) const = 0;
  virtual void SetInt(const std::string& section, const std::string& key, int value) = 0;
  virtual void SetString(const std::string& section, const std::string& key,
                         const std::string& value) = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual int64_t NowSeconds() const = 0;  // seconds since 1970, UTC
  virtual uint32_t TickMs() const = 0;     // milliseconds of a monotonic clock (wraps)
  virtual void SleepMs(int milliseconds) = 0;
};

// How a path's drive is reached: 0 unknown, 1 local, 2 network, 3 optical disc or other
// read-only medium.
enum class DriveKind { Unknown = 0, Local = 1, Network = 2, Optical = 3 };

// An advisory lock on a file: Held (handle set), Busy (another program holds it), Failed (the
// file could not be created or opened).
enum class FileLockResult { Held, Busy, Failed };

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual bool Exists(const std::string& path) const = 0;
  virtual bool IsDirectory(const std::string& path) const = 0;
  virtual bool CreateDirectories(const std::string& path) = 0;
  virtual bool CopyFile(const std::string& from, const std::string& to) = 0;  // overwrites
  virtual bool MoveFile(const std::string& from, const std::string& to) = 0;
  // Waits until a file's (or a folder's) contents are on the disk. Stand-ins that keep
  // nothing on a disk have nothing to wait for.
  virtual bool FlushToDisk(const std::string& /*path*/) { return true; }
  virtual bool RemoveFile(const std::string& path) = 0;
  virtual int64_t FileSize(const std::string& path) const = 0;  // -1 when missing
  virtual std::string TempFolder() const = 0;                   // ends with '/'
  virtual DriveKind DriveKindOf(const std::string& path) const = 0;
  // Nanoseconds since 1970 of the file's last write; -1 when missing.
  virtual int64_t ModifiedTimeNs(const std::string& path) const = 0;
  // Takes an exclusive advisory lock on path (created empty when missing) without waiting.
  // The lock stays on the file's contents while it is copied over (a copy rewrites the same
  // file), and ends with UnlockFile or with the process.
  virtual FileLockResult LockFile(const std::string& path, int& handle) = 0;
  virtual void UnlockFile(int handle) = 0;
  // Small text files (markers of operations in progress): the whole file at once.
  virtual bool ReadText(const std::string& path, std::string& text) const = 0;
  virtual bool WriteText(const std::string& path, const std::string& text) = 0;
};

// The bundle handed to the core. Every pointer is set; the program owns the objects.
struct Services {
  Notifier* notifier = nullptr;
  Asker* asker = nullptr;
  SettingsStore* settings = nullptr;
  Clock* clock = nullptr;
  FileSystem* files = nullptr;
};

}  // namespace vx
