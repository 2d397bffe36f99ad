// A fresh folder for one test, removed with everything in it at the end of the test.
#pragma once

#include <string>

namespace vx::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }  // ends without '/'
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Reads a whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// The folder of the real sample videos, or "" when it is not there (tests then skip).
std::string SampleVideoFolder();

}  // namespace vx::testing
