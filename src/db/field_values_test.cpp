// The custom-field value text of animals and tests.
#include "db/field_values.h"

#include <gtest/gtest.h>

#include "support/data_table.h"

namespace {

std::vector<vx::CField> Fields() {
  std::vector<vx::CField> fields(4);
  fields[0].id = 3;
  fields[0].type = vx::kFieldText;
  fields[1].id = 5;
  fields[1].type = vx::kFieldNumber;
  fields[2].id = 8;
  fields[2].type = vx::kFieldChoice;
  fields[3].id = 9;
  fields[3].type = vx::kFieldProtocolChoice;
  return fields;
}

vx::tFieldContent Value(int field, int type, const std::string& text = "", double real = 0,
                        int choice = -1) {
  vx::tFieldContent value;
  value.fieldId = field;
  value.type = type;
  value.text = text;
  value.real = real;
  value.choiceId = choice;
  return value;
}

TEST(FieldValues, WritesOneEntryPerKnownValue) {
  const std::vector<vx::tFieldContent> values = {
      Value(3, 0, "Souris n\xC2\xB0" "1 d'Alice"), Value(5, 1, "", 12.5), Value(8, 2, "", 0, 44),
      Value(9, 3, "", 0, 45),
      Value(-1, 0, "negative id"), Value(4, 0, "unknown field"), Value(5, 0, "wrong type")};
  EXPECT_EQ(vx::FormatFieldValues(values, Fields()),
            "3;0;Souris n\xC2\xB0" "1 d'Alice|5;1;12.500000|8;2;44|9;3;45|");
}

// Each text read against the field list, then written back.
TEST(FieldValues, ReadingRules) {
  const auto rows = vx::testing::ReadDataTable("field_value_texts.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    const auto values = vx::ParseFieldValues(row[0], Fields());
    for (const auto& v : values) EXPECT_NE(v.fieldId, -1) << row[0];
    EXPECT_EQ(vx::FormatFieldValues(values, Fields()), row[1]) << row[0];
  }
  EXPECT_DOUBLE_EQ(vx::ParseFieldValues("5;1;-2.250000|", Fields()).at(0).real, -2.25);
  // Written values never carry a separator into the next entry.
  EXPECT_EQ(vx::FormatFieldValues({Value(3, 0, "a;b"), Value(5, 1, "", 1)}, Fields()), "3;0;a|5;1;1.000000|");
  EXPECT_EQ(vx::FormatFieldValues({Value(3, 0, "x|5;1;99")}, Fields()), "3;0;x|");
}

TEST(FieldValues, ImportTranslatesFieldAndChoiceIds) {
  vx::FieldIdTranslation translation;
  translation.fields = {{30, 3}, {80, 8}, {90, 9}};
  translation.choices = {{440, 44}};
  const auto values =
      vx::ParseFieldValues("30;0;t|80;2;440|90;3;441|77;0;untranslated|", Fields(), &translation);
  ASSERT_EQ(values.size(), 3u);
  EXPECT_EQ(values[0].fieldId, 3);
  EXPECT_EQ(values[1].choiceId, 44);
  EXPECT_EQ(values[2].choiceId, -1);  // no translation for choice 441
}

}  // namespace
