#include "shell/field_words.h"

#include "base/text.h"

namespace vx {

std::string FieldValueWords(const CField& field, const std::vector<tFieldContent>& values) {
  for (const tFieldContent& value : values) {
    if (value.fieldId != field.id) continue;
    switch (field.type) {
      case kFieldText: return value.text;
      case kFieldNumber: return Format("%g", value.real);
      default:
        for (const CChoice& choice : field.choices) {
          if (choice.id == value.choiceId) return choice.name;
        }
        return "";
    }
  }
  return "";
}

std::vector<const CField*> FieldsOfForm(const std::vector<CField>& fields, int category, int protocolId) {
  std::vector<const CField*> shown;
  for (const CField& field : fields) {
    if (field.category != category) continue;
    if (category == 1 && field.idProtocol != -1 && field.idProtocol != protocolId) continue;
    shown.push_back(&field);
  }
  return shown;
}

}  // namespace vx
