// The zone shapes of a protocol: arena, zones and calibration ruler.
//
// CDrawObj is the common base of the three shape classes (CDrawRect, CDrawPoly,
// CDrawBoolean). All geometry is in integer pixels of the video image, x to the right and y
// downwards. A shape usually belongs to a ZoneSet (its `owner`), which gives it the image
// size, the other zones by id (combined zones) and the main arena (complements are taken
// within the arena's rectangle).
//
// Regions. Each shape's area as a pixel set is a cache, built on first use and rebuilt after
// any change of the shape (every geometry setter invalidates it, and a change of any zone of
// a set invalidates the set's combined zones). Reading a region from several threads is safe
// once UpdateRegion() has been called for every zone; the first build is not synchronised.
//
// Per-frame tests. PtInZone and GetZoneState are the hot path of an analysis: they never
// rebuild a region that is already built, and the body-percentage rule allocates only a mask
// of the outline's bounding box. Both take the test's arena adjustment (may be null) and
// bring the tested positions into the protocol's frame with it.
#pragma once

#include <opencv2/core/mat.hpp>
#include <opencv2/core/types.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/field.h"
#include "db/test_record.h"
#include "zones/arena_adjustment.h"
#include "zones/pixel_region.h"

namespace vx {

class ZoneSet;

// The state of the animal towards one zone in one frame. Undecided means that this frame
// decides nothing: the caller keeps the previous state.
enum class ZoneState { Inside = 0, Outside = 1, Undecided = 2 };

// Shape kinds, as stored in the TypeRect column.
enum ZoneKind {
  kKindRectangle = 0,
  kKindRoundRect = 1,
  kKindEllipse = 2,
  kKindLine = 3,
  kKindRuler = 4,
  kKindCombined = 5,
  kKindPolygon = 6,
};

// What decides that the animal is in a zone (DetectInZone).
enum DetectMode { kDetectCentre = 0, kDetectHead = 1, kDetectBody = 2 };

// Outline pen; colours are 0x00BBGGRR values. Style 6 is "inside frame" in the platform's
// pen codes.
struct ZonePen {
  bool enabled = true;
  uint32_t style = 6;
  int widthX = 2;
  int widthY = 1;
  uint32_t color = 0;
  bool operator==(const ZonePen&) const = default;
};

// Fill brush: style 0 solid, 1 none, 2 hatched; hatch 0 horizontal, 1 vertical, 2 forward
// diagonal, 3 backward diagonal, 4 cross, 5 diagonal cross.
struct ZoneBrush {
  bool enabled = true;
  uint32_t style = 1;
  uint32_t color = 0xFFFFFF;
  int hatch = 0;
  bool operator==(const ZoneBrush&) const = default;
};

// The test a zone is tested for, as far as zones need it: the test's protocol and custom
// field values, and the experiment's field definitions, which tell a choice zone which zone
// the test chose. Either pointer may be null (no choice is then made).
struct ZoneTestInfo {
  const CInfosTest* test = nullptr;
  const std::vector<CField>* fields = nullptr;
};

struct ZoneDifference {
  bool differs = false;
  bool affectsResults = false;  // the change can alter measures computed with the zone
};

// The outline colour of the n-th shape created in a set (a fixed palette, cycling).
uint32_t DefaultZoneColor(int n);

class CDrawObj {
 public:
  virtual ~CDrawObj() = default;
  virtual std::unique_ptr<CDrawObj> Clone() const = 0;

  // ---- Kind ----------------------------------------------------------------------------
  virtual int GetTypeRect() const = 0;
  virtual bool IsFramedShape() const { return false; }
  virtual bool IsEllipse() const { return false; }
  virtual bool IsPolygon() const { return false; }
  virtual bool IsCombined() const { return false; }
  virtual bool IsChoice() const { return false; }
  // Lines and the ruler have no area: nothing is ever inside them.
  virtual bool HasArea() const { return true; }

  // ---- Position ------------------------------------------------------------------------
  // The stored rectangle (a combined zone: its region's box, right and bottom exclusive).
  virtual PixelRect GetRect() const { return position_; }
  PixelRect GetBounds() const { return GetRect().Normalized(); }
  virtual void SetRect(const PixelRect& rect);
  // Moves and resizes the shape to rect (a polygon's vertices follow).
  virtual void MoveTo(const PixelRect& rect) { SetRect(rect); }
  // ((left + right) / 2, (top + bottom) / 2) in integer division.
  cv::Point GetCenter() const;
  // The rectangle within which complements are taken: the main arena's own normalised
  // rectangle for the arena and for a shape without owner; otherwise the owner's main
  // arena's rectangle, or the whole image (0, 0, width, height) without a main arena.
  PixelRect ComputeFrameRect() const;

  // ---- Geometry text ---------------------------------------------------------------------
  virtual std::string GetPointsText() const = 0;
  // Never fails: a short or malformed text leaves the geometry as it was (a combined zone
  // loses its components). imageWidth and imageHeight place degenerate and off-image shapes.
  virtual void SetPointsText(const std::string& text, int imageWidth, int imageHeight) = 0;
  virtual void SetTypeRect(int /*kind*/) {}
  // "%d|%d|%d|%d": 0, hidden, hiddenDistance, hiddenUnit (the HiddenZone column).
  std::string GetHiddenZoneText() const;
  // Reads the HiddenZone column; an empty text leaves the fields, a bad one resets them.
  void SetHiddenZoneText(const std::string& text);
  // Text that changes whenever the geometry or the hidden-zone settings change.
  std::string GetHiddenZoneKey() const;

  // ---- Regions ---------------------------------------------------------------------------
  const PixelRegion& Region() const;  // built on first use
  void UpdateRegion() const;
  void InvalidateRegion() const { regionBuilt_ = false; }
  // The shape grown by margin pixels on every side (polygons: by the polygon offset).
  const PixelRegion& OuterRegion() const { return outerRegion_; }
  void UpdateOuterRegion(int margin) const { outerRegion_ = BuildOuterRegion(margin); }

  // ---- Per-frame tests -------------------------------------------------------------------
  // Is the pixel (x, y) of the test's video in the zone.
  bool PtInZone(int x, int y, const ArenaAdjustment* adjustment) const {
    return Contains(ToProtocolFrame(cv::Point(x, y), adjustment));
  }
  // Inside, Outside or Undecided by the zone's DetectInZone rule: the centre, the head
  // (Undecided when its x or y is negative), or the share of the outline's area inside the
  // zone against percentEntry and percentExit.
  virtual ZoneState GetZoneState(cv::Point centre, cv::Point head,
                                 const std::vector<cv::Point>& contour,
                                 const ArenaAdjustment* adjustment,
                                 const ZoneTestInfo* test) const;
  // Distance in pixels from point to the zone's outline, never negative; 0 when
  // PtInZone(point) equals insideFlag (insideFlag 1: distance from outside to the zone; 0:
  // distance from inside to its outside).
  double GetDistance(cv::Point point, const ArenaAdjustment* adjustment,
                     const ZoneTestInfo* test, bool insideFlag) const;
  // Did the animal, unseen between lastSeen and firstSeenAgain, stay in this hidden zone:
  // both positions within the zone's distance limit (mm).
  bool IsHiddenPresence(cv::Point lastSeen, cv::Point firstSeenAgain,
                        const ArenaAdjustment* adjustment, const ZoneTestInfo* test,
                        double mmPerPixel) const;
  // Area in pixels.
  virtual int64_t GetArea() const = 0;

  // ---- Rasterising and drawing -------------------------------------------------------------
  // Fills mask (8-bit, one channel) with 0 (inverted: 255) and draws the filled shape with
  // 255 (inverted: 0), 8-connected, turned by angle degrees about centre. The mask's pixel
  // (0, 0) is the image point origin. Lines, the ruler and combined zones draw nothing.
  void DrawMask(cv::Mat& mask, int angle, cv::Point centre, bool inverted,
                cv::Point origin = {0, 0}) const;
  // Draws the outline with the pen colour and width into a 3-channel image.
  virtual void DrawOnImage(cv::Mat& /*image*/) const {}

  // ---- Editing -------------------------------------------------------------------------------
  // Multiplies x coordinates by fx and y coordinates by fy, rounding halves to even.
  virtual void Scale(double fx, double fy);
  // Can the shape turn by angle degrees; mustBecomePolygon (may be null) is set when only a
  // polygon copy of the shape can.
  virtual bool CanRotate(int /*angle*/, bool* mustBecomePolygon) const {
    if (mustBecomePolygon != nullptr) *mustBecomePolygon = false;
    return false;
  }
  // Turns the shape about its centre, clockwise on the image for a positive angle.
  virtual void Rotate(int /*angle*/) {}
  virtual void Flip(bool /*horizontal*/) {}
  // Grow (or shrink) by n pixels on every side.
  virtual bool CanInflate(bool /*grow*/, int /*n*/) const { return false; }
  virtual bool Inflate(bool /*grow*/, int /*n*/) { return false; }
  virtual ZoneDifference Differs(const CDrawObj& other) const;
  // Copies every attribute (owner, pen, brush, name, id, flags, entry and hidden-zone
  // settings) but not the geometry.
  void CopyAttributes(const CDrawObj& other);

  // ---- Attributes ------------------------------------------------------------------------------
  // The name; the ruler always answers with its fixed name.
  std::string GetName() const;
  bool IsArenaOrRuler() const { return isArena != 0 || isRuler != 0; }
  bool IsDetectedByHead() const { return detectInZone == kDetectHead; }
  // The movable flag, never for the arena or the ruler (a combined zone: any component).
  virtual bool IsMovable() const { return movable != 0 && !IsArenaOrRuler(); }
  // Is this zone id (a combined zone: or does any of its components answer true).
  virtual bool HasId(int zoneId) const { return id == zoneId; }

  ZoneSet* owner = nullptr;  // not owned; may be null
  ZonePen pen;
  ZoneBrush brush;
  std::string name;
  int id = -1;
  int bkgOutside = 0;
  int isArena = 0;
  int isRuler = 0;
  int movable = 0;
  int detectInZone = kDetectCentre;
  uint8_t percentEntry = 70;
  uint8_t percentExit = 50;
  uint8_t hidden = 0;
  int hiddenDistance = 5;
  int hiddenUnit = 0;  // 0 centimetres, 1 millimetres

 protected:
  explicit CDrawObj(const PixelRect& position) : position_(position) {}
  CDrawObj(const CDrawObj&) = default;
  CDrawObj& operator=(const CDrawObj&) = default;

  // Membership of a point already in the protocol's frame.
  virtual bool Contains(cv::Point p) const { return Region().Contains(p.x, p.y); }
  virtual PixelRegion BuildRegion() const = 0;
  virtual PixelRegion BuildOuterRegion(int margin) const { return Region().Grown(margin); }
  // Distance once the point is in the protocol's frame; original is the untouched point for
  // combined zones, whose components apply the adjustment themselves.
  virtual double DistanceFrom(cv::Point p, cv::Point original, const ArenaAdjustment* adjustment,
                              const ZoneTestInfo* test, bool insideFlag) const = 0;
  // The body-percentage rule's zone box (normalised; empty when the zone has no area).
  virtual PixelRect BodyTestBox() const { return GetBounds(); }
  // Draws the zone filled with 0 into the body mask whose pixel (0, 0) is at origin.
  virtual void EraseFromBodyMask(cv::Mat& mask, cv::Point origin) const = 0;
  virtual void DrawShape(cv::Mat& /*mask*/, int /*angle*/, cv::Point /*centre*/,
                         uint8_t /*value*/, cv::Point /*origin*/) const {}
  // The geometry part of GetHiddenZoneKey ("" when the kind has none).
  virtual std::string HiddenKeyShape() const { return {}; }
  // The body-percentage rule on this zone's own area.
  ZoneState BodyState(const std::vector<cv::Point>& contour,
                      const ArenaAdjustment* adjustment) const;
  // Marks the shape changed: its region is rebuilt on next use and the owner is told.
  void Changed();

  PixelRect position_;

 private:
  mutable PixelRegion region_;
  mutable bool regionBuilt_ = false;
  mutable PixelRegion outerRegion_;
};

// Distance from p to the segment a-b (a zero-length segment: to its end point).
double DistanceToSegment(cv::Point2d p, cv::Point2d a, cv::Point2d b);

}  // namespace vx
