#include "results/filter.h"

#include "base/messages.h"
#include "base/text.h"
#include "db/field_values.h"

namespace vx {

namespace {

void ResetCondition(CFilter& filter) {
  filter.field1 = filter.field2 = kPropertyNone;
  filter.values1.clear();
  filter.values2.clear();
  filter.andLogic = true;
}

// Condition on property with accepted values: -1 not applicable, else 0 or 1.
int ConditionState(const Experiment& experiment, int property, const std::string& values,
                   const CInfosTest& test) {
  if (property == kPropertyNone) return -1;
  if (property == kPropertyAnimal) return IdSetContains(values, test.idAnimal) ? 1 : 0;
  const CField* field = FindFieldById(experiment.fields, property);
  if (field == nullptr || (field->type != kFieldChoice && field->type != kFieldProtocolChoice)) {
    return -1;
  }
  // An animal field's value is the one its animal holds.
  const std::vector<tFieldContent>* held = &test.fields;
  if (field->category == 0) {
    const CAnimal* animal = experiment.FindAnimal(test.idAnimal);
    if (animal == nullptr) return -1;
    held = &animal->fields;
  }
  for (const tFieldContent& value : *held) {
    if (value.fieldId != property) continue;
    if (value.type != kFieldChoice && value.type != kFieldProtocolChoice) return -1;
    return IdSetContains(values, value.choiceId) ? 1 : 0;
  }
  return -1;
}

}  // namespace

std::string FormatLogic(const CFilter& f) {
  return Format("%d|%d|%s|%d|%d|%s", 1, f.field1, f.values1.c_str(), f.andLogic ? 1 : 0,
                f.field2, f.values2.c_str());
}

bool ParseLogic(std::string_view text, CFilter& filter) {
  ResetCondition(filter);
  // The last value string runs to the end of the text, bars included.
  std::vector<std::string> tokens = Split(text, '|', true);
  if (tokens.size() < 6) return false;
  for (size_t i = 6; i < tokens.size(); ++i) tokens[5] += "|" + tokens[i];
  int format = 0, field1 = 0, andLogic = 0, field2 = 0;
  if (!TryParseInt(tokens[0], format) || !TryParseInt(tokens[1], field1) ||
      !TryParseInt(tokens[3], andLogic) || !TryParseInt(tokens[4], field2)) {
    return false;
  }
  filter.field1 = field1;
  filter.values1 = tokens[2];
  filter.andLogic = andLogic != 0;
  filter.field2 = field2;
  filter.values2 = tokens[5];
  return true;
}

CFilter FilterFromRow(const FilterRow& row, int protocolId) {
  CFilter filter;
  filter.id = row.id;
  filter.name = row.name;
  filter.type = row.type;
  filter.list = row.list;
  filter.formula = row.formule;
  filter.idProtocol = protocolId;
  ParseLogic(row.logic, filter);
  return filter;
}

FilterRow RowFromFilter(const CFilter& f) {
  return {f.id, f.name, f.type, f.list, f.formula, FormatLogic(f)};
}

std::vector<int> SelectionIds(std::string_view selection) {
  std::vector<int> ids;
  for (const std::string& item : Split(selection, ',', false)) {
    int id = 0;
    if (TryParseInt(Trim(item), id) && id >= 0) ids.push_back(id);
  }
  return ids;
}

std::string SelectionOf(const std::vector<int>& ids) {
  if (ids.empty()) return kNothingSelected;
  std::string text;
  for (const int id : ids) text += Format(",%d", id);
  return text + ",";
}

std::string SelectionSqlList(std::string_view selection) {
  if (selection.size() < 3) return "(-999)";
  return "(" + std::string(selection.substr(1, selection.size() - 2)) + ")";
}

std::string FilterNameProblem(const Experiment& experiment, const CFilter& filter) {
  const std::string name = Trim(filter.name);
  if (name.empty()) return MessageText(msg::kEnterName);
  for (const CProtocol& protocol : experiment.protocols) {
    for (const FilterRow& other : protocol.filters) {
      if (other.id != filter.id && EqualsNoCase(Trim(other.name), name)) {
        return Format(MessageText(msg::kFilterNameUsed), name.c_str());
      }
    }
  }
  return {};
}

bool ConditionSelects(const Experiment& experiment, const CFilter& filter, const CInfosTest& test) {
  const int first = ConditionState(experiment, filter.field1, filter.values1, test);
  const int second = ConditionState(experiment, filter.field2, filter.values2, test);
  if (first < 0 && second < 0) return false;
  if (first < 0) return second == 1;
  if (second < 0) return first == 1;
  return filter.andLogic ? (first == 1 && second == 1) : (first == 1 || second == 1);
}

}  // namespace vx
