// Videos through the database, and the rules that move tests between videos.
#include "db/video_store.h"

#include <gtest/gtest.h>

#include "db/frame_times.h"
#include "db/test_store.h"
#include "support/experiment_fixture.h"

namespace {

using vx::testing::ExecuteSql;
using vx::testing::ExperimentFixture;
using vx::testing::QueryRows;
using vx::testing::QueryValue;

using Rows = std::vector<std::vector<std::string>>;

vx::CVideoFile SampleVideo(const std::string& name) {
  vx::CVideoFile v;
  v.name = name;
  v.notes = "caméra 'haute'";
  v.file = "/data/videos/" + name + ".avi";
  v.idProtocol = 2;
  v.dateAcq = 1767225600;
  v.nbFrames = 101;
  v.duration = 4000;
  v.width = 640;
  v.height = 480;
  v.listePoints = vx::WriteFrameTimes(vx::FrameTimes::Uniform(101, 4000));
  v.infos.backend = 1900;
  v.infos.known = 1;
  v.infos.first = 0;
  v.infos.second = 100;
  v.infos.timeBase = 1;
  return v;
}

TEST(VideoStore, RoundTripWithFrameTimes) {
  ExperimentFixture fixture;
  vx::CVideoFile v = SampleVideo("souris d'été");
  ASSERT_TRUE(vx::SaveVideo(fixture.experiment, v));
  ASSERT_GT(v.id, 0);
  EXPECT_EQ(QueryRows(fixture.path(), "select Name, Infos, hex(ListePoints) from Videos"),
            (Rows{{"souris d'été", "0|1900|1|0|100|1", "65A01F"}}));
  vx::CVideoFile loaded;
  ASSERT_TRUE(vx::LoadVideo(fixture.experiment, v.id, loaded));
  const auto columns = [](const vx::CVideoFile& x) {
    return std::tie(x.name, x.notes, x.file, x.idProtocol, x.dateAcq, x.nbFrames, x.duration, x.width, x.height,
                    x.listePoints, x.infos.backend, x.infos.known, x.infos.first, x.infos.second, x.infos.timeBase);
  };
  EXPECT_EQ(columns(loaded), columns(v));
  ASSERT_EQ(fixture.experiment.videos.count(v.id), 1u);

  // An update keeps the stored Infos.
  v.infos.backend = 700;
  v.name = "renamed";
  ASSERT_TRUE(vx::SaveVideo(fixture.experiment, v));
  EXPECT_EQ(QueryRows(fixture.path(), "select Name, Infos from Videos"),
            (Rows{{"renamed", "0|1900|1|0|100|1"}}));
}

class VideoTests : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"v1", "v2"}) {
      vx::CVideoFile v = SampleVideo(name);
      ASSERT_TRUE(vx::SaveVideo(fixture.experiment, v));
      videos.push_back(v.id);
    }
    // Tests 1 and 2 analysed on video 1, test 3 analysed on video 2, test 4 without video.
    for (int source : {videos[0], videos[0], videos[1], -1}) {
      vx::CInfosTest t;
      t.title = "t";
      t.source = source;
      ASSERT_TRUE(vx::SaveTest(fixture.experiment, t, false));
    }
    ExecuteSql(fixture.path(), "update Tests set DateAnalyse=9, Distance=5, InfosAnalyse='x' "
                        "where Source<>-1");
    ExecuteSql(fixture.path(), "insert into TestsPoints(Id, PointsAnalyse, Behaviors) "
                        "select Id, x'01', x'02' from Tests");
    ExecuteSql(fixture.path(), "insert into Results(Name, IdProtocol) values ('r', 1)");
    ExecuteSql(fixture.path(), "insert into ReportsData(IdReport, IdTest) select 1, Id from Tests");
    ASSERT_TRUE(fixture.experiment.LoadAll());
  }
  Rows TestState() {
    return QueryRows(fixture.path(), "select t.Id, t.Source, t.DateAnalyse, "
                                     "p.PointsAnalyse is NULL from Tests t join TestsPoints p "
                                     "on p.Id=t.Id order by t.Id");
  }
  ExperimentFixture fixture;
  std::vector<int> videos;
};

TEST_F(VideoTests, UnchangedTestListTouchesNoTest) {
  const Rows before = TestState();
  vx::CVideoFile v = *fixture.experiment.FindVideo(videos[0]);
  v.testIds = {2, 1};  // same set, other order
  v.notes = "edited";
  int testStatements = 0;
  fixture.experiment.file.statementHook = [&](const std::string& sql) {
    if (sql.find("update Tests") != std::string::npos ||
        sql.find("ReportsData") != std::string::npos) {
      ++testStatements;
    }
    return SQLite::kOk;
  };
  ASSERT_TRUE(vx::SaveVideo(fixture.experiment, v));
  EXPECT_EQ(testStatements, 0);
  EXPECT_EQ(TestState(), before);
  EXPECT_EQ(QueryValue(fixture.path(), "select count(*) from ReportsData"), "4");
}

TEST_F(VideoTests, ChangedTestListMovesAnalysesAndCache) {
  // Video 1 keeps test 1, drops test 2, takes test 3 from video 2 and test 4 without video.
  vx::CVideoFile v = *fixture.experiment.FindVideo(videos[0]);
  v.testIds = {1, 3, 4};
  ASSERT_TRUE(vx::SaveVideo(fixture.experiment, v));
  EXPECT_EQ(TestState(), (Rows{{"1", "1", "9", "0"},     // untouched
                               {"2", "-1", "0", "1"},    // dropped: analysis lost
                               {"3", "1", "0", "1"},     // taken from video 2: analysis lost
                               {"4", "1", "0", "0"}}));  // newly given the video
  EXPECT_EQ(QueryValue(fixture.path(), "select group_concat(IdTest) from ReportsData"), "1");
  EXPECT_EQ(QueryValue(fixture.path(), "select Behaviors is NULL from TestsPoints where Id=3"),
            "1");
  // The in-memory lists follow.
  EXPECT_EQ(fixture.experiment.FindTest(2)->source, -1);
  EXPECT_FALSE(fixture.experiment.FindTest(3)->IsAnalysed());
  EXPECT_EQ(fixture.experiment.FindVideo(videos[0])->testIds, (std::vector<int>{1, 3, 4}));
  EXPECT_TRUE(fixture.experiment.FindVideo(videos[1])->testIds.empty());
}

TEST(VideoStore, InsertWithGivenId) {
  ExperimentFixture fixture;
  vx::CVideoFile v = SampleVideo("imported");
  v.id = 40;
  ASSERT_TRUE(vx::InsertVideoWithId(fixture.experiment, v));
  EXPECT_EQ(QueryRows(fixture.path(), "select Id, Infos, length(ListePoints) from Videos"),
            (Rows{{"40", "0|1900|1|0|100|1", "3"}}));
  EXPECT_FALSE(vx::InsertVideoWithId(fixture.experiment, v));  // the id is taken
}

TEST(VideoPaths, CompanionFolderFilesAreStoredRelative) {
  vx::ExperimentFile file;
  file.path = "/home/u/exp/Open field.vxdb";
  EXPECT_EQ(file.CompanionFolder(), "/home/u/exp/Open field_files/");
  EXPECT_EQ(vx::StoredVideoPath(file, "/home/u/exp/Open field_files/Test_3.vxf"), "Test_3.vxf");
  EXPECT_EQ(vx::StoredVideoPath(file, "/elsewhere/a.avi"), "/elsewhere/a.avi");
  EXPECT_EQ(vx::ResolveVideoPath(file, "Test_3.vxf"), "/home/u/exp/Open field_files/Test_3.vxf");
  EXPECT_EQ(vx::ResolveVideoPath(file, "/elsewhere/a.avi"), "/elsewhere/a.avi");
}

}  // namespace
