// Custom-field values written as NAME=VALUE: checked against the field's type and set among a
// record's values.
#include "db/field_entry.h"

#include <gtest/gtest.h>

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
  const struct {
    int category;
    const char* assignment;
    bool ok;
    int fieldId;
    double real;
    int choiceId;
    const char* text;
  } cases[] = {
      {kAnimalFields, "weight=23.5", true, 1, 23.5, -1, ""},
      {kTestFields, "Note=calm animal", true, 2, 0, -1, "calm animal"},
      {kTestFields, "Group=treated", true, 3, 0, 8, ""},
      {kTestFields, "Group=7", true, 3, 0, 7, ""},
      {kAnimalFields, "Weight=nan", false, 0, 0, -1, ""},
      {kAnimalFields, "Weight=12g", false, 0, 0, -1, ""},
      {kTestFields, "Note=a|b", false, 0, 0, -1, ""},
      {kTestFields, "Group=Sham", false, 0, 0, -1, ""},
      {kTestFields, "Weight=3", false, 0, 0, -1, ""},  // an animal field, not a test field
      {kTestFields, "=3", false, 0, 0, -1, ""},
      {kTestFields, "Note", false, 0, 0, -1, ""},
  };
  const std::vector<CField> fields = Fields();
  for (const auto& c : cases) {
    std::vector<tFieldContent> values;
    const std::string problem = SetFieldValue(fields, c.category, c.assignment, values);
    EXPECT_EQ(problem.empty(), c.ok) << c.assignment << ": " << problem;
    if (!c.ok || values.size() != 1) continue;
    EXPECT_EQ(values[0].fieldId, c.fieldId) << c.assignment;
    EXPECT_EQ(values[0].real, c.real) << c.assignment;
    EXPECT_EQ(values[0].choiceId, c.choiceId) << c.assignment;
    EXPECT_EQ(values[0].text, c.text) << c.assignment;
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
