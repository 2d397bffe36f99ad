#include "base/system_platform.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace vx {

namespace fs = std::filesystem;

int64_t SystemClock::NowSeconds() const {
  using namespace std::chrono;
  return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

uint32_t SystemClock::TickMs() const {
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SystemClock::SleepMs(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool SystemFileSystem::Exists(const std::string& path) const {
  std::error_code error;
  return !path.empty() && fs::exists(path, error);
}

bool SystemFileSystem::IsDirectory(const std::string& path) const {
  std::error_code error;
  return fs::is_directory(path, error);
}

bool SystemFileSystem::CreateDirectories(const std::string& path) {
  std::error_code error;
  fs::create_directories(path, error);
  return fs::is_directory(path, error);
}

namespace {

// Closes a descriptor on every way out of a function.
struct Descriptor {
  int fd;
  explicit Descriptor(int value) : fd(value) {}
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
};

// Copies in the kernel: no byte passes through this process, and a file system that shares
// blocks between files (btrfs, XFS) makes the copy without copying them at all.
bool CopyContents(int in, int out, off_t size) {
  off_t copied = 0;
  while (copied < size) {
    const ssize_t step = copy_file_range(in, nullptr, out, nullptr, static_cast<size_t>(size - copied), 0);
    if (step < 0 && errno == EINTR) continue;
    if (step <= 0) return false;
    copied += step;
  }
  return true;
}

}  // namespace

// Experiment files reach hundreds of megabytes and are copied twice per change (to the working
// copy and back), so the copy asks the file system to share blocks first, then copies in the
// kernel. The target is rewritten in place (same file, not a new one) so that a lock held on
// it stays on it.
bool SystemFileSystem::CopyFile(const std::string& from, const std::string& to) {
  const Descriptor in(open(from.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat status {};
  if (in.fd < 0 || fstat(in.fd, &status) != 0 || !S_ISREG(status.st_mode)) return false;
  const Descriptor out(open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  // The copy keeps the original's permissions: a private experiment stays private.
  if (out.fd < 0 || fchmod(out.fd, status.st_mode & 07777) != 0) return false;
#ifdef FICLONE
  if (ioctl(out.fd, FICLONE, in.fd) == 0) return true;
#endif
  if (CopyContents(in.fd, out.fd, status.st_size)) return true;
  // Kernels and file systems without an in-kernel copy: the library's own copy.
  std::error_code error;
  return fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
}

// A save is only done when its bytes are on the disk: renaming a file whose contents are still
// in memory over the experiment would leave an empty experiment after a power cut.
bool SystemFileSystem::FlushToDisk(const std::string& path) {
  const Descriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  return file.fd >= 0 && fsync(file.fd) == 0;
}

bool SystemFileSystem::MoveFile(const std::string& from, const std::string& to) {
  std::error_code error;
  fs::rename(from, to, error);
  return !error;
}

bool SystemFileSystem::RemoveFile(const std::string& path) {
  std::error_code error;
  return fs::remove(path, error);
}

int64_t SystemFileSystem::FileSize(const std::string& path) const {
  std::error_code error;
  const auto size = fs::file_size(path, error);
  return error ? -1 : static_cast<int64_t>(size);
}

std::string SystemFileSystem::TempFolder() const {
  std::error_code error;
  std::string folder = fs::temp_directory_path(error).string();
  if (error || folder.empty()) folder = "/tmp";
  if (folder.back() != '/') folder += '/';
  return folder;
}

namespace {

// The file-system type that /proc/self/mounts gives for the mount holding path ("fuse.sshfs"),
// or "" when it cannot be told. FUSE file systems all share one magic number, so the type name
// is the only way to tell sshfs from a local FUSE file system.
std::string MountType(const fs::path& path) {
  std::ifstream mounts("/proc/self/mounts");
  std::string line, best, bestType;
  const std::string target = path.string();
  while (std::getline(mounts, line)) {
    std::istringstream words(line);
    std::string device, point, type;
    if (!(words >> device >> point >> type)) continue;
    const bool inside = target.compare(0, point.size(), point) == 0 &&
                        (point == "/" || target.size() == point.size() || target[point.size()] == '/');
    if (inside && point.size() >= best.size()) best = point, bestType = type;
  }
  return bestType;
}

}  // namespace

DriveKind SystemFileSystem::DriveKindOf(const std::string& path) const {
  // Network file systems and optical discs are recognised by their file-system magic numbers;
  // a medium mounted read-only is treated as a disc (nothing can be written beside the file);
  // everything else that can be queried is a local disk.
  constexpr long kNfs = 0x6969, kSmb = 0x517B, kCifs = static_cast<long>(0xFF534D42),
                 kSmb2 = static_cast<long>(0xFE534D42), kIso9660 = 0x9660,
                 kUdf = 0x15013346, kFuse = 0x65735546;
  std::error_code error;
  fs::path probe = fs::absolute(path, error);
  while (!probe.empty() && !fs::exists(probe, error) && probe.has_parent_path() &&
         probe != probe.parent_path()) {
    probe = probe.parent_path();
  }
  struct statfs info {};
  if (probe.empty() || statfs(probe.c_str(), &info) != 0) return DriveKind::Unknown;
  const long type = static_cast<long>(info.f_type);
  if (type == kNfs || type == kSmb || type == kCifs || type == kSmb2)
    return DriveKind::Network;
  if (type == kFuse && MountType(probe).rfind("fuse.sshfs", 0) == 0) return DriveKind::Network;
  if (type == kIso9660 || type == kUdf || (info.f_flags & ST_RDONLY) != 0) return DriveKind::Optical;
  return DriveKind::Local;
}

int64_t SystemFileSystem::ModifiedTimeNs(const std::string& path) const {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return -1;
  return static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

FileLockResult SystemFileSystem::LockFile(const std::string& path, int& handle) {
  // A holder that is closing removes the file while it still holds the lock; a lock taken on a
  // file that has just been removed or replaced protects nothing, so it is taken again on the
  // file now at path.
  for (int attempt = 0; attempt < 5; ++attempt) {
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return FileLockResult::Failed;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const bool busy = errno == EWOULDBLOCK;
      close(fd);
      return busy ? FileLockResult::Busy : FileLockResult::Failed;
    }
    struct stat held {}, current {};
    if (fstat(fd, &held) == 0 && stat(path.c_str(), &current) == 0 &&
        held.st_ino == current.st_ino && held.st_dev == current.st_dev) {
      handle = fd;
      return FileLockResult::Held;
    }
    close(fd);
  }
  return FileLockResult::Busy;
}

void SystemFileSystem::UnlockFile(int handle) {
  if (handle >= 0) close(handle);
}

bool SystemFileSystem::ReadText(const std::string& path, std::string& text) const {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream contents;
  contents << in.rdbuf();
  text = contents.str();
  return true;
}

bool SystemFileSystem::WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  return static_cast<bool>(out);
}

}  // namespace vx
