#include "results/filter_condition.h"

#include "base/text.h"
#include "db/field_values.h"

namespace vx {

namespace {

const CField* ChoiceField(const Experiment& experiment, const std::string& name) {
  int id = -1;
  for (const CField& field : experiment.fields) {
    if (EqualsNoCase(field.name, name) || (TryParseInt(name, id) && field.id == id)) return &field;
  }
  return nullptr;
}

// The id of a value named or numbered text among (id, name) pairs, or -1.
template <typename Items>
int ValueId(const Items& items, const std::string& text) {
  int id = -1;
  const bool numeric = TryParseInt(text, id);
  for (const auto& item : items) {
    if (EqualsNoCase(item.name, text) || (numeric && item.id == id)) return item.id;
  }
  return -1;
}

std::string ReadOne(const Experiment& experiment, const std::string& part, int& property, std::string& values) {
  const size_t equals = part.find('=');
  if (equals == std::string::npos) return Format("'%s' is not PROPERTY=VALUE,...", part.c_str());
  const std::string name = Trim(part.substr(0, equals));
  const CField* field = nullptr;
  if (EqualsNoCase(name, "animal")) {
    property = kPropertyAnimal;
  } else if ((field = ChoiceField(experiment, name)) == nullptr) {
    return Format("there is no field '%s'", name.c_str());
  } else if (field->type != kFieldChoice && field->type != kFieldProtocolChoice) {
    return Format("the field '%s' is not a choice field", field->name.c_str());
  } else {
    property = field->id;
  }
  values = ",";
  for (const std::string& item : Split(part.substr(equals + 1), ',', false)) {
    const std::string text = Trim(item);
    const int id = field != nullptr ? ValueId(field->choices, text) : ValueId(experiment.animals, text);
    if (id < 0) {
      return Format("'%s' is not %s", text.c_str(), field != nullptr ? "one of the field's choices" : "an animal");
    }
    values += Format("%d,", id);
  }
  if (values == ",") return Format("'%s' names no value", part.c_str());
  return {};
}

std::string ValueNames(const Experiment& experiment, int property, const std::string& values) {
  std::string names;
  for (const int id : SelectionIds(values)) {
    std::string name = std::to_string(id);
    if (property == kPropertyAnimal) {
      if (const CAnimal* animal = experiment.FindAnimal(id)) name = animal->name;
    } else if (const CField* field = FindFieldById(experiment.fields, property)) {
      for (const CChoice& choice : field->choices) {
        if (choice.id == id) name = choice.name;
      }
    }
    names += (names.empty() ? "" : ",") + name;
  }
  return names;
}

std::string PropertyName(const Experiment& experiment, int property) {
  if (property == kPropertyAnimal) return "animal";
  const CField* field = FindFieldById(experiment.fields, property);
  return field != nullptr ? field->name : std::to_string(property);
}

}  // namespace

std::string ReadCondition(const Experiment& experiment, const std::string& text, CFilter& filter) {
  if (text.find('|') != std::string::npos) {
    if (!ParseLogic(text, filter)) return Format("'%s' is not a condition text", text.c_str());
    for (const int property : {filter.field1, filter.field2}) {
      if (property <= kPropertyAnimal) continue;
      const CField* field = FindFieldById(experiment.fields, property);
      if (field == nullptr || (field->type != kFieldChoice && field->type != kFieldProtocolChoice)) {
        return Format("there is no choice field %d", property);
      }
    }
    return {};
  }
  // Split on the first " and " or " or " between the two conditions.
  const std::string lower = ToLower(text);
  size_t join = lower.find(" and ");
  bool andLogic = true;
  if (const size_t orAt = lower.find(" or "); orAt != std::string::npos && orAt < join) {
    join = orAt;
    andLogic = false;
  }
  CFilter read = filter;
  read.field2 = kPropertyNone;
  read.values2.clear();
  read.andLogic = andLogic;
  const std::string first = join == std::string::npos ? text : text.substr(0, join);
  if (std::string problem = ReadOne(experiment, first, read.field1, read.values1); !problem.empty()) return problem;
  if (join != std::string::npos) {
    const std::string second = text.substr(join + (andLogic ? 5 : 4));
    if (std::string problem = ReadOne(experiment, second, read.field2, read.values2); !problem.empty()) return problem;
  }
  filter = read;
  return {};
}

std::string DescribeCondition(const Experiment& experiment, const CFilter& filter) {
  std::string text;
  for (const auto& [property, values] : {std::pair{filter.field1, filter.values1}, std::pair{filter.field2, filter.values2}}) {
    if (property == kPropertyNone) continue;
    if (!text.empty()) text += filter.andLogic ? " and " : " or ";
    text += PropertyName(experiment, property) + "=" + ValueNames(experiment, property, values);
  }
  return text;
}

}  // namespace vx
