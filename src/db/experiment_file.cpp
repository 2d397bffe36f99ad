#include "db/experiment_file.h"

namespace vx {

std::string ExperimentFile::CompanionFolder() const {
  std::string stem = path;
  const size_t slash = stem.find_last_of('/');
  const size_t dot = stem.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) stem.resize(dot);
  return stem + "_files/";
}

}  // namespace vx
