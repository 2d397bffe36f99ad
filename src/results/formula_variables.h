// The variables a filter formula can name: the test's summary measures and the custom fields,
// each written as a token in square brackets.
//
// Measures (codes of the test variables): 4 the animal's name (text), 7 total distance, 8
// average speed, 9 maximum speed, 10 maximum acceleration (these four in mm, cm or m based
// units: unit index 0, 1, 2), 30 and 32 the active and inactive shares in percent. Custom fields
// take the code 100 + field id: numbers for numeric fields, text for every other type.
//
// Two spellings of a token:
//   stored  "[vt:%d]" (code), "[vt:u%d:%d]" (unit index, code), "[vuf:%d]" (field id)
//   display "[Animal]", "[Total dist. ( cm )]", "[Max acceleration ( m/s² )]", "[Field name]"
// The stored one is kept in the file (it survives a field's renaming); the display one is what
// the user reads and types.
#pragma once

#include <string>
#include <vector>

#include "db/experiment.h"

namespace vx {

inline constexpr int kFieldVariableBase = 100;

struct FormulaToken {
  int code = 0;        // measure code, or 100 + field id
  int unitIndex = -1;  // 0..2 for the unit variants, -1 otherwise
  std::string stored;
  std::string display;
  bool numeric = true;
};

// Every token, in the order compilation looks for them: the measures by code (each unit
// variant in turn), then the fields in list order.
std::vector<FormulaToken> FormulaTokens(const std::vector<CField>& fields);

// Display to stored form and back (each token of the table replaced in turn).
std::string FormulaToStored(const std::string& text, const std::vector<CField>& fields);
std::string FormulaToDisplay(const std::string& text, const std::vector<CField>& fields);

// The value of a variable for a test: number or text. Measure values pass through single
// precision, as the summary is kept.
struct FormulaValue {
  double number = 0.0;
  std::string text;
};
FormulaValue FormulaValueOf(const Experiment& experiment, const FormulaToken& token,
                            const CInfosTest& test);

}  // namespace vx
