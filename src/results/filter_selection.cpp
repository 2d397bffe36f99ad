#include "results/filter_selection.h"

#include "results/filter_formula.h"

namespace vx {

namespace {

template <typename Accepts>
std::string SelectTests(const Experiment& experiment, int protocolId, Accepts accepts) {
  std::vector<int> ids;
  for (const auto& [id, test] : experiment.tests) {
    if (test.idProtocol == protocolId && accepts(test)) ids.push_back(id);
  }
  return SelectionOf(ids);
}

}  // namespace

FilterSelection EvaluateFilter(const Experiment& experiment, const CFilter& filter,
                               const std::string* formula, bool storedForm) {
  FilterSelection out;
  switch (filter.type) {
    case kFilterList:
      out.selection = filter.list;
      break;
    case kFilterCondition:
      out.selection = SelectTests(experiment, filter.idProtocol, [&](const CInfosTest& test) {
        return ConditionSelects(experiment, filter, test);
      });
      break;
    case kFilterFormula: {
      FormulaContext context;
      if (!context.Compile(formula != nullptr ? *formula : filter.formula, storedForm, experiment.fields)) {
        out.selection = kNothingSelected;
        out.error = context.ErrorText();
        break;
      }
      out.selection = SelectTests(experiment, filter.idProtocol, [&](const CInfosTest& test) {
        return context.EvaluateOne(experiment, test);
      });
      out.error = context.ErrorText();
      break;
    }
    default:
      break;
  }
  return out;
}

bool FindFilter(const Experiment& experiment, int id, CFilter& filter) {
  for (const CProtocol& protocol : experiment.protocols) {
    for (const FilterRow& row : protocol.filters) {
      if (row.id == id) {
        filter = FilterFromRow(row, protocol.id);
        return true;
      }
    }
  }
  return false;
}

FilterUse FilterTestIds(const Experiment& experiment, int filterId, int protocolId,
                        std::vector<int>& ids, FilterSelection* evaluation) {
  CFilter filter;
  if (!FindFilter(experiment, filterId, filter)) return FilterUse::kNoFilter;
  if (filter.idProtocol != protocolId) return FilterUse::kOtherProtocol;
  FilterSelection selected = EvaluateFilter(experiment, filter);
  ids = SelectionIds(selected.selection);
  if (evaluation != nullptr) *evaluation = std::move(selected);
  return FilterUse::kOk;
}

}  // namespace vx
