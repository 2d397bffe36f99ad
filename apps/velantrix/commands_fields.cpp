// Verbs on custom fields: field add, list.
#include <CLI/CLI.hpp>

#include <memory>

#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "db/field_entry.h"
#include "db/field_store.h"
#include "experiment_access.h"
#include "output.h"

namespace vx::cli {

namespace {

struct FieldOptions {
  std::string path;
  std::string name;
  std::string type = "text";
  std::string family = "test";
  std::string unit;
  std::string choices;  // "NAME[:ZONE_ID],..."
  int protocol = -1;
  int zone = -1;
};

// The choices of "NAME[:ZONE_ID],...", or the reason they cannot be stored.
std::string ReadChoices(const std::string& text, std::vector<CChoice>& choices) {
  for (const std::string& item : Split(text, ',', true)) {
    CChoice choice;
    const size_t colon = item.rfind(':');
    choice.name = Trim(colon == std::string::npos ? item : item.substr(0, colon));
    if (colon != std::string::npos && (!TryParseInt(item.substr(colon + 1), choice.idZone) || choice.idZone < 0)) {
      return Format("'%s': a choice's zone is a zone id", item.c_str());
    }
    if (choice.name.empty()) return "a choice has no name";
    if (std::string problem = FieldTextProblem(choice.name); !problem.empty()) return problem;
    for (const CChoice& other : choices) {
      if (EqualsNoCase(other.name, choice.name)) return Format("the choice '%s' is given twice", choice.name.c_str());
    }
    choices.push_back(choice);
  }
  return {};
}

// The field the options describe, or the reason it cannot be (bad usage).
std::string FieldFromOptions(const FieldOptions& o, const Experiment& experiment, CField& field) {
  field.name = Trim(o.name);
  field.type = FieldTypeOf(o.type);
  field.unit = o.unit;
  field.idProtocol = o.protocol;
  field.idZone = o.zone;
  if (field.name.empty()) return "the field needs a name";
  if (std::string problem = FieldTextProblem(field.name + field.unit); !problem.empty()) return problem;
  if (field.type < 0) return Format("--type '%s' is not text, number, choice or protocol-choice", o.type.c_str());
  if (EqualsNoCase(o.family, "animal")) {
    field.category = kAnimalFields;
  } else if (EqualsNoCase(o.family, "test")) {
    field.category = kTestFields;
  } else {
    return Format("--for '%s' is not animal or test", o.family.c_str());
  }
  for (const CField& other : experiment.fields) {
    if (other.category == field.category && EqualsNoCase(other.name, field.name)) {
      return Format("there is already a %s field named '%s'", FieldFamilyName(field.category), other.name.c_str());
    }
  }
  if (o.protocol >= 0 && experiment.FindProtocol(o.protocol) == nullptr) return Format("there is no protocol %d", o.protocol);
  const bool list = field.type == kFieldChoice || field.type == kFieldProtocolChoice;
  if (list == o.choices.empty()) {
    return list ? "a choice field needs --choices NAME,NAME,..." : "--choices is for choice fields";
  }
  if (field.type == kFieldProtocolChoice && (field.category != kTestFields || o.protocol < 0)) {
    return "a protocol-choice field is a test field of one protocol: --for test --protocol ID";
  }
  if (std::string problem = ReadChoices(o.choices, field.choices); !problem.empty()) return problem;
  for (CChoice& choice : field.choices) choice.idProtocol = field.type == kFieldProtocolChoice ? field.idProtocol : -1;
  return {};
}

int RunFieldAdd(Context& context, const FieldOptions& o) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, o.path, experiment, status)) return status;
  CField field;
  if (std::string problem = FieldFromOptions(o, experiment, field); !problem.empty()) {
    return context.Fail("field add: " + problem + ".", kExitUsage);
  }
  const bool saved = SaveField(experiment, field);
  return ReportCreated(context, saved, field.id, "field");
}

int RunFieldList(Context& context, const std::string& path, OutputFormat format) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, experiment, status)) return status;
  RecordTable table({"id", "name", "for", "type", "unit", "protocol", "zone", "choices"});
  for (const CField& f : experiment.fields) {
    std::string choices;
    for (const CChoice& c : f.choices) {
      choices += (choices.empty() ? "" : ", ") + c.name + (c.idZone >= 0 ? Format(":%d", c.idZone) : "");
    }
    table.Add({Cell::Int(f.id), Cell::Str(f.name), Cell::Str(FieldFamilyName(f.category)),
               Cell::Str(FieldTypeName(f.type)), Cell::Str(f.unit), Cell::Int(f.idProtocol),
               Cell::Int(f.idZone), Cell::Str(choices)});
  }
  table.Print(context.io.out, format);
  return kExitOk;
}

}  // namespace

void RegisterFieldCommands(CLI::App& app, Context& context, CommandResult& result) {
  CLI::App* verb = Verb(app, "field", "Custom fields of animals and tests: add, list");
  auto o = std::make_shared<FieldOptions>();
  CLI::App* add = verb->add_subcommand("add", "Add a custom field; prints its id");
  add->add_option("EXP", o->path, "Experiment file")->required();
  add->add_option("--name", o->name, "Field name")->required();
  add->add_option("--type", o->type, "text, number, choice or protocol-choice (default text)");
  add->add_option("--for", o->family, "Whose field: test (default) or animal");
  add->add_option("--unit", o->unit, "Unit shown after numbers");
  add->add_option("--choices", o->choices, "The choices of a choice field: NAME[:ZONE_ID],...");
  add->add_option("--protocol", o->protocol, "Only for the tests of this protocol");
  add->add_option("--zone", o->zone, "The choice zone a protocol-choice field chooses for");
  add->callback([&, o] { result.Select([&, o] { return RunFieldAdd(context, *o); }); });
  AddListVerb(*verb, context, result, "List the custom fields", RunFieldList);
}

}  // namespace vx::cli
