#include "db/field_values.h"

#include "base/text.h"

namespace vx {

namespace {

bool IsListType(int type) { return type == kFieldChoice || type == kFieldProtocolChoice; }

bool SameKind(int storedType, int fieldType) {
  return storedType == fieldType || (IsListType(storedType) && IsListType(fieldType));
}

// The stored form of a text value: up to the first separator of the encoding.
std::string StorableText(const std::string& text) {
  return text.substr(0, text.find_first_of("|;"));
}

int Translate(const std::map<int, int>& table, int id, int missing) {
  const auto found = table.find(id);
  return found == table.end() ? missing : found->second;
}

}  // namespace

const CField* FindFieldById(const std::vector<CField>& fields, int id) {
  for (const CField& field : fields) {
    if (field.id == id) return &field;
  }
  return nullptr;
}

std::string FormatFieldValues(const std::vector<tFieldContent>& values,
                              const std::vector<CField>& fields) {
  std::string text;
  for (const tFieldContent& value : values) {
    if (value.fieldId < 0) continue;
    const CField* field = FindFieldById(fields, value.fieldId);
    if (field == nullptr || field->type != value.type) continue;
    switch (value.type) {
      case kFieldText:
        text += Format("%d;%d;%s|", value.fieldId, value.type, StorableText(value.text).c_str());
        break;
      case kFieldNumber:
        text += Format("%d;%d;%f|", value.fieldId, value.type, value.real);
        break;
      default:
        text += Format("%d;%d;%d|", value.fieldId, value.type, value.choiceId);
        break;
    }
  }
  return text;
}

std::vector<tFieldContent> ParseFieldValues(const std::string& text,
                                            const std::vector<CField>& fields,
                                            const FieldIdTranslation* translation) {
  std::vector<tFieldContent> values;
  for (const std::string& entry : Split(text, '|', false)) {
    const std::vector<std::string> pieces = Split(entry, ';', false);
    if (pieces.size() < 2) continue;
    int fieldId = ToInt(pieces[0]);
    const int storedType = ToInt(pieces[1]);
    if (translation != nullptr) fieldId = Translate(translation->fields, fieldId, -1);
    const CField* field = FindFieldById(fields, fieldId);
    if (field == nullptr || !SameKind(storedType, field->type)) continue;

    tFieldContent value;
    value.fieldId = fieldId;
    value.type = field->type;
    const bool hasValue = pieces.size() >= 3;
    if (field->type == kFieldText) {
      if (hasValue) value.text = pieces[2];
    } else if (!hasValue) {
      continue;
    } else if (field->type == kFieldNumber) {
      value.real = ToDouble(pieces[2]);
    } else {
      value.choiceId = ToInt(pieces[2]);
      if (translation != nullptr) value.choiceId = Translate(translation->choices, value.choiceId, -1);
    }
    values.push_back(std::move(value));
  }
  return values;
}

}  // namespace vx
