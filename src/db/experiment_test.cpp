// The experiment document: lists loaded at open and kept in step with committed writes.
#include "db/experiment.h"

#include <gtest/gtest.h>

#include "db/animal_store.h"
#include "db/field_store.h"
#include "db/protocol_store.h"
#include "db/test_store.h"
#include "db/video_store.h"
#include "support/experiment_fixture.h"

namespace {

using vx::testing::ExperimentFixture;

TEST(Experiment, LoadAllReadsEveryList) {
  ExperimentFixture fixture;
  ASSERT_TRUE(fixture.loaded);
  EXPECT_EQ(fixture.experiment.settings.animalSize.preset, 6);
  EXPECT_TRUE(fixture.experiment.protocols.empty());
  vx::testing::ExecuteSql(fixture.path(),
                          "update Infos set Value='Mon exp' where Name='Title';"
                          "update Infos set Value='0|1|7|20|185|30|360' where Name='Animals';"
                          "insert into Infos values ('ReportsFont', 'Arial|10');"
                          "insert into Fields(Name, Category, Ordre, Type) values ('b', 1, 0, 0), ('a', 0, 2, 0), "
                          "('c', 0, 1, 0);"
                          "insert into Protocols(Name) values ('P1'), ('P2');"
                          "insert into Zones(Id, IdProtocol, Name) values (1, 2, 'z');"
                          "insert into Animals(Name) values ('A');"
                          "insert into Videos(Name, NbFrames) values ('V', 10);"
                          "insert into Tests(Title, Source) values ('T1', 1), ('T2', -1)");
  ASSERT_TRUE(fixture.experiment.LoadAll());
  const vx::Experiment& e = fixture.experiment;
  EXPECT_EQ(std::tie(e.settings.title, e.settings.reportsFont, e.settings.animalSize.preset),
            std::make_tuple("Mon exp", "Arial|10", 7));
  ASSERT_EQ(e.fields.size(), 3u);
  EXPECT_EQ(e.fields[0].name, "c");  // category 0 by order, then category 1
  EXPECT_EQ(e.fields[2].name, "b");
  ASSERT_EQ(e.protocols.size(), 2u);
  EXPECT_EQ(e.protocols[1].zones.size(), 1u);
  EXPECT_EQ(e.animals.size(), 1u);
  ASSERT_EQ(e.videos.size(), 1u);
  EXPECT_EQ(e.videos.at(1).testIds, std::vector<int>{1});
  EXPECT_EQ(e.tests.size(), 2u);
  EXPECT_EQ(e.tests.at(2).source, -1);
}

TEST(Experiment, ListsFollowCommittedWritesOnly) {
  ExperimentFixture fixture;
  vx::CProtocol p;
  p.name = "first";
  ASSERT_TRUE(vx::SaveProtocol(fixture.experiment, p, false));
  p.name = "renamed";
  fixture.experiment.file.readOnly = true;  // every write rolls back
  EXPECT_FALSE(vx::SaveProtocol(fixture.experiment, p, false));
  EXPECT_EQ(fixture.experiment.FindProtocol(p.id)->name, "first");
  vx::CAnimal a;
  EXPECT_FALSE(vx::SaveAnimal(fixture.experiment, a));
  EXPECT_EQ(a.id, -1);
  EXPECT_TRUE(fixture.experiment.animals.empty());
  fixture.experiment.file.readOnly = false;
  ASSERT_TRUE(vx::SaveProtocol(fixture.experiment, p, false));
  EXPECT_EQ(fixture.experiment.FindProtocol(p.id)->name, "renamed");

  vx::CVideoFile v;
  v.name = "v";
  ASSERT_TRUE(vx::SaveVideo(fixture.experiment, v));
  vx::CInfosTest t;
  t.source = v.id;
  ASSERT_TRUE(vx::SaveTest(fixture.experiment, t, false));
  EXPECT_EQ(fixture.experiment.FindVideo(v.id)->testIds, std::vector<int>{t.id});
  ASSERT_TRUE(vx::DeleteTest(fixture.experiment, t.id));
  EXPECT_TRUE(fixture.experiment.FindVideo(v.id)->testIds.empty());
}

}  // namespace
