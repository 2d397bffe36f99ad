// The heat map page: where the animal of a test spent its time, through a colour map with the
// zones and the scale of times per pixel, drawn by the core; the spot, blur and colour map of
// the heat-map settings (kept in the user's settings, section "HeatMap").
#pragma once

#include <QWidget>

namespace vx::gui {

class GuiSession;

QWidget* MakeHeatMapView(GuiSession& session, int testId, QWidget* parent);

}  // namespace vx::gui
