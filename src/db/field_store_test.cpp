// Custom field definitions and their choices.
#include "db/field_store.h"

#include <gtest/gtest.h>

#include "support/experiment_fixture.h"

namespace {

using vx::testing::ExperimentFixture;
using vx::testing::QueryRows;

vx::CField ListField(int category, int type, int protocol) {
  vx::CField field;
  field.name = "Traitement d'essai";
  field.unit = "mg/kg";
  field.category = category;
  field.type = type;
  field.idProtocol = protocol;
  for (const char* name : {"Placebo", "Dose 'A'", "Dose élevée"}) {
    vx::CChoice choice;
    choice.name = name;
    field.choices.push_back(choice);
  }
  return field;
}

TEST(FieldStore, ChoicesAreSavedInOrderAndReconciled) {
  ExperimentFixture fixture;
  vx::CField field = ListField(0, vx::kFieldChoice, -1);
  ASSERT_TRUE(vx::SaveField(fixture.experiment, field));
  ASSERT_GT(field.id, 0);
  for (const auto& c : field.choices) EXPECT_GT(c.id, 0);
  EXPECT_EQ(QueryRows(fixture.path(), "select Name, Ordre from Choices order by Ordre"),
            (std::vector<std::vector<std::string>>{
                {"Placebo", "0"}, {"Dose 'A'", "1"}, {"Dose élevée", "2"}}));

  // Drop the first choice, move the last to the front, add one.
  const int keptId = field.choices[1].id;
  field.choices = {field.choices[2], field.choices[1]};
  vx::CChoice fresh;
  fresh.name = "Nouveau";
  fresh.idZone = 4;
  field.choices.push_back(fresh);
  ASSERT_TRUE(vx::SaveField(fixture.experiment, field));
  vx::CField loaded;
  ASSERT_TRUE(vx::LoadField(fixture.experiment, field.id, loaded));
  ASSERT_EQ(loaded.choices.size(), 3u);
  EXPECT_EQ(loaded.choices[0].name, "Dose élevée");
  EXPECT_EQ(loaded.choices[1].id, keptId);
  EXPECT_EQ(loaded.choices[2].name, "Nouveau");
  EXPECT_EQ(loaded.choices[2].idZone, 4);
  EXPECT_EQ(loaded.unit, "mg/kg");

  field.choices.clear();
  ASSERT_TRUE(vx::SaveField(fixture.experiment, field));
  EXPECT_TRUE(QueryRows(fixture.path(), "select * from Choices").empty());
}

TEST(FieldStore, ProtocolChoicesCarryTheFieldsProtocol) {
  ExperimentFixture fixture;
  vx::CField perProtocol = ListField(1, vx::kFieldProtocolChoice, 6);
  vx::CField general = ListField(0, vx::kFieldProtocolChoice, 6);
  ASSERT_TRUE(vx::SaveField(fixture.experiment, perProtocol));
  ASSERT_TRUE(vx::SaveField(fixture.experiment, general));
  vx::CField loaded;
  ASSERT_TRUE(vx::LoadField(fixture.experiment, perProtocol.id, loaded));
  EXPECT_EQ(loaded.choices[0].idProtocol, 6);
  ASSERT_TRUE(vx::LoadField(fixture.experiment, general.id, loaded));
  EXPECT_EQ(loaded.choices[0].idProtocol, -1);
}

}  // namespace
