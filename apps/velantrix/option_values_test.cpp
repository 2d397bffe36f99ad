// Bad values on the command line: every one is bad usage (exit 2), the message names the flag
// and what it accepts, and the experiment file is left byte for byte as it was.
#include "option_values.h"

#include <gtest/gtest.h>

#include "support/cli_experiment.h"

namespace {

using vx::cli::NumberList;
using vx::cli::NumberRange;

TEST(OptionValues, NumbersOutsideTheirRangeAreRefused) {
  const NumberRange percent{0, 100, false, "%"};
  const NumberRange count{1, 10, true, ""};
  const struct {
    const char* text;
    const NumberRange& range;
    bool accepted;
  } cases[] = {
      {"42.5", percent, true},  {" 0 ", percent, true}, {"100", percent, true},
      {"nan", percent, false},  {"inf", percent, false}, {"-inf", percent, false},
      {"1e400", percent, false}, {"100.01", percent, false}, {"", percent, false},
      {"5%", percent, false},   {"10", count, true},     {"2.5", count, false},
      {"0", count, false},      {"99999999999999999999", count, false},
  };
  for (const auto& c : cases) {
    double value = -1;
    const std::string problem = vx::cli::ReadNumber(c.text, c.range, value);
    EXPECT_EQ(problem.empty(), c.accepted) << c.text << ": " << problem;
    if (!c.accepted) {
      EXPECT_NE(problem.find(c.range.Describe()), std::string::npos) << problem;
    }
  }
}

TEST(OptionValues, ListsNeedEveryNumberInRangeAndInOrder) {
  const NumberList sizes{"MIN,MAX", ',', 2, {0, 10000, true, "cm²"}, true};
  std::vector<int> values;
  EXPECT_EQ(vx::cli::ReadWholeNumbers("5,50", sizes, values), "");
  EXPECT_EQ(values, (std::vector<int>{5, 50}));
  for (const char* bad : {"5,5.9", "5,5", "50,5", "5,inf", "nan,5", "5,1e400", "5", "5,6,7",
                          "5,", ",5", "-1,5", "5;50"}) {
    const std::string problem = vx::cli::ReadWholeNumbers(bad, sizes, values);
    EXPECT_NE(problem.find("MIN,MAX with each whole number from 0 to 10000 (cm²), each greater"),
              std::string::npos)
        << bad << ": " << problem;
  }
}

TEST(OptionValues, TextMustBeUtf8) {
  const struct {
    std::string text;
    bool valid;
  } cases[] = {
      {"Souris «1» été 鼠 🐭", true}, {"\xC3", false},          {"\x80", false},
      {"\xC0\xAF", false},          {"\xED\xA0\x80", false},  {"\xF4\x90\x80\x80", false},
      {"ab\xFF", false},            {"\xE2\x82", false},
  };
  for (const auto& c : cases) {
    const std::string problem = vx::cli::CheckArgumentsAreUtf8({"animal", "add", "x", "--name", c.text});
    EXPECT_EQ(problem.empty(), c.valid) << c.text;
    if (!c.valid) {
      EXPECT_EQ(problem, "--name: the text is not valid UTF-8");
    }
  }
}

using OptionValuesCli = vx::cli::testing::CliExperiment;

TEST_F(OptionValuesCli, BadValuesAreBadUsageAndWriteNothing) {
  ASSERT_EQ(Run({"protocol", "add", exp, "--name", "P", "--size", "640x480"}).status, 0);
  std::vector<vx::cli::testing::Refusal> cases;
  for (auto [args, message] : std::vector<std::pair<vx::cli::testing::Args, std::string>>{
      {{"animal", "add", exp, "--name", "A", "--size", "5,inf"}, "--size: '5,inf' is not MIN,MAX"},
      {{"animal", "add", exp, "--name", "Souris\xE9"}, "--name: the text is not valid UTF-8"},
      {{"protocol", "add", exp, "--name", "Q", "--size", "0x480"}, "--size: '0x480' is not WIDTHxHEIGHT"},
      {{"protocol", "add", exp, "--name", "Q", "--size", "640x99999999999"}, "--size"},
      {{"protocol", "add", exp, "--name", "Q", "--inactivity", "nan"}, "--inactivity"},
      {{"zone", "add", exp, "--protocol", "1", "--type", "rect", "--points", "1;1;9;9",
        "--entry", "101"}, "--entry: '101' is not a whole number from 0 to 100 (%)"},
      {{"zone", "add", exp, "--protocol", "0", "--type", "rect", "--points", "1;1;9;9"},
       "--protocol: '0' is not a whole number from 1"},
      {{"analyze", exp, "--min-rate", "nan"}, "--min-rate: 'nan' is not a number from 0 to 100 (%)"},
      {{"smoothing", exp, "none", "inf", "px"}, "THRESHOLD: 'inf'"},
      {{"test", "add", exp, "--protocol", "1", "--video", "-3"}, "--video"},
      {{"detect", "clip.avi", "--settings", "x", "--scale", "inf"}, "--scale"},
      {{"detect", "clip.avi", "--settings", "x", "--arena", "1,2,3"}, "--arena"},
      {{"frobnicate", exp}, "unknown command 'frobnicate'; 'velantrix --help'"},
      {{"frobnicate", "--help"}, "unknown command 'frobnicate'"},  // not the root help, exit 0
      {{"-q", "zone", "frobnicate", "--help"}, "unknown command 'zone frobnicate'; 'velantrix zone --help'"}}) {
    cases.push_back({args, 2, message});
  }
  ExpectRefused(cases);
}

}  // namespace
