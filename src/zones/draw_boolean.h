// A combined zone: the union or intersection of other zones of the same set, or, for a
// "choice" zone, whichever zone each test chose through a custom field.
//
// Components are zone ids; -k stands for the complement of zone k within the frame
// rectangle (ComputeFrameRect). Ids naming no zone are ignored. Combinations that refer back
// to themselves (directly or through other combined zones) are cut where the loop closes:
// the zone being built counts as empty there.
#pragma once

#include "zones/draw_obj.h"

namespace vx {

enum CombineOperation { kCombineUnion = 0, kCombineIntersection = 1, kCombineChoice = 2 };

class CDrawBoolean : public CDrawObj {
 public:
  CDrawBoolean();
  std::unique_ptr<CDrawObj> Clone() const override {
    return std::make_unique<CDrawBoolean>(*this);
  }

  int GetTypeRect() const override { return kKindCombined; }
  bool IsCombined() const override { return true; }
  bool IsChoice() const override { return operation_ == kCombineChoice; }

  const std::vector<int>& Components() const { return components_; }
  int Operation() const { return operation_; }
  void SetCombination(int operation, std::vector<int> components);

  // The region's box, normalised (right and bottom exclusive).
  PixelRect GetRect() const override { return Region().BoundingBox(); }

  // "0;operation;count;" then "id;" per component.
  std::string GetPointsText() const override;
  void SetPointsText(const std::string& text, int imageWidth, int imageHeight) override;

  // Choice zones: the chosen zone's state (Undecided when none); no components: Undecided.
  ZoneState GetZoneState(cv::Point centre, cv::Point head, const std::vector<cv::Point>& contour,
                         const ArenaAdjustment* adjustment, const ZoneTestInfo* test) const override;
  int64_t GetArea() const override { return Region().PixelCount(); }
  void Scale(double, double) override {}  // components scale themselves
  bool IsMovable() const override;
  bool HasId(int zoneId) const override;
  ZoneDifference Differs(const CDrawObj& other) const override;

  // The zone a test chose for this choice zone: the first custom field of type 3 with a
  // non-zero category, the test's protocol and this zone's id; the test's value for it names
  // a choice, whose zone id names the chosen zone in the owner set. Null when a link is
  // missing, when this is not a choice zone, or when the choice names this zone itself.
  const CDrawObj* ChosenZone(const ZoneTestInfo* test) const;

 protected:
  PixelRegion BuildRegion() const override;
  double DistanceFrom(cv::Point p, cv::Point original, const ArenaAdjustment* adjustment,
                      const ZoneTestInfo* test, bool insideFlag) const override;
  PixelRect BodyTestBox() const override { return Region().BoundingBox(); }
  void EraseFromBodyMask(cv::Mat& mask, cv::Point origin) const override;

 private:
  const CDrawObj* Component(int componentId) const;

  std::vector<int> components_;
  int operation_ = kCombineUnion;
};

}  // namespace vx
