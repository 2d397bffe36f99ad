// Custom-field values written as NAME=VALUE: checked against the field's type and set among a
// record's values.
#include "db/field_entry.h"

#include <gtest/gtest.h>

#include "support/data_table.h"

namespace vx {
namespace {

std::vector<CField> Fields() {
  CField weight{.id = 1, .name = "Weight", .category = kAnimalFields, .type = kFieldNumber};
  CField note{.id = 2, .name = "Note", .category = kTestFields, .type = kFieldText};
  CField group{.id = 3, .name = "Group", .category = kTestFields, .type = kFieldChoice};
  group.choices = {{.id = 7, .name = "Control"}, {.id = 8, .name = "Treated"}};
  return {weight, note, group};
}

TEST(SetFieldValue, ReadsEachTypeAndRefusesWhatItCannotStore) {
  const std::vector<CField> fields = Fields();
  const auto rows = testing::ReadDataTable("field_assignments.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    std::vector<tFieldContent> values;
    const int category = row[0] == "animal" ? kAnimalFields : kTestFields;
    const std::string problem = SetFieldValue(fields, category, row[1], values);
    const bool ok = row[2] != "0";
    EXPECT_EQ(problem.empty(), ok) << row[1] << ": " << problem;
    if (!ok || values.size() != 1) continue;
    EXPECT_EQ(values[0].fieldId, std::stoi(row[2])) << row[1];
    EXPECT_EQ(values[0].real, std::stod(row[3])) << row[1];
    EXPECT_EQ(values[0].choiceId, std::stoi(row[4])) << row[1];
    EXPECT_EQ(values[0].text, row[5]) << row[1];
  }
}

TEST(SetFieldValue, ReplacesOrRemovesTheFieldsValueOnly) {
  const std::vector<CField> fields = Fields();
  std::vector<tFieldContent> values = {{.fieldId = 2, .type = kFieldText, .text = "old"},
                                       {.fieldId = 3, .type = kFieldChoice, .choiceId = 7}};
  EXPECT_EQ(SetFieldValue(fields, kTestFields, "Note=new", values), "");
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[0].choiceId, 7);
  EXPECT_EQ(values[1].text, "new");
  EXPECT_EQ(SetFieldValue(fields, kTestFields, "Group=", values), "");
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0].fieldId, 2);
}

}  // namespace
}  // namespace vx
