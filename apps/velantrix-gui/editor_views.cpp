#include "editor_views.h"

#include "detection_view.h"
#include "gui_session.h"
#include "protocol_view.h"
#include "scoring_view.h"
#include "zones_view.h"

namespace vx::gui {

namespace {

// Builds a view and keeps it on the session's current test: show(view, testId) loads it.
template <typename View, typename Show>
QWidget* Follow(GuiSession& session, int testId, QWidget* parent, Show show) {
  auto* view = new View(session.experiment(), session.services(), parent);
  show(*view, TestToShow(session.experiment(), testId));
  QObject::connect(&session, &GuiSession::CurrentTestChanged, view, [view, show](int id) { show(*view, id); });
  QObject::connect(&session, &GuiSession::ExperimentChanged, view, [view, show, &session] {
    show(*view, TestToShow(session.experiment(), session.currentTest()));
  });
  return view;
}

}  // namespace

int TestToShow(const Experiment& experiment, int testId) {
  if (experiment.tests.count(testId) != 0) return testId;
  return experiment.tests.empty() ? -1 : experiment.tests.begin()->first;
}

int ProtocolToShow(const Experiment& experiment, int testId) {
  if (const auto test = experiment.tests.find(testId); test != experiment.tests.end()) {
    if (experiment.FindProtocol(test->second.idProtocol) != nullptr) return test->second.idProtocol;
  }
  return experiment.protocols.empty() ? -1 : experiment.protocols.front().id;
}

QWidget* MakeProtocolView(GuiSession& session, int testId, QWidget* parent) {
  return Follow<ProtocolView>(session, testId, parent, [&session](ProtocolView& view, int test) {
    view.ShowProtocol(ProtocolToShow(session.experiment(), test));
  });
}

QWidget* MakeZonesView(GuiSession& session, int testId, QWidget* parent) {
  return Follow<ZonesView>(session, testId, parent, [&session](ZonesView& view, int test) {
    view.ShowProtocol(ProtocolToShow(session.experiment(), test));
  });
}

QWidget* MakeDetectionView(GuiSession& session, int testId, QWidget* parent) {
  return Follow<DetectionView>(session, testId, parent, [](DetectionView& view, int test) { view.ShowTest(test); });
}

QWidget* MakeScoringView(GuiSession& session, int testId, QWidget* parent) {
  return Follow<ScoringView>(session, testId, parent, [](ScoringView& view, int test) { view.ShowTest(test); });
}

}  // namespace vx::gui
