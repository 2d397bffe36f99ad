// A heat map as a picture for a paper or a screen: the grey levels through a perceptual colour
// map, the zones drawn over it, and a scale bar from 0 to the largest time per pixel.
#pragma once

#include <opencv2/core/mat.hpp>

#include "measures/heat_map.h"
#include "measures/result_image.h"
#include "zones/zone_set.h"

namespace vx {

enum class HeatPalette { kViridis, kInferno };

// A BGR picture of image (a heat map of canvas) at the canvas's own size, zones drawn (none
// when zones is null), the outside of the arena white, and the scale bar at the right. 
cv::Mat HeatMapPicture(const ResultImage& image, const HeatCanvas& canvas, const ZoneSet* zones,
                       HeatPalette palette);

}  // namespace vx
