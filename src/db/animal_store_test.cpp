// Animals through the database: sizes, default arena and custom-field values.
#include "db/animal_store.h"

#include <gtest/gtest.h>

#include "db/field_store.h"
#include "support/experiment_fixture.h"

namespace {

using vx::testing::ExperimentFixture;
using vx::testing::QueryRows;
using vx::testing::QueryValue;

TEST(AnimalStore, ExperimentSizeWritesTheDefaultsSizes) {
  ExperimentFixture fixture;
  vx::CAnimal animal;
  animal.name = "Souris d'\xC3\xA9lite";
  animal.minSize = 99;  // ignored: the animal uses the experiment's setting
  animal.maxSize = 199;
  ASSERT_TRUE(vx::SaveAnimal(fixture.experiment, animal));
  EXPECT_EQ(QueryRows(fixture.path(), "select MinSize, MaxSize, AnimalSize, DefaultArena, Deleted "
                                      "from Animals"),
            (std::vector<std::vector<std::string>>{{"5", "50", "Exp", "", "0"}}));
  EXPECT_EQ(animal.minSize, 5);
  ASSERT_EQ(fixture.experiment.animals.size(), 1u);
  EXPECT_EQ(fixture.experiment.animals[0].name, "Souris d'\xC3\xA9lite");
}

TEST(AnimalStore, OwnSizeAndArenaRoundTrip) {
  ExperimentFixture fixture;
  vx::CAnimal animal;
  animal.name = "Rat";
  animal.notes = "gros; 'm\xC3\xA2le'";
  animal.usesExperimentSize = false;
  animal.size = vx::SettingFromSizes(20, 185);
  animal.minSize = 20.9;  // written truncated
  animal.maxSize = 185.2;
  animal.status = 3;
  animal.defaultArena = {true, 2, 14};
  ASSERT_TRUE(vx::SaveAnimal(fixture.experiment, animal));
  EXPECT_EQ(QueryRows(fixture.path(), "select MinSize, MaxSize, AnimalSize, DefaultArena, Status "
                                      "from Animals"),
            (std::vector<std::vector<std::string>>{
                {"20", "185", "0|1|7|20|185|30|360", "0,2,14", "3"}}));
  vx::CAnimal loaded;
  ASSERT_TRUE(vx::LoadAnimal(fixture.experiment, animal.id, loaded));
  EXPECT_EQ(std::tie(loaded.notes, loaded.usesExperimentSize, loaded.size.preset, loaded.size.maxLevel, loaded.status),
            std::tie(animal.notes, animal.usesExperimentSize, animal.size.preset, animal.size.maxLevel, animal.status));
  EXPECT_EQ(std::make_tuple(loaded.defaultArena.set, loaded.defaultArena.first, loaded.defaultArena.second),
            std::make_tuple(true, 2, 14));

  loaded.name = "Rat renamed";
  ASSERT_TRUE(vx::SaveAnimal(fixture.experiment, loaded));
  EXPECT_EQ(loaded.id, animal.id);
  EXPECT_EQ(QueryValue(fixture.path(), "select count(*) from Animals"), "1");
}

TEST(AnimalStore, MalformedColumnsReadAsDefaults) {
  ExperimentFixture fixture;
  vx::testing::ExecuteSql(fixture.path(), "insert into Animals(Name, MinSize, MaxSize, AnimalSize, DefaultArena, Fields) "
               "values ('odd', 12, 40, '1|2|x', '0,3', '1;0;a|junk|')");
  ASSERT_TRUE(fixture.experiment.LoadAll());
  ASSERT_EQ(fixture.experiment.animals.size(), 1u);
  const vx::CAnimal& odd = fixture.experiment.animals[0];
  EXPECT_FALSE(odd.usesExperimentSize);
  EXPECT_EQ(odd.size.minLevel, 22);  // derived from the columns 12 and 40
  EXPECT_EQ(odd.size.maxLevel, 55);
  EXPECT_FALSE(odd.defaultArena.set);
  EXPECT_TRUE(odd.fields.empty());
}

TEST(AnimalStore, CustomFieldValuesFollowTheFieldList) {
  ExperimentFixture fixture;
  vx::CField strain;
  strain.name = "Souche";
  strain.type = vx::kFieldText;
  ASSERT_TRUE(vx::SaveField(fixture.experiment, strain));
  vx::CAnimal animal;
  animal.name = "A1";
  vx::tFieldContent value;
  value.fieldId = strain.id;
  value.type = vx::kFieldText;
  value.text = "C57BL/6 l'\xC3\xA9t\xC3\xA9";
  animal.fields = {value};
  ASSERT_TRUE(vx::SaveAnimal(fixture.experiment, animal));
  vx::CAnimal loaded;
  ASSERT_TRUE(vx::LoadAnimal(fixture.experiment, animal.id, loaded));
  ASSERT_EQ(loaded.fields.size(), 1u);
  EXPECT_EQ(loaded.fields[0].text, value.text);

  ASSERT_TRUE(vx::DeleteField(fixture.experiment, strain.id));
  ASSERT_TRUE(vx::LoadAnimal(fixture.experiment, animal.id, loaded));
  EXPECT_TRUE(loaded.fields.empty());
}

}  // namespace
