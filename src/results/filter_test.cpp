#include <gtest/gtest.h>

#include "db/filter_store.h"
#include "results/filter.h"
#include "results/filter_condition.h"
#include "results/filter_selection.h"
#include "results/formula_variables.h"
#include "support/report_file.h"

namespace vx {
namespace {

using testing::ReportFile;

// Protocol 1's tests of the report file (3, 4, 5, 6 excluded, 7 not analysed) with two
// animals, a test choice field "Group" (choices 1 A, 2 B), an animal number field "Weight"
// and a text field "Note". Distances: 3, 5, 6 run 90 mm, 4 and 7 none.
class FilterFile : public ::testing::Test {
 protected:
  FilterFile() {
    file.Sql("insert into Fields (Id, Name, Category, Type) values (1, 'Group', 1, 2), "
             "(2, 'Weight', 0, 1), (3, 'Note', 1, 0)");
    file.Sql("insert into Choices (Id, Name, IdField) values (1, 'A', 1), (2, 'B', 1)");
    file.Sql("insert into Animals (Id, Name, Fields) values (1, 'Rat, one', '2;1;25.5|'), "
             "(2, 'Rat 2', '2;1;18|')");
    file.Sql("update Tests set IdAnimal=1, Fields='1;2;1|3;0;calm|' where Id in (3, 4)");
    file.Sql("update Tests set IdAnimal=2, Fields='1;2;2|' where Id in (5, 6, 7)");
    file.Sql("update Tests set Distance=90 where Id in (3, 5, 6)");
    file.Reload();
  }

  FilterSelection Formula(const std::string& display) {
    CFilter filter;
    filter.type = kFilterFormula;
    filter.idProtocol = 1;
    filter.formula = FormulaToStored(display, file.experiment().fields);
    return EvaluateFilter(file.experiment(), filter);
  }

  ReportFile file;
};

TEST_F(FilterFile, FormulasSelectTheTestsTheirValuesMeet) {
  const struct {
    const char* formula;
    const char* selection;
    const char* error;  // part of the error text, "" for none
  } cases[] = {
      {"[Total dist. ( mm )] > 50", ",3,5,6,", ""},
      {"[Total dist. ( cm )] > 8,5 and [Total dist. ( m )] < 0.1", ",3,5,6,", ""},
      {"[Total dist. ( mm )] > 50 and [Total dist. ( mm )] < 100", ",3,5,6,", ""},
      // Not analysed: test 7's measures are 0, its fields still count.
      {"[Total dist. ( mm )] < 1 and [Group] == \"B\"", ",7,", ""},
      {"[Animal] == \"Rat, one\"", ",3,4,", ""},
      {"[Weight] > 20 or [Note] == \"calm\"", ",3,4,", ""},
      {"1 > 0", ",-999,", ""},
      {"[Total dist. ( mm )] * 2", ",-999,", "type"},
      {"[Total dist. ( mm )] / 0 > 1", ",-999,", "Division by zero"},
      {"[Group] > 1", ",-999,", "Erreur dans la formule : "},
      {"[Total dist. ( mm )] > (1", ",-999,", "Missing parenthesis"},
      {"[Speed of light] > 1", ",-999,", "Erreur dans la formule : "},
  };
  for (const auto& c : cases) {
    const FilterSelection s = Formula(c.formula);
    EXPECT_EQ(s.selection, c.selection) << c.formula;
    if (*c.error == 0) {
      EXPECT_EQ(s.error, "") << c.formula;
    } else {
      EXPECT_NE(s.error.find(c.error), std::string::npos) << c.formula << " -> " << s.error;
    }
  }
}

TEST_F(FilterFile, ErrorsPointIntoTheUsersText) {
  CFilter filter;
  filter.type = kFilterFormula;
  const std::string edited = "[Weight] > 2 +* 3";
  const FilterSelection s = EvaluateFilter(file.experiment(), filter, &edited, false);
  EXPECT_NE(s.error.find("\n\n[Weight] > 2 +"), std::string::npos) << s.error;
  EXPECT_EQ(s.error.back(), '^');
}

TEST_F(FilterFile, DisplayAndStoredTokensConvertBothWays) {
  const auto& fields = file.experiment().fields;
  const std::string display = "[Max acceleration ( cm/s\xC2\xB2 )] > 1 and [Group] == \"[Weight]\"";
  const std::string stored = FormulaToStored(display, fields);
  EXPECT_EQ(stored, "[vt:u1:10] > 1 and [vuf:1] == \"[vuf:2]\"");
  EXPECT_EQ(FormulaToDisplay(stored, fields), display);
}

TEST_F(FilterFile, ConditionsCombineOnlyTheApplicableProperties) {
  const struct {
    int field1;
    const char* values1;
    int field2;
    const char* values2;
    bool andLogic;
    const char* selection;
  } cases[] = {
      {kPropertyNone, "", kPropertyNone, "", true, ",-999,"},
      {kPropertyAnimal, ",2,", kPropertyNone, "", true, ",5,6,7,"},
      {kPropertyAnimal, ",2,", 1, ",1,", false, ",3,4,5,6,7,"},
      {kPropertyAnimal, ",2,", 1, ",1,", true, ",-999,"},
      // A number field is no condition: the animal alone decides, even with And.
      {2, ",1,", kPropertyAnimal, ",1,", true, ",3,4,"},
      {1, ",2,", kPropertyNone, "", true, ",5,6,7,"},
  };
  for (const auto& c : cases) {
    CFilter filter;
    filter.type = kFilterCondition;
    filter.idProtocol = 1;
    filter.field1 = c.field1;
    filter.values1 = c.values1;
    filter.field2 = c.field2;
    filter.values2 = c.values2;
    filter.andLogic = c.andLogic;
    EXPECT_EQ(EvaluateFilter(file.experiment(), filter).selection, c.selection)
        << c.field1 << c.values1 << c.field2 << c.values2;
  }
}

TEST_F(FilterFile, ConditionsReadInWordsOrStored) {
  CFilter filter;
  EXPECT_EQ(ReadCondition(file.experiment(), "animal=Rat 2 or group=A", filter), "");
  EXPECT_EQ(FormatLogic(filter), "1|-1|,2,|0|1|,1,");
  EXPECT_EQ(DescribeCondition(file.experiment(), filter), "animal=Rat 2 or Group=A");
  for (const char* bad : {"weight=3", "group=C", "colour=red", "animal", "1|9|,1,|1|-2|"}) {
    EXPECT_NE(ReadCondition(file.experiment(), bad, filter), "") << bad;
  }
}

TEST(FilterText, LogicThatDoesNotReadResetsBothConditions) {
  CFilter filter;
  EXPECT_TRUE(ParseLogic("1|-1|,3,|0|5|,7,|,8,", filter));
  EXPECT_EQ(filter.values2, ",7,|,8,");
  EXPECT_FALSE(filter.andLogic);
  for (const char* bad : {"", "1|x|,3,|1|-2|", "1|-1|,3,"}) {
    EXPECT_FALSE(ParseLogic(bad, filter)) << bad;
    EXPECT_EQ(filter.field1, kPropertyNone);
    EXPECT_EQ(filter.values1, "");
    EXPECT_TRUE(filter.andLogic);
  }
  EXPECT_EQ(SelectionSqlList(",12,15,"), "(12,15)");
  EXPECT_EQ(SelectionSqlList(","), "(-999)");
}

TEST_F(FilterFile, ReportsTakeOnlyTheirProtocolsFilters) {
  FilterRow row{-1, "far", kFilterFormula, "", "[vt:u0:7] > 50", "1|-2||1|-2|"};
  ASSERT_TRUE(SaveFilter(file.experiment(), row, 1));
  std::vector<int> ids;
  EXPECT_EQ(FilterTestIds(file.experiment(), row.id, 2, ids), FilterUse::kOtherProtocol);
  ASSERT_EQ(FilterTestIds(file.experiment(), row.id, 1, ids), FilterUse::kOk);
  const Report report = file.AddReport("time", "5|12|0||0|0|0|0|0|-2|0|0|");
  ReportRunOptions options;
  options.testIds = &ids;
  // The excluded test 6 is selected but never part of a report.
  const testing::ReportFile::Run run = file.RunReport(report, options);
  EXPECT_EQ(run.status, ReportRunStatus::kOk);
  EXPECT_EQ(run.TestIds(), (std::vector<int>{3, 5}));
  CFilter same;
  same.name = " FAR ";
  EXPECT_NE(FilterNameProblem(file.experiment(), same), "");
}

}  // namespace
}  // namespace vx
