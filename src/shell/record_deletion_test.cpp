// A protocol, animal or video that a test uses is kept; once no test uses it, it goes.
#include <gtest/gtest.h>

#include "db/animal_store.h"
#include "db/protocol_store.h"
#include "db/test_store.h"
#include "shell/protocol_setup.h"
#include "shell/record_deletion.h"
#include "support/experiment_fixture.h"

namespace {

TEST(RecordDeletion, RecordsUsedByATestAreKept) {
  vx::testing::ExperimentFixture fixture;
  vx::Experiment& experiment = fixture.experiment;
  vx::CProtocol protocol = vx::NewProtocol("Open field");
  ASSERT_TRUE(vx::SaveProtocol(experiment, protocol, false));
  vx::CAnimal animal;
  animal.name = "Mouse 1";
  ASSERT_TRUE(vx::SaveAnimal(experiment, animal));
  vx::CInfosTest test;
  test.title = "Day 1";
  test.idProtocol = protocol.id;
  test.idAnimal = animal.id;
  ASSERT_TRUE(vx::SaveTest(experiment, test, false));

  const std::initializer_list<std::pair<vx::RecordKind, int>> used = {{vx::RecordKind::kProtocol, protocol.id},
                                                                       {vx::RecordKind::kAnimal, animal.id}};
  for (const auto& [kind, id] : used) {
    EXPECT_NE(vx::DeletionRefusal(experiment, kind, id).find("used by 1 test"), std::string::npos);
  }
  EXPECT_EQ(vx::DeletionRefusal(experiment, vx::RecordKind::kTest, test.id), "");
  ASSERT_TRUE(vx::DeleteRecord(experiment, vx::RecordKind::kTest, test.id));
  EXPECT_EQ(vx::DeletionRefusal(experiment, vx::RecordKind::kAnimal, animal.id), "");
  ASSERT_TRUE(vx::DeleteRecord(experiment, vx::RecordKind::kAnimal, animal.id));
  EXPECT_EQ(vx::testing::QueryValue(fixture.path(), "select count(*) from Animals"), "0");
  EXPECT_EQ(vx::testing::QueryValue(fixture.path(), "select count(*) from Protocols"), "1");
}

}  // namespace
