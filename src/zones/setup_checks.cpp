#include "zones/setup_checks.h"

#include "zones/calibration.h"

namespace vx {

SetupProblem CheckVideoSize(int protocolWidth, int protocolHeight, int videoWidth,
                            int videoHeight) {
  if (protocolWidth <= 0 || protocolHeight <= 0) return SetupProblem::kNone;
  return protocolWidth == videoWidth && protocolHeight == videoHeight
             ? SetupProblem::kNone
             : SetupProblem::kVideoSizeDiffers;
}

SetupProblem CheckCalibration(const ZoneSet& zones) {
  return MmPerPixel(zones) > 0 ? SetupProblem::kNone : SetupProblem::kNoRuler;
}

SetupProblem CheckZoneInImage(const PixelRect& rect, int width, int height) {
  if (width <= 0 || height <= 0) return SetupProblem::kNone;
  if (rect.right < 0 || rect.bottom < 0 || rect.left >= width || rect.top >= height) {
    return SetupProblem::kZoneOutsideImage;
  }
  if (rect.left < 0 || rect.top < 0 || rect.right >= width || rect.bottom >= height) {
    return SetupProblem::kZonePartlyOutside;
  }
  return SetupProblem::kNone;
}

SetupProblem CheckCornersInOrder(const PixelRect& rect) {
  return rect.right < rect.left || rect.bottom < rect.top ? SetupProblem::kCornersReversed
                                                          : SetupProblem::kNone;
}

double PixelsOfArea(double sizeCm2, double mmPerPixel) {
  return sizeCm2 * 100.0 / (mmPerPixel * mmPerPixel);
}

SetupProblem CheckAnimalSize(double minSizeCm2, double maxSizeCm2, double mmPerPixel, int width,
                             int height) {
  if (mmPerPixel <= 0) return SetupProblem::kNone;
  if (maxSizeCm2 > 0 && PixelsOfArea(maxSizeCm2, mmPerPixel) < kSmallestAnimalPixels) {
    return SetupProblem::kAnimalTooSmall;
  }
  const double image = static_cast<double>(width) * height;
  if (image > 0 && PixelsOfArea(minSizeCm2, mmPerPixel) > image / 2) {
    return SetupProblem::kAnimalTooLarge;
  }
  return SetupProblem::kNone;
}

}  // namespace vx
