// Rectangle, rounded rectangle, ellipse, line and calibration ruler: the shapes defined by one
// rectangle.
//
// Framed shapes (rectangle, rounded rectangle, ellipse) cover the pixels of their normalised
// rectangle with both edges included: (10, 10, 20, 20) covers x and y from 10 to 20. A line
// and the ruler run from (left, top) to (right, bottom) and have no area.
#pragma once

#include "zones/draw_obj.h"

namespace vx {

class CDrawPoly;

class CDrawRect : public CDrawObj {
 public:
  explicit CDrawRect(int kind = kKindRectangle, const PixelRect& position = {});
  std::unique_ptr<CDrawObj> Clone() const override { return std::make_unique<CDrawRect>(*this); }

  int GetTypeRect() const override { return kind_; }
  // Setting the ruler kind also marks the shape as the ruler.
  void SetTypeRect(int kind) override;
  bool IsFramedShape() const override { return kind_ < kKindLine; }
  bool IsEllipse() const override { return kind_ == kKindEllipse; }
  bool HasArea() const override { return IsFramedShape(); }
  bool IsLine() const { return kind_ == kKindLine || kind_ == kKindRuler; }

  // Corner ellipse of a rounded rectangle (full width and height), default 16 x 16.
  int RoundWidth() const { return roundW_; }
  int RoundHeight() const { return roundH_; }
  void SetRoundness(int width, int height);

  // "left;top;right;bottom".
  std::string GetPointsText() const override;
  void SetPointsText(const std::string& text, int imageWidth, int imageHeight) override;

  int64_t GetArea() const override;
  void DrawOnImage(cv::Mat& image) const override;
  void Scale(double fx, double fy) override;
  bool CanRotate(int angle, bool* mustBecomePolygon) const override;
  void Rotate(int angle) override;
  void Flip(bool horizontal) override;
  bool CanInflate(bool grow, int n) const override;
  bool Inflate(bool grow, int n) override;
  ZoneDifference Differs(const CDrawObj& other) const override;
  // The four corners as a polygon with the same attributes (to rotate a rectangle freely).
  std::unique_ptr<CDrawPoly> ToPolygon() const;

 protected:
  bool Contains(cv::Point p) const override;
  PixelRegion BuildRegion() const override;
  PixelRegion BuildOuterRegion(int margin) const override;
  double DistanceFrom(cv::Point p, cv::Point original, const ArenaAdjustment* adjustment,
                      const ZoneTestInfo* test, bool insideFlag) const override;
  void EraseFromBodyMask(cv::Mat& mask, cv::Point origin) const override;
  void DrawShape(cv::Mat& mask, int angle, cv::Point centre, uint8_t value,
                 cv::Point origin) const override;
  std::string HiddenKeyShape() const override;

 private:
  PixelRegion ShapeOver(const PixelRect& box) const;  // box right and bottom exclusive

  int kind_ = kKindRectangle;
  int roundW_ = 16;
  int roundH_ = 16;
};

// Distance from p to the outline of the ellipse of semi-axes a and b centred on c, by the
// evolute iteration (four steps from the 45-degree point).
double DistanceToEllipse(cv::Point2d p, cv::Point2d c, double a, double b);

}  // namespace vx
