// A test filter: which of one protocol's tests a result table, a report run or an export takes.
//
// Three kinds, by Type:
//   1 a list of tests picked by hand, kept as its selection string;
//   2 a simple condition on up to two properties (the test's animal, or a choice field), joined
//     by AND or OR, kept in Logic as "1|%d|%s|%d|%d|%s" (format number, Field1, Values1, And,
//     Field2, Values2);
//   0 a formula over the test's summary measures and custom fields (filter_formula.h).
//
// Every filter evaluates to a selection string: the selected ids each preceded by a comma, with
// a final comma (",12,15,18,"). A condition or formula that selects nothing gives ",-999,", so
// that the SQL list built from it is never empty and matches no test.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "db/experiment.h"
#include "db/protocol.h"

namespace vx {

enum FilterType { kFilterFormula = 0, kFilterList = 1, kFilterCondition = 2 };

// Property codes of a simple condition (otherwise the id of a choice field).
inline constexpr int kPropertyNone = -2;
inline constexpr int kPropertyAnimal = -1;

inline constexpr const char* kNothingSelected = ",-999,";

struct CFilter {
  int id = -1;
  std::string name;
  int type = kFilterList;
  std::string list;     // type 1: the selection string
  std::string formula;  // type 0: stored form ("[vt:%d]", "[vt:u%d:%d]", "[vuf:%d]" tokens)
  int idProtocol = -1;
  int field1 = kPropertyNone;
  std::string values1;  // ",id,id," of accepted animals or choices
  int field2 = kPropertyNone;
  std::string values2;
  bool andLogic = true;
};

// Logic text of the simple condition.
std::string FormatLogic(const CFilter& filter);
// Reads a Logic text into the condition fields. An empty text, or a missing or non-numeric
// integer, resets both conditions to none (and And to true) and returns false.
bool ParseLogic(std::string_view text, CFilter& filter);

CFilter FilterFromRow(const FilterRow& row, int protocolId);
FilterRow RowFromFilter(const CFilter& filter);

// The ids of a selection string, in its order; malformed items are skipped.
std::vector<int> SelectionIds(std::string_view selection);
// The selection string of ids (",-999," when there is none).
std::string SelectionOf(const std::vector<int>& ids);
// The SQL list of a selection string: "(id1,id2,...)"; "(-999)" for a text too short to hold one.
std::string SelectionSqlList(std::string_view selection);

// Why a filter cannot be saved under its name (message text), or "" when it can: an empty
// name, or the name of another filter of the experiment.
std::string FilterNameProblem(const Experiment& experiment, const CFilter& filter);

// Whether the simple condition selects the test.
bool ConditionSelects(const Experiment& experiment, const CFilter& filter, const CInfosTest& test);

}  // namespace vx
