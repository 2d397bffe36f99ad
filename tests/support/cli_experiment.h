// The command line's tests: an experiment file made by the command line itself in a temporary
// folder, and the check every verb shares, that a refused request names its problem, exits with
// its status and leaves the file byte for byte as it was. Header-only: only vx_cli_tests links
// the command line.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_test_run.h"
#include "support/experiment_fixture.h"

namespace vx::cli::testing {

using Args = std::vector<std::string>;

// A request the command line must refuse: its exit status and a part of its message. A refused
// request prints nothing on standard output, where scripts read results.
struct Refusal {
  Args args;
  int status;
  std::string message;
};

template <typename Runner>
void ExpectRefused(Runner&& run, const std::string& file, const std::vector<Refusal>& cases) {
  const std::string before = vx::testing::ReadFileBytes(file);
  for (const Refusal& c : cases) {
    const RunResult result = run(c.args);
    std::string command;
    for (const std::string& arg : c.args) command += arg + " ";
    EXPECT_EQ(result.status, c.status) << command << "\n" << result.err;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << command << "\n" << result.err;
    EXPECT_EQ(result.out, "") << command;
  }
  EXPECT_TRUE(vx::testing::ReadFileBytes(file) == before);
}

class CliExperiment : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Run({"new", exp}).status, 0); }
  RunResult Run(const Args& args, bool terminal = false, const std::string& input = "") {
    return RunCommand(args, dir.File("settings.ini"), terminal, input);
  }
  void ExpectRefused(const std::vector<Refusal>& cases, const std::string& file = "") {
    testing::ExpectRefused([this](const Args& args) { return Run(args); }, file.empty() ? exp : file,
                           cases);
  }
  std::string Sql(const std::string& query) { return vx::testing::QueryValue(exp, query); }

  vx::testing::TempDir dir;
  std::string exp = dir.File("e.vxdb");
};

}  // namespace vx::cli::testing
