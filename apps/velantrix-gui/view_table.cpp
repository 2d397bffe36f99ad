#include "view_table.h"

#include "analysis_view.h"
#include "editor_views.h"
#include "heatmap_view.h"
#include "player_view.h"
#include "recording_view.h"
#include "results_view.h"
#include "tests_view.h"

namespace vx::gui {

const std::vector<ViewEntry>& ViewTable() {
  static const std::vector<ViewEntry> kViews = {
      {"tests", "Experiment", &MakeTestsView},
      {"protocol", "Protocol", &MakeProtocolView},
      {"zones", "Zones", &MakeZonesView},
      {"detection", "Detection", &MakeDetectionView},
      {"analysis", "Analysis", &MakeAnalysisView},
      {"results", "Results", &MakeResultsView},
      {"heatmap", "Heat map", &MakeHeatMapView},
      {"player", "Player", &MakePlayerView},
      {"scoring", "Scoring", &MakeScoringView},
      {"recording", "Recording", &MakeRecordingView},
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
