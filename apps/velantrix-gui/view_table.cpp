#include "view_table.h"

#include "editor_views.h"
#include "tests_view.h"

namespace vx::gui {

const std::vector<ViewEntry>& ViewTable() {
  static const std::vector<ViewEntry> kViews = {
      {"tests", "Experiment", &MakeTestsView},
      {"protocol", "Protocol", &MakeProtocolView},
      {"zones", "Zones", &MakeZonesView},
      {"detection", "Detection", &MakeDetectionView},
      {"scoring", "Scoring", &MakeScoringView},
  };
  return kViews;
}

const ViewEntry* FindView(const std::string& name) {
  for (const ViewEntry& view : ViewTable()) {
    if (name == view.name) return &view;
  }
  return nullptr;
}

std::string ViewNames() {
  std::string names;
  for (const ViewEntry& view : ViewTable()) names += (names.empty() ? "" : ", ") + std::string(view.name);
  return names;
}

}  // namespace vx::gui
