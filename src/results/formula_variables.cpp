#include "results/formula_variables.h"

#include "base/text.h"
#include "db/field_values.h"
#include "measures/test_variables.h"
#include "measures/variable_values.h"
#include "trajectory/display_units.h"

namespace vx {

namespace {

constexpr int kAnimalCode = 4;
constexpr int kDistanceCode = 7;
constexpr int kAverageSpeedCode = 8;
constexpr int kMaxSpeedCode = 9;
constexpr int kMaxAccelCode = 10;
constexpr int kActivityCode = 30;
constexpr int kInactivityCode = 32;
constexpr int kMeasureCodes[] = {kAnimalCode,  kDistanceCode, kAverageSpeedCode, kMaxSpeedCode,
                                 kMaxAccelCode, kActivityCode, kInactivityCode};

bool HasUnitVariants(int code) { return code >= kDistanceCode && code <= kMaxAccelCode; }

// "mm", "cm/s", "m/s²": the unit a variant's display name ends with.
std::string UnitText(int code, int unit) {
  const char* pattern = code == kDistanceCode     ? LengthUnitPattern(unit)
                        : code == kMaxAccelCode   ? AccelerationUnitPattern(unit)
                                                  : SpeedUnitPattern(unit);
  return Trim(Format(pattern, ""));
}

std::string DisplayName(int code, int unit) {
  if (code == kMaxAccelCode) return Format(TestVariableInfo(code).title, UnitText(code, unit).c_str());
  std::string name = TestVariableTitle(code);
  if (unit >= 0) name += " ( " + UnitText(code, unit) + " )";
  return name;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  if (from.empty() || from == to) return;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

const std::vector<tFieldContent>* ValuesHolding(const Experiment& experiment, const CField& field,
                                                const CInfosTest& test) {
  if (field.category != 0) return &test.fields;
  const CAnimal* animal = experiment.FindAnimal(test.idAnimal);
  return animal != nullptr ? &animal->fields : nullptr;
}

FormulaValue FieldValue(const Experiment& experiment, int fieldId, const CInfosTest& test) {
  FormulaValue value;
  const CField* field = FindFieldById(experiment.fields, fieldId);
  if (field == nullptr) return value;
  const std::vector<tFieldContent>* held = ValuesHolding(experiment, *field, test);
  if (held == nullptr) return value;
  for (const tFieldContent& content : *held) {
    if (content.fieldId != fieldId) continue;
    if (field->type == kFieldNumber) {
      value.number = content.real;
    } else if (field->type == kFieldText) {
      value.text = content.text;
    } else {
      for (const CChoice& choice : field->choices) {
        if (choice.id == content.choiceId) value.text = choice.name;
      }
    }
  }
  return value;
}

double MeasureValue(const CInfosTest& test, int code, int unit) {
  double value = 0;
  switch (code) {
    case kDistanceCode: value = test.distance; break;
    case kAverageSpeedCode: value = test.averageSpeed; break;
    case kMaxSpeedCode: value = test.maxSpeed; break;
    case kMaxAccelCode: value = test.maxAccel; break;
    case kActivityCode: value = ActivitySharesOf(test).activePercent; break;
    case kInactivityCode: value = ActivitySharesOf(test).inactivePercent; break;
    default: break;
  }
  if (unit == 1) value /= 10;
  if (unit == 2) value /= 1000;
  return static_cast<float>(value);
}

}  // namespace

std::vector<FormulaToken> FormulaTokens(const std::vector<CField>& fields) {
  std::vector<FormulaToken> tokens;
  for (const int code : kMeasureCodes) {
    if (!HasUnitVariants(code)) {
      tokens.push_back({code, -1, Format("[vt:%d]", code), "[" + DisplayName(code, -1) + "]",
                        code != kAnimalCode});
      continue;
    }
    for (int unit = 0; unit <= 2; ++unit) {
      tokens.push_back({code, unit, Format("[vt:u%d:%d]", unit, code),
                        "[" + DisplayName(code, unit) + "]", true});
    }
  }
  for (const CField& field : fields) {
    tokens.push_back({kFieldVariableBase + field.id, -1, Format("[vuf:%d]", field.id),
                      "[" + field.name + "]", field.type == kFieldNumber});
  }
  return tokens;
}

std::string FormulaToStored(const std::string& text, const std::vector<CField>& fields) {
  std::string out = text;
  for (const FormulaToken& token : FormulaTokens(fields)) ReplaceAll(out, token.display, token.stored);
  return out;
}

std::string FormulaToDisplay(const std::string& text, const std::vector<CField>& fields) {
  std::string out = text;
  for (const FormulaToken& token : FormulaTokens(fields)) ReplaceAll(out, token.stored, token.display);
  return out;
}

FormulaValue FormulaValueOf(const Experiment& experiment, const FormulaToken& token,
                            const CInfosTest& test) {
  if (token.code >= kFieldVariableBase) {
    return FieldValue(experiment, token.code - kFieldVariableBase, test);
  }
  FormulaValue value;
  if (token.code == kAnimalCode) {
    if (const CAnimal* animal = experiment.FindAnimal(test.idAnimal)) value.text = animal->name;
  } else {
    value.number = MeasureValue(test, token.code, token.unitIndex);
  }
  return value;
}

}  // namespace vx
