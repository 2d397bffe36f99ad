#include "support/temp_dir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace vx::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vx-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code error;
  if (!path_.empty()) std::filesystem::remove_all(path_, error);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string SampleVideoFolder() {
  std::error_code error;
  if (const char* env = std::getenv("VX_SAMPLE_VIDEOS"); env != nullptr && *env != '\0') {
    return std::filesystem::is_directory(env, error) ? std::string(env) : std::string();
  }
  // The project's checkout sits beside the shared folder on development machines.
  if (const char* source = std::getenv("VX_SOURCE_DIR"); source != nullptr) {
    const auto folder = std::filesystem::path(source) / ".." / "shared" / "videos";
    if (std::filesystem::is_directory(folder, error)) return folder.lexically_normal().string();
  }
  return {};
}

}  // namespace vx::testing
