// The picture a protocol is seen on before a video of it is at hand: its stored screenshot,
// else the first frame of one of its tests' videos, else a grey image of its size.
#pragma once

#include <opencv2/core/mat.hpp>

#include "db/experiment.h"

namespace vx::gui {

cv::Mat ProtocolPicture(Experiment& experiment, const CProtocol& protocol);

}  // namespace vx::gui
