#include "base/system_platform.h"

#include <sys/statfs.h>

#include <chrono>
#include <filesystem>
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

bool SystemFileSystem::CopyFile(const std::string& from, const std::string& to) {
  std::error_code error;
  return fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
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

DriveKind SystemFileSystem::DriveKindOf(const std::string& path) const {
  // Network file systems and optical discs are recognised by their file-system magic numbers;
  // everything else that can be queried is a local disk.
  constexpr long kNfs = 0x6969, kSmb = 0x517B, kCifs = static_cast<long>(0xFF534D42),
                 kSmb2 = static_cast<long>(0xFE534D42), kIso9660 = 0x9660,
                 kUdf = 0x15013346;
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
  if (type == kIso9660 || type == kUdf) return DriveKind::Optical;
  return DriveKind::Local;
}

}  // namespace vx
