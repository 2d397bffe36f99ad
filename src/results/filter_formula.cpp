#include "results/filter_formula.h"

#include <mpParser.h>

#include "base/messages.h"
#include "base/text.h"
#include "results/formula_variables.h"

namespace vx {

namespace {

// Division that refuses a zero divisor (the parser's own returns an infinity).
class CheckedDivision : public mup::IOprtBin {
 public:
  CheckedDivision() : mup::IOprtBin("/", static_cast<int>(mup::prMUL_DIV), mup::oaLEFT) {}
  void Eval(mup::ptr_val_type& ret, const mup::ptr_val_type* args, int) override {
    for (int i = 0; i < 2; ++i) {
      if (!args[i]->IsScalar()) {
        throw mup::ParserError(mup::ErrorContext(mup::ecTYPE_CONFLICT_FUN, GetExprPos(), GetIdent(),
                                                 args[i]->GetType(), 'f', i + 1));
      }
    }
    const mup::float_type divisor = args[1]->GetFloat();
    if (divisor == 0) throw mup::ParserError(mup::ErrorContext(mup::ecDIV_BY_ZERO, GetExprPos(), GetIdent()));
    *ret = args[0]->GetFloat() / divisor;
  }
  const mup::char_type* GetDesc() const override { return "x/y - division"; }
  mup::IToken* Clone() const override { return new CheckedDivision(*this); }
};

std::string WorkingText(const std::string& source) {
  std::string text = source;
  for (const char* lineBreak : {"\n\r", "\r\n", "\n", "\r"}) {
    for (size_t at = text.find(lineBreak); at != std::string::npos; at = text.find(lineBreak, at + 1)) {
      text.replace(at, std::char_traits<char>::length(lineBreak), " ");
    }
  }
  return text;
}

// A decimal comma outside quoted strings is a point.
void CommasToPoints(std::string& text) {
  bool quoted = false;
  for (char& c : text) {
    if (c == '"') quoted = !quoted;
    if (c == ',' && !quoted) c = '.';
  }
}

std::string VariableName(int counter, size_t length) {
  std::string name = Format("v%d", counter);
  if (name.size() < length) name.append(length - name.size(), 'a');
  return name;
}

}  // namespace

struct FormulaContext::Compiled {
  struct Variable {
    FormulaToken token;
    std::unique_ptr<mup::Value> value;
  };
  mup::ParserX parser{mup::pckALL_NON_COMPLEX};
  std::vector<Variable> variables;
};

FormulaContext::FormulaContext() = default;
FormulaContext::~FormulaContext() = default;

void FormulaContext::SetError(int position, const std::string& message) {
  error_ = Format(MessageText(msg::kFormulaError), message.c_str());
  if (position >= 0 && static_cast<size_t>(position) < source_.size()) {
    error_ += "\n\n" + source_.substr(0, static_cast<size_t>(position)) + "^";
  }
}

bool FormulaContext::Compile(const std::string& text, bool storedForm, const std::vector<CField>& fields) {
  compiled_.reset();
  error_.clear();
  source_ = Trim(text);
  if (source_.empty()) return false;
  auto compiled = std::make_unique<Compiled>();
  std::string working = WorkingText(source_);
  try {
    compiled->parser.RemoveOprt("/");
    compiled->parser.DefineOprt(new CheckedDivision);
    for (const FormulaToken& token : FormulaTokens(fields)) {
      const std::string& spelled = storedForm ? token.stored : token.display;
      if (working.find(spelled) == std::string::npos) continue;
      const std::string name = VariableName(static_cast<int>(compiled->variables.size()), spelled.size());
      for (size_t at = working.find(spelled); at != std::string::npos; at = working.find(spelled, at)) {
        working.replace(at, spelled.size(), name);
      }
      auto value = token.numeric ? std::make_unique<mup::Value>(0.0)
                                 : std::make_unique<mup::Value>(mup::string_type());
      compiled->parser.DefineVar(name, mup::Variable(value.get()));
      compiled->variables.push_back({token, std::move(value)});
    }
    CommasToPoints(working);
    compiled->parser.SetExpr(working);
    compiled->parser.GetExprVar();  // parses the expression
  } catch (const mup::ParserError& e) {
    SetError(e.GetPos(), e.GetMsg());
    return false;
  }
  compiled_ = std::move(compiled);
  return true;
}

bool FormulaContext::EvaluateOne(const Experiment& experiment, const CInfosTest& test) {
  if (!compiled_ || compiled_->variables.empty()) return false;
  try {
    for (Compiled::Variable& variable : compiled_->variables) {
      const FormulaToken& token = variable.token;
      const bool measure = token.code < kFieldVariableBase && token.numeric;
      const FormulaValue value =
          measure && !test.IsAnalysed() ? FormulaValue() : FormulaValueOf(experiment, token, test);
      *variable.value = token.numeric ? mup::Value(value.number) : mup::Value(value.text);
    }
    const mup::IValue& result = compiled_->parser.Eval();
    if (result.GetType() != 'b') {
      throw mup::ParserError(
          mup::ErrorContext(mup::ecTYPE_CONFLICT, -1, result.ToString(), result.GetType(), 'b', 0));
    }
    return result.GetBool();
  } catch (const mup::ParserError& e) {
    SetError(e.GetPos(), e.GetMsg());
    return false;
  }
}

}  // namespace vx
