// A polygon zone: vertices in order, closed, filled with the even-odd rule.
//
// The position rectangle holds the vertices' bounding rectangle (the stored text may say
// otherwise; it is then kept as read).
#pragma once

#include "zones/draw_obj.h"

namespace vx {

class CDrawPoly : public CDrawObj {
 public:
  explicit CDrawPoly(std::vector<cv::Point> vertices = {});
  std::unique_ptr<CDrawObj> Clone() const override { return std::make_unique<CDrawPoly>(*this); }

  int GetTypeRect() const override { return kKindPolygon; }
  bool IsPolygon() const override { return true; }

  const std::vector<cv::Point>& Vertices() const { return vertices_; }
  // Replaces the vertices; the position becomes their bounding rectangle.
  void SetVertices(std::vector<cv::Point> vertices);

  // "left;top;right;bottom|count|" then "x;y|" per vertex.
  std::string GetPointsText() const override;
  void SetPointsText(const std::string& text, int imageWidth, int imageHeight) override;

  // The number of pixels of the region.
  int64_t GetArea() const override { return Region().PixelCount(); }
  void MoveTo(const PixelRect& rect) override;
  void DrawOnImage(cv::Mat& image) const override;
  void Scale(double fx, double fy) override;
  bool CanRotate(int angle, bool* mustBecomePolygon) const override;
  void Rotate(int angle) override;
  void Flip(bool horizontal) override;
  // Offsetting the closed polygon (mitred joins, miter limit 2, arc tolerance 0.25) must give
  // exactly one polygon of at least three vertices; at least four vertices are needed.
  bool CanInflate(bool grow, int n) const override;
  bool Inflate(bool grow, int n) override;
  ZoneDifference Differs(const CDrawObj& other) const override;

 protected:
  PixelRegion BuildRegion() const override;
  PixelRegion BuildOuterRegion(int margin) const override;
  double DistanceFrom(cv::Point p, cv::Point original, const ArenaAdjustment* adjustment,
                      const ZoneTestInfo* test, bool insideFlag) const override;
  void EraseFromBodyMask(cv::Mat& mask, cv::Point origin) const override;
  void DrawShape(cv::Mat& mask, int angle, cv::Point centre, uint8_t value,
                 cv::Point origin) const override;
  std::string HiddenKeyShape() const override;

 private:
  void FitPosition();

  std::vector<cv::Point> vertices_;
};

// The closed polygon offset by delta pixels (negative shrinks) with mitred joins, miter limit
// 2.0 and arc tolerance 0.25: zero, one or several polygons.
std::vector<std::vector<cv::Point>> OffsetPolygon(const std::vector<cv::Point>& vertices,
                                                  double delta);

}  // namespace vx
