#include "zones/ref_image_builder.h"

#include <opencv2/imgproc.hpp>

namespace vx {

cv::Rect PasteRect(PasteArea area, cv::Size frame, const cv::Rect& drawn) {
  const int w = frame.width, h = frame.height;
  switch (area) {
    case PasteArea::WholeFrame: return {0, 0, w, h};
    case PasteArea::TopLeft: return {0, 0, w / 2, h / 2};
    case PasteArea::TopRight: return {w - w / 2, 0, w / 2, h / 2};
    case PasteArea::BottomLeft: return {0, h - h / 2, w / 2, h / 2};
    case PasteArea::BottomRight: return {w - w / 2, h - h / 2, w / 2, h / 2};
    case PasteArea::Rectangle: return drawn & cv::Rect(0, 0, w, h);
  }
  return {};
}

cv::Mat ReferenceFrame(const cv::Mat& frame, bool gray) {
  if (frame.empty() || frame.depth() != CV_8U) return {};
  cv::Mat converted;
  if (gray && frame.channels() == 3) {
    cv::cvtColor(frame, converted, cv::COLOR_RGB2GRAY);  // code 7, as detection does
  } else if (gray && frame.channels() == 4) {
    cv::cvtColor(frame, converted, cv::COLOR_RGBA2GRAY);
  } else if (!gray && frame.channels() == 1) {
    cv::cvtColor(frame, converted, cv::COLOR_GRAY2BGR);
  } else if (!gray && frame.channels() == 4) {
    cv::cvtColor(frame, converted, cv::COLOR_BGRA2BGR);
  } else {
    converted = frame.clone();
  }
  return converted;
}

bool PasteIntoReference(cv::Mat& reference, const cv::Mat& frame, bool gray, PasteArea area,
                        const cv::Rect& drawn) {
  const cv::Mat source = ReferenceFrame(frame, gray);
  if (source.empty()) return false;
  if (area == PasteArea::WholeFrame) {
    reference = source;
    return true;
  }
  if (reference.size() != source.size() || reference.type() != source.type()) return false;
  const cv::Rect part = PasteRect(area, source.size(), drawn);
  if (part.empty()) return false;
  source(part).copyTo(reference(part));
  return true;
}

}  // namespace vx
