#include "detection/detection_drawing.h"

#include <opencv2/imgproc.hpp>

namespace vx {

namespace {
const cv::Scalar kRejected(0, 0, 220);
const cv::Scalar kAccepted(0, 140, 255);
const cv::Scalar kOutline(0, 200, 0);
const cv::Scalar kBox(220, 80, 0);
const cv::Scalar kCentre(0, 0, 255);
const cv::Scalar kHead(0, 230, 230);
}  // namespace

void DrawDetection(cv::Mat& image, const tMyPoint& point, const BlobList& blobs) {
  if (image.empty()) return;
  for (const tMyBlob& blob : blobs) {
    cv::rectangle(image, cv::Point(blob.left, blob.top), cv::Point(blob.right, blob.bottom),
                  blob.accepted ? kAccepted : kRejected, 1);
  }
  if (!point.HasAnimal()) return;
  if (point.contour.size() >= 2) {
    cv::polylines(image, point.contour, true, kOutline, 1, cv::LINE_AA);
  }
  cv::rectangle(image, cv::Point(point.boxLeft, point.boxTop),
                cv::Point(point.boxRight, point.boxBottom), kBox, 1);
  cv::drawMarker(image, cv::Point(point.rawX, point.rawY), kCentre, cv::MARKER_CROSS, 9, 1);
  if (point.HasHead()) cv::circle(image, cv::Point(point.headX, point.headY), 3, kHead, 1, cv::LINE_AA);
}

}  // namespace vx
