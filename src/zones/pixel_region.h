// A set of image pixels: the area of a zone.
//
// Stored as sorted, disjoint horizontal spans per row (half-open [x0, x1)), rows packed one
// after another, so that membership is one row lookup and a short scan, and union,
// intersection and difference are row-by-row merges. The region is a value: copies are
// independent. Rows are limited to kRegionLimit pixels around the origin: zone geometry
// read from a damaged file cannot make a region allocate more than that.
#pragma once

#include <opencv2/core/mat.hpp>

#include <cstdint>
#include <vector>

#include "zones/pixel_rect.h"

namespace vx {

inline constexpr int kRegionLimit = 1 << 15;

class PixelRegion {
 public:
  struct Span {
    int x0;  // first pixel
    int x1;  // one past the last pixel
  };

  PixelRegion() = default;

  // Builds a region row by row: rows must come in increasing y; spans of a row may come in
  // any order and may overlap (they are sorted and merged).
  class Builder {
   public:
    void AddSpan(int y, int x0, int x1);  // ignored when x1 <= x0
    PixelRegion Build();

   private:
    void FlushRow();
    std::vector<Span> row_;
    int rowY_ = 0;
    bool hasRow_ = false;
    std::vector<int> rowYs_;
    std::vector<int> rowStarts_;
    std::vector<Span> spans_;
  };

  // Every pixel with left <= x < right and top <= y < bottom (clipped to kRegionLimit).
  static PixelRegion FromRect(const PixelRect& rect);
  // The non-zero pixels of an 8-bit single-channel mask whose pixel (0, 0) is at origin.
  static PixelRegion FromMask(const cv::Mat& mask, cv::Point origin = {0, 0});

  bool IsEmpty() const { return spans_.empty(); }
  bool Contains(int x, int y) const;
  int64_t PixelCount() const;
  // Smallest rectangle holding every pixel, right and bottom exclusive; empty for an empty
  // region. Kept from construction: body tests ask for it in every frame.
  const PixelRect& BoundingBox() const { return box_; }
  // The region as rectangles (right and bottom exclusive), banded the way the platform's
  // regions are: consecutive rows with identical spans form one band of rectangles.
  std::vector<PixelRect> Rectangles() const;

  PixelRegion Union(const PixelRegion& other) const;
  PixelRegion Intersect(const PixelRegion& other) const;
  PixelRegion Subtract(const PixelRegion& other) const;
  bool Intersects(const PixelRegion& other) const { return !Intersect(other).IsEmpty(); }
  // Every pixel within margin pixels of the region along x and y (square growth).
  PixelRegion Grown(int margin) const;

  // Sets the region's pixels of an 8-bit single-channel mask (whose pixel (0, 0) is at
  // origin) to value; pixels outside the mask are ignored.
  void Paint(cv::Mat& mask, cv::Point origin, uint8_t value) const;

  bool operator==(const PixelRegion& other) const;

 private:
  enum class Op { Union, Intersect, Subtract };
  static PixelRegion Combine(const PixelRegion& a, const PixelRegion& b, Op op);
  int RowIndex(int y) const;  // -1 when the row holds nothing
  PixelRect ComputeBoundingBox() const;

  int top_ = 0;                 // y of the first stored row
  std::vector<int> rowStarts_;  // per row from top_: index of its first span; one extra at end
  std::vector<Span> spans_;
  PixelRect box_;
};

}  // namespace vx
