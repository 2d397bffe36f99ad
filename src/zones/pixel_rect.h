// A rectangle of image pixels stored as its four edges, the way zone geometry is stored.
//
// Coordinates are signed 32-bit pixels, x to the right and y downwards. A rectangle is not
// necessarily normalised: a line shape keeps its direction in it ((left, top) is its first
// end). Whether right and bottom are inside the rectangle depends on who uses it: a
// rectangle zone covers them, a pixel region's box (PixelRegion::BoundingBox) does not.
#pragma once

#include <algorithm>
#include <cstdint>

namespace vx {

struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int64_t Width() const { return int64_t{right} - left; }
  int64_t Height() const { return int64_t{bottom} - top; }
  // Empty as the platform's rectangles are: no positive width or no positive height.
  bool IsEmpty() const { return right <= left || bottom <= top; }
  PixelRect Normalized() const {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right),
            std::max(top, bottom)};
  }
  bool operator==(const PixelRect&) const = default;
};

// A 64-bit result brought back into the 32-bit coordinate range (saturating), for geometry
// computed from untrusted stored numbers.
inline int ClampToInt(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// width * height without overflow (saturating), for areas of untrusted rectangles.
inline int64_t SaturatedProduct(int64_t width, int64_t height) {
  const double product = static_cast<double>(width) * static_cast<double>(height);
  if (product >= 9.2e18) return INT64_MAX;
  if (product <= -9.2e18) return INT64_MIN;
  return width * height;
}

// A double brought to the nearest integer coordinate; out-of-range values saturate and NaN
// gives 0, so that corrupt geometry cannot trigger an undefined conversion.
int SaturateToInt(double value);

}  // namespace vx
