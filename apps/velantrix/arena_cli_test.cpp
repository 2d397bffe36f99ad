// test adjust and zone position: what reaches the file (plain SQL), what show prints back, and
// refusals that leave the file exactly as it was.
#include <gtest/gtest.h>

#include "cli_test_run.h"
#include "support/experiment_fixture.h"

namespace {

using vx::testing::QueryValue;
using vx::testing::ReadFileBytes;
using Result = vx::cli::testing::RunResult;
using Args = std::vector<std::string>;

class ArenaCli : public ::testing::Test {
 protected:
  void SetUp() override {
    exp = dir.File("exp.vxdb");
    for (const Args& args : {Args{"new", exp}, Args{"protocol", "add", exp, "--name", "P", "--size", "640x480"},
                             Args{"zone", "add", exp, "--protocol", "1", "--rect", "100,100,500,400", "--arena"},
                             Args{"zone", "add", exp, "--protocol", "1", "--rect", "200,200,220,220", "--name", "Toy", "--movable"},
                             Args{"test", "add", exp, "--protocol", "1"}}) {
      const Result r = Run(args);
      ASSERT_EQ(r.status, 0) << r.err;
    }
  }
  Result Run(const Args& args) { return vx::cli::testing::RunCommand(args, dir.File("s.ini")); }
  std::string Stored() { return QueryValue(exp, "select AdjustArena from Tests where Id=1"); }

  vx::testing::TempDir dir;
  std::string exp;
};

TEST_F(ArenaCli, AdjustStoresTheTextAndShowGivesItBack) {
  const Result moved = Run({"test", "adjust", exp, "1", "--move", "30,-20", "--scale", "1.5,1.5", "--rotate", "-5"});
  ASSERT_EQ(moved.status, 0) << moved.err;
  EXPECT_EQ(Stored(), "2|100|100|500|400|130|80|730|530|-5|");
  // What was not typed keeps its value.
  ASSERT_EQ(Run({"test", "adjust", exp, "1", "--rotate", "0"}).status, 0);
  EXPECT_EQ(Stored(), "2|100|100|500|400|130|80|730|530|0|");
  const Result show = Run({"test", "show", exp, "1", "--json"});
  EXPECT_NE(show.out.find("\"adjustment\": {\"text\": \"2|100|100|500|400|130|80|730|530|0|\", \"adjusted\": true, "
                          "\"reference\": [100, 100, 500, 400], \"arena\": [130, 80, 730, 530], \"move\": [30, -20], "
                          "\"scale\": [1.5, 1.5], \"angle\": 0, \"zones\": [], \"problem\": null}"),
            std::string::npos) << show.out;
  ASSERT_EQ(Run({"test", "adjust", exp, "1", "--clear"}).status, 0);
  EXPECT_EQ(Stored(), "");
}

TEST_F(ArenaCli, BadAdjustmentsAreRefusedAndTheFileStaysAsItWas) {
  ASSERT_EQ(Run({"test", "adjust", exp, "1", "--move", "10,10"}).status, 0);
  const std::string before = ReadFileBytes(exp);
  const Args bad[] = {
      {"--rotate", "60"},
      {"--move", "1"},
      {"--move", "a,b"},
      {"--scale", "0,1"},
      {"--scale", "nan,1"},
      {"--move", "5000,0"},              // off the image
      {"--rect", "300,300,200,200"},     // corners reversed
      {"--text", "2|100|100|500|400|x|0|600|300|0|"},
      {"--text", "2|100|100|500|400|0|0|400|300|0|9;1;1;1;1;0|"},  // no zone 9
      {"--text", "2|100|100|500|400|0|0|400|300|90|"},
      {"--move", "1,1", "--rect", "0,0,10,10"},
      {},
  };
  for (const Args& flags : bad) {
    Args args{"test", "adjust", exp, "1"};
    args.insert(args.end(), flags.begin(), flags.end());
    const Result r = Run(args);
    EXPECT_EQ(r.status, 2) << (flags.empty() ? "" : flags.back()) << ": " << r.err;
    EXPECT_EQ(ReadFileBytes(exp), before) << (flags.empty() ? "" : flags.back());
  }
  EXPECT_EQ(Run({"test", "adjust", exp, "7", "--move", "1,1"}).status, 1);
}

TEST_F(ArenaCli, NamedPositionsPlaceAMovableZoneInATest) {
  const Result added = Run({"zone", "position", "add", exp, "--protocol", "1", "--zone", "3", "--name", "corner", "--at", "400,300"});
  ASSERT_EQ(added.status, 0) << added.err;
  EXPECT_EQ(added.out, "1\n");
  EXPECT_EQ(QueryValue(exp, "select Name||X||','||Y||','||Adjusted_X||','||Adjusted_Y from MovableZones"), "corner200,200,400,300");
  ASSERT_EQ(Run({"zone", "position", "set", exp, "1", "--zone", "3", "--position", "corner"}).status, 0);
  EXPECT_EQ(Stored(), "2|0|0|0|0|0|0|0|0|0|3;200;200;400;300;0|");
  const Result list = Run({"zone", "position", "list", exp, "--protocol", "1", "--csv"});
  EXPECT_EQ(list.out, "id,zone,zone_name,name,x,y,adjusted_x,adjusted_y,angle\n1,3,Toy,corner,200,200,400,300,0\n");

  const std::string before = ReadFileBytes(exp);
  for (const Args& args : {Args{"zone", "position", "set", exp, "1", "--zone", "1", "--at", "0,0"},  // the arena
                           Args{"zone", "position", "set", exp, "1", "--zone", "3", "--position", "nowhere"},
                           Args{"zone", "position", "add", exp, "--protocol", "1", "--zone", "3", "--name", "Corner", "--at", "1,1"},
                           Args{"zone", "position", "delete", exp, "9"}}) {
    EXPECT_EQ(Run(args).status, 1) << args[2] << " " << args.back();
    EXPECT_EQ(ReadFileBytes(exp), before);
  }
  ASSERT_EQ(Run({"zone", "position", "set", exp, "1", "--zone", "3", "--clear"}).status, 0);
  EXPECT_EQ(Stored(), "");
  ASSERT_EQ(Run({"zone", "position", "remove", exp, "1"}).status, 0);
  EXPECT_EQ(QueryValue(exp, "select count(*) from MovableZones"), "0");
}

}  // namespace
