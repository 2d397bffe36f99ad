#include "db/field_entry.h"

#include <algorithm>
#include <cmath>

#include "base/text.h"

namespace vx {

namespace {

constexpr const char* kTypeNames[] = {"text", "number", "choice", "protocol-choice"};

const CChoice* FindChoice(const CField& field, const std::string& text) {
  for (const CChoice& choice : field.choices) {
    if (EqualsNoCase(choice.name, text)) return &choice;
  }
  int id = -1;
  if (!TryParseInt(text, id)) return nullptr;
  for (const CChoice& choice : field.choices) {
    if (choice.id == id) return &choice;
  }
  return nullptr;
}

std::string ChoiceNames(const CField& field) {
  std::string names;
  for (const CChoice& choice : field.choices) names += (names.empty() ? "" : ", ") + choice.name;
  return names;
}

// The value of text for field, or the reason it is not one.
std::string ReadValue(const CField& field, const std::string& text, tFieldContent& value) {
  value.fieldId = field.id;
  value.type = field.type;
  switch (field.type) {
    case kFieldText:
      value.text = text;
      return FieldTextProblem(text);
    case kFieldNumber:
      if (!TryParseDouble(text, value.real) || !std::isfinite(value.real)) {
        return Format("the field '%s' holds numbers, not '%s'", field.name.c_str(), text.c_str());
      }
      return {};
    default:
      if (const CChoice* choice = FindChoice(field, text)) {
        value.choiceId = choice->id;
        return {};
      }
      return Format("the field '%s' has no choice '%s' (%s)", field.name.c_str(), text.c_str(),
                    ChoiceNames(field).c_str());
  }
}

}  // namespace

const char* FieldTypeName(int type) {
  return type >= 0 && type <= 3 ? kTypeNames[type] : "";
}

int FieldTypeOf(const std::string& name) {
  for (int type = 0; type <= 3; ++type) {
    if (EqualsNoCase(name, kTypeNames[type])) return type;
  }
  int type = -1;
  return TryParseInt(name, type) && type >= 0 && type <= 3 ? type : -1;
}

const char* FieldFamilyName(int category) { return category == kAnimalFields ? "animal" : "test"; }

std::string FieldTextProblem(const std::string& text) {
  if (text.find_first_of("|;") != std::string::npos) return "\"|\" and \";\" cannot be stored in a field";
  return {};
}

std::string SetFieldValue(const std::vector<CField>& fields, int category,
                          const std::string& assignment, std::vector<tFieldContent>& values,
                          const CField** found) {
  const size_t equals = assignment.find('=');
  if (equals == std::string::npos || equals == 0) {
    return Format("'%s' is not NAME=VALUE", assignment.c_str());
  }
  const std::string name = Trim(assignment.substr(0, equals));
  const auto field = std::find_if(fields.begin(), fields.end(), [&](const CField& f) {
    return f.category == category && EqualsNoCase(f.name, name);
  });
  if (field == fields.end()) {
    return Format("there is no %s field named '%s' (velantrix field list)", FieldFamilyName(category), name.c_str());
  }
  if (found != nullptr) *found = &*field;
  std::erase_if(values, [&](const tFieldContent& v) { return v.fieldId == field->id; });
  const std::string text = assignment.substr(equals + 1);
  if (text.empty()) return {};
  tFieldContent value;
  if (std::string problem = ReadValue(*field, text, value); !problem.empty()) return problem;
  values.push_back(value);
  return {};
}

bool ProtocolChoicesDiffer(const std::vector<CField>& fields, const std::vector<tFieldContent>& a,
                           const std::vector<tFieldContent>& b) {
  auto choiceOf = [](const std::vector<tFieldContent>& values, int fieldId) {
    for (const tFieldContent& v : values) {
      if (v.fieldId == fieldId) return v.choiceId;
    }
    return -2;  // no value
  };
  return std::any_of(fields.begin(), fields.end(), [&](const CField& f) {
    return f.type == kFieldProtocolChoice && choiceOf(a, f.id) != choiceOf(b, f.id);
  });
}

}  // namespace vx
