#include "protocol_picture.h"

#include <opencv2/imgcodecs.hpp>

#include <algorithm>

#include "test_video.h"

namespace vx::gui {

cv::Mat ProtocolPicture(Experiment& experiment, const CProtocol& protocol) {
  cv::Mat picture;
  if (!protocol.screenShotJpeg.empty()) picture = cv::imdecode(protocol.screenShotJpeg, cv::IMREAD_COLOR);
  for (auto it = experiment.tests.begin(); picture.empty() && it != experiment.tests.end(); ++it) {
    if (it->second.idProtocol != protocol.id || it->second.source < 0) continue;
    TestVideo video;
    if (video.Open(experiment, it->first).isEmpty()) picture = video.Frame(0).clone();
  }
  if (picture.empty()) {
    picture = cv::Mat(std::max(1, protocol.height), std::max(1, protocol.width), CV_8UC3, cv::Scalar(60, 60, 60));
  }
  return picture;
}

}  // namespace vx::gui
