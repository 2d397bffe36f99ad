// Literal tables the tests compare against, kept as tab-separated files under tests/data.
#pragma once

#include <fstream>
#include <string>
#include <vector>

namespace vx::testing {

// The rows of tests/data/<name>: fields split at tabs; blank lines and lines starting with '#'
// are skipped. An absent file gives no rows, which the test using it then reports.
inline std::vector<std::vector<std::string>> ReadDataTable(const std::string& name) {
  std::vector<std::vector<std::string>> rows;
  std::ifstream in(std::string(VX_TEST_DATA_DIR) + "/" + name);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string>& fields = rows.emplace_back();
    for (size_t start = 0, tab = 0; tab != std::string::npos; start = tab + 1) {
      tab = line.find('\t', start);
      fields.push_back(line.substr(start, tab - start));
    }
  }
  return rows;
}

}  // namespace vx::testing
