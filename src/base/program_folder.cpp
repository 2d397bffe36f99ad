#include "base/program_folder.h"

#include <filesystem>

namespace vx {

std::string ProgramFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? "" : program.parent_path().string() + "/";
}

}  // namespace vx
