// Verbs on test filters: filter add, list, show, delete.
#include <CLI/CLI.hpp>

#include <memory>

#include "base/messages.h"
#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "db/filter_store.h"
#include "experiment_access.h"
#include "option_values.h"
#include "output.h"
#include "results/filter_condition.h"
#include "results/filter_formula.h"
#include "results/filter_selection.h"
#include "results/formula_variables.h"

namespace vx::cli {

namespace {

struct FilterOptions {
  std::string path;
  int protocol = -1;
  int id = -1;
  std::string name;
  std::string tests;
  std::string formula;
  std::string condition;
  bool json = false;
  bool csv = false;
};

std::string JoinIds(const std::vector<int>& ids, const char* separator = ",") {
  std::string text;
  for (const int id : ids) text += (text.empty() ? "" : separator) + std::to_string(id);
  return text;
}

const char* TypeName(int type) {
  switch (type) {
    case kFilterFormula: return "formula";
    case kFilterList: return "tests";
    case kFilterCondition: return "condition";
    default: return "unknown";
  }
}

// The filter's definition as the user reads it.
std::string Definition(const Experiment& experiment, const CFilter& filter) {
  switch (filter.type) {
    case kFilterFormula: return FormulaToDisplay(filter.formula, experiment.fields);
    case kFilterList: return JoinIds(SelectionIds(filter.list));
    case kFilterCondition: return DescribeCondition(experiment, filter);
    default: return {};
  }
}

std::string TestList(const Experiment& experiment, const FilterOptions& o, std::string& list) {
  std::vector<int> ids;
  for (const std::string& item : Split(o.tests, ',', false)) {
    int id = -1;
    const auto test = TryParseInt(Trim(item), id) ? experiment.tests.find(id) : experiment.tests.end();
    if (test == experiment.tests.end()) return Format("'%s' is not a test id", item.c_str());
    if (test->second.idProtocol != o.protocol) return Format("test %d is not a test of protocol %d", id, o.protocol);
    ids.push_back(id);
  }
  if (ids.empty()) return "--tests names no test";
  list = SelectionOf(ids);
  return {};
}

// The filter the options describe, or why it cannot be (bad usage).
std::string FilterFromOptions(const Experiment& experiment, const FilterOptions& o, CFilter& filter) {
  filter.name = Trim(o.name);
  filter.idProtocol = o.protocol;
  if (experiment.FindProtocol(o.protocol) == nullptr) return Format("there is no protocol %d", o.protocol);
  if (std::string problem = FilterNameProblem(experiment, filter); !problem.empty()) return problem;
  if (!o.tests.empty()) {
    filter.type = kFilterList;
    return TestList(experiment, o, filter.list);
  }
  if (!o.condition.empty()) {
    filter.type = kFilterCondition;
    return ReadCondition(experiment, o.condition, filter);
  }
  filter.type = kFilterFormula;
  filter.formula = FormulaToStored(o.formula, experiment.fields);
  // Compiled in display form (as typed, unless stored tokens were typed), so that an error
  // points into the user's own text.
  FormulaContext formula;
  if (!formula.Compile(FormulaToDisplay(filter.formula, experiment.fields), false, experiment.fields)) {
    return formula.HasError() ? formula.ErrorText() : "the formula is empty";
  }
  return {};
}

int RunAdd(Context& context, const FilterOptions& o) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, o.path, experiment, status)) return status;
  CFilter filter;
  if (std::string problem = FilterFromOptions(experiment, o, filter); !problem.empty()) {
    return context.Fail("filter add: " + problem, kExitUsage);
  }
  FilterRow row = RowFromFilter(filter);
  const bool saved = SaveFilter(experiment, row, filter.idProtocol);
  return ReportCreated(context, saved, row.id, "filter");
}

int RunList(Context& context, const FilterOptions& o, OutputFormat format) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, o.path, experiment, status)) return status;
  if (o.protocol != -1 && experiment.FindProtocol(o.protocol) == nullptr) {
    return context.Fail(Format("There is no protocol %d in '%s'.", o.protocol, o.path.c_str()));
  }
  RecordTable table({"id", "protocol", "name", "type", "definition", "tests", "error"});
  for (const CProtocol& protocol : experiment.protocols) {
    if (o.protocol != -1 && protocol.id != o.protocol) continue;
    for (const FilterRow& row : protocol.filters) {
      const CFilter filter = FilterFromRow(row, protocol.id);
      const FilterSelection selected = EvaluateFilter(experiment, filter);
      table.Add({Cell::Int(filter.id), Cell::Int(protocol.id), Cell::Str(filter.name),
                 Cell::Str(TypeName(filter.type)), Cell::Str(Definition(experiment, filter)),
                 Cell::Int(static_cast<long long>(SelectionIds(selected.selection).size())),
                 Cell::Str(selected.error)});
    }
  }
  table.Print(context.io.out, format);
  return kExitOk;
}

// Opens the experiment and finds the filter o.id; false with the exit status otherwise.
bool OpenFilter(Context& context, const FilterOptions& o, Experiment& experiment, CFilter& filter, int& status) {
  if (!OpenExperimentForCommand(context, o.path, experiment, status)) return false;
  if (FindFilter(experiment, o.id, filter)) return true;
  status = context.Fail(Format("There is no filter %d in '%s'.", o.id, o.path.c_str()));
  return false;
}

int RunShow(Context& context, const FilterOptions& o) {
  Experiment experiment;
  CFilter filter;
  int status = kExitOk;
  if (!OpenFilter(context, o, experiment, filter, status)) return status;
  const FilterSelection selected = EvaluateFilter(experiment, filter);
  const std::vector<int> ids = SelectionIds(selected.selection);
  std::ostream& out = context.io.out;
  if (o.json) {
    out << "{\"id\": " << filter.id << ", \"protocol\": " << filter.idProtocol
        << ", \"name\": " << JsonString(filter.name) << ", \"type\": " << JsonString(TypeName(filter.type))
        << ", \"definition\": " << JsonString(Definition(experiment, filter))
        << ", \"stored\": " << JsonString(filter.type == kFilterFormula ? filter.formula
                                          : filter.type == kFilterList ? filter.list : FormatLogic(filter))
        << ", \"selection\": " << JsonString(selected.selection) << ", \"tests\": [" << JoinIds(ids, ", ")
        << "], \"error\": " << (selected.error.empty() ? "null" : JsonString(selected.error)) << "}\n";
    return kExitOk;
  }
  out << "Filter " << filter.id << ": " << filter.name << " (protocol " << filter.idProtocol << ", "
      << TypeName(filter.type) << ")\n" << Definition(experiment, filter) << '\n';
  const std::string count = Format(ids.size() == 1 ? "%d test" : "%d tests", static_cast<int>(ids.size()));
  out << Format(MessageText(msg::kSelectedTests), count.c_str()) << '\n';
  for (const int id : ids) {
    const auto test = experiment.tests.find(id);
    out << "  " << id << '\t' << (test != experiment.tests.end() ? test->second.title : "") << '\n';
  }
  if (!selected.error.empty()) context.io.err << selected.error << '\n';
  return kExitOk;
}

int RunDelete(Context& context, const FilterOptions& o) {
  Experiment experiment;
  CFilter filter;
  int status = kExitOk;
  if (!OpenFilter(context, o, experiment, filter, status)) return status;
  if (!DeleteFilter(experiment, o.id)) {
    return context.Fail("The filter could not be deleted; the file was left as it was.");
  }
  return kExitOk;
}

}  // namespace

void RegisterFilterCommands(CLI::App& app, Context& context, CommandResult& result) {
  CLI::App* verb = Verb(app, "filter", "Test filters: which tests of a protocol a report or export takes");
  verb->require_subcommand(1);
  auto o = std::make_shared<FilterOptions>();

  CLI::App* add = verb->add_subcommand("add", "Add a filter; prints its id");
  add->add_option("EXP", o->path, "Experiment file")->required();
  add->add_option("--protocol", o->protocol, "The protocol whose tests it selects")->required()->check(NumberIn(RecordId()));
  add->add_option("--name", o->name, "Filter name (unique in the experiment)")->required();
  CLI::Option* tests = add->add_option("--tests", o->tests, "The tests picked: ID,ID,...");
  CLI::Option* formula = add->add_option(
      "--formula", o->formula,
      "A formula true for the tests to keep, e.g. \"[Total dist. ( cm )] > 500 and [Animal] == \\\"Rat 1\\\"\"");
  CLI::Option* condition = add->add_option(
      "--condition", o->condition, "PROPERTY=VALUE,...[ and|or PROPERTY=VALUE,...]: animal or a choice field");
  tests->excludes(formula)->excludes(condition);
  formula->excludes(condition);
  add->callback([&, o] {
    result.Select([&, o] {
      if (o->tests.empty() && o->formula.empty() && o->condition.empty()) {
        return context.Fail("filter add: give --tests, --formula or --condition.", kExitUsage);
      }
      return RunAdd(context, *o);
    });
  });

  CLI::App* list = verb->add_subcommand("list", "List the filters, with how many tests each selects");
  list->add_option("EXP", o->path, "Experiment file")->required();
  list->add_option("--protocol", o->protocol, "Only the filters of this protocol")->check(NumberIn(RecordId()));
  list->add_flag("--json", o->json, "One JSON document")->excludes(list->add_flag("--csv", o->csv, "CSV"));
  list->callback([&, o] {
    result.Select([&, o] { return RunList(context, *o, ChosenFormat(o->json, o->csv)); });
  });

  CLI::App* show = verb->add_subcommand("show", "A filter's definition and the tests it selects");
  show->add_option("EXP", o->path, "Experiment file")->required();
  show->add_option("ID", o->id, "Filter id")->required()->check(NumberIn(RecordId()));
  show->add_flag("--json", o->json, "One JSON document");
  show->callback([&, o] { result.Select([&, o] { return RunShow(context, *o); }); });

  CLI::App* remove = verb->add_subcommand("delete", "Delete a filter");
  remove->add_option("EXP", o->path, "Experiment file")->required();
  remove->add_option("ID", o->id, "Filter id")->required()->check(NumberIn(RecordId()));
  remove->callback([&, o] { result.Select([&, o] { return RunDelete(context, *o); }); });
}

}  // namespace vx::cli
