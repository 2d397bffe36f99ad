// A formula filter compiled for evaluation, test by test, by the expression parser.
//
// Compiling replaces every token of formula_variables.h found in the text by a variable name
// as long as the token ("v0aaaaa", "v1aaaaaaaaa"...), so that the positions the parser reports
// are positions in the user's text; commas outside double-quoted strings become points (a
// decimal comma is accepted); line breaks become spaces. Division by zero is an error here,
// not an infinity that would quietly compare as larger than anything.
//
// The parser reports its failures by exceptions: they are caught here and turned into the
// error text "Erreur dans la formule : <message>", followed, when the position lies inside
// the formula, by a blank line, the formula up to that position and a caret.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "db/experiment.h"

namespace vx {

class FormulaContext {
 public:
  FormulaContext();
  ~FormulaContext();
  FormulaContext(const FormulaContext&) = delete;
  FormulaContext& operator=(const FormulaContext&) = delete;

  // Compiles text (trimmed first), written with stored tokens when storedForm, else with
  // display ones. False for an empty text (without an error) or a text the parser refuses
  // (with the error text).
  bool Compile(const std::string& text, bool storedForm, const std::vector<CField>& fields);

  // Whether the compiled formula accepts the test: its variables take the test's values and
  // the result must be true or false. A formula that names no variable accepts no test. A test
  // that is not analysed gives its measure variables the value 0 (the animal and the fields
  // still take theirs), so that the result never depends on the test evaluated before it.
  // An evaluation error (a division by zero, a result that is not true or false, an operator
  // given a text) rejects the test and leaves the error text.
  bool EvaluateOne(const Experiment& experiment, const CInfosTest& test);

  bool HasError() const { return !error_.empty(); }
  const std::string& ErrorText() const { return error_; }

 private:
  struct Compiled;
  void SetError(int position, const std::string& message);

  std::unique_ptr<Compiled> compiled_;
  std::string source_;  // the trimmed text as given
  std::string error_;
};

}  // namespace vx
