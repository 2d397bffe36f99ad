#include "detection/head_detection.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace vx {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegreesPerRadian = 360.0 / 6.28318;
constexpr int kMaxSlices = 20;
constexpr int kCounterCap = 10;
// End regions that come out empty are retried with boxes moved less far out, covering more.
constexpr double kEndRetryFractions[] = {0.6, 0.5, 0.4};

// The long axis of an oriented box: start and far ends at -length/2 and +length/2.
struct Axis {
  cv::Point2d centre;
  cv::Point2d along;   // unit vector from the start end to the far end
  cv::Point2d across;  // unit vector along the short side
  double length = 0;
  double width = 0;

  cv::Point2d Start() const { return centre - along * (length / 2); }
  cv::Point2d Far() const { return centre + along * (length / 2); }
};

Axis AxisOf(const cv::RotatedRect& box) {
  const double a = box.angle * kPi / 180.0;
  const cv::Point2d u(std::cos(a), std::sin(a));
  const cv::Point2d v(-u.y, u.x);
  Axis axis;
  axis.centre = cv::Point2d(box.center);
  const bool wide = box.size.width >= box.size.height;
  axis.along = wide ? u : v;
  axis.across = wide ? v : u;
  axis.length = wide ? box.size.width : box.size.height;
  axis.width = wide ? box.size.height : box.size.width;
  return axis;
}

cv::RotatedRect BoxOf(const Axis& axis) {
  const double angle = std::atan2(axis.along.y, axis.along.x) * 180.0 / kPi;
  return cv::RotatedRect(cv::Point2f(axis.centre),
                         cv::Size2f(static_cast<float>(axis.length), static_cast<float>(axis.width)),
                         static_cast<float>(angle));
}

// The box cut at both ends by the given lengths along its axis.
Axis Shortened(const Axis& axis, double atStart, double atFar) {
  Axis shorter = axis;
  shorter.length = std::max(0.0, axis.length - atStart - atFar);
  shorter.centre = axis.centre + axis.along * ((atStart - atFar) / 2);
  return shorter;
}

void FillBox(cv::Mat& image, const cv::RotatedRect& box) {
  cv::Point2f corners[4];
  box.points(corners);
  cv::Point points[4];
  for (int i = 0; i < 4; ++i) points[i] = cv::Point(cvRound(corners[i].x), cvRound(corners[i].y));
  cv::fillConvexPoly(image, points, 4, cv::Scalar(255), cv::LINE_8);
}

// Fill fraction of n equal slices of the box from its start end: the growing parts of the box
// differ by one slice each, so the fraction of slice i is counted directly by projecting every
// pixel of the box onto the long axis.
std::vector<double> Profile(const cv::Mat& blob, const Axis& axis, int n) {
  std::vector<int> inBox(n, 0);
  std::vector<int> inBlob(n, 0);
  const cv::Point2d start = axis.Start();
  for (int y = 0; y < blob.rows; ++y) {
    const uint8_t* row = blob.ptr<uint8_t>(y);
    for (int x = 0; x < blob.cols; ++x) {
      const cv::Point2d p(x, y);
      const double s = (p - start).dot(axis.along);
      const double t = (p - axis.centre).dot(axis.across);
      if (s < 0 || s >= axis.length || std::abs(t) > axis.width / 2) continue;
      const int slice = std::min(n - 1, static_cast<int>(s / axis.length * n));
      ++inBox[slice];
      if (row[x] != 0) ++inBlob[slice];
    }
  }
  std::vector<double> fill(n, 0.0);
  for (int i = 0; i < n; ++i) fill[i] = inBox[i] > 0 ? static_cast<double>(inBlob[i]) / inBox[i] : 0.0;
  return fill;
}

// The running vote: a positive score points the head to the far end.
struct Vote {
  double score = 0;
  double total = 0;
  void Add(double weight, bool towardsFar) {
    score += towardsFar ? weight : -weight;
    total += weight;
  }
};

// Step 4: thin ends (a tail) and the position of the widest slice. Shortens the box by the
// empty and walked slices.
void ShapeEvidence(const std::vector<double>& p, bool firstAttempt, Axis& axis, Vote& vote) {
  const int n = static_cast<int>(p.size());
  const double m = *std::max_element(p.begin(), p.end());
  int i0 = 0;
  while (i0 < n && p[i0] <= 0) ++i0;
  int i1 = n - 1;
  while (i1 >= 0 && p[i1] <= 0) --i1;
  if (i0 > i1) return;
  const double sliceLength = axis.length / n;
  if (i0 + 2 < i1 && i0 < n - 3 && i1 > 2) {
    double weight = firstAttempt ? 3.0 : 1.0;
    const double farLevel = p[i1 - 1];
    const double startLevel = p[i0 + 1];
    const bool thinStart = p[i0] < 0.5 * farLevel && p[i0] < 0.2 * m &&
                           (!firstAttempt || p[i0 + 1] < 0.2 * m);
    const bool thinFar = !thinStart && p[i1] < 0.5 * startLevel && p[i1] < 0.2 * m &&
                         (!firstAttempt || p[i1 - 1] < 0.2 * m);
    if (thinStart) {
      while (i0 < i1 && p[i0] < 0.6 * farLevel && p[i0] < 0.2 * m) {
        ++i0;
        weight += 1.0;
      }
      vote.Add(weight, true);  // the thin start is a tail
    } else if (thinFar) {
      while (i1 > i0 && p[i1] < 0.6 * startLevel && p[i1] < 0.2 * m) {
        --i1;
        weight += 1.0;
      }
      vote.Add(weight, false);
    }
    // The widest part of a rodent seen from above lies behind the middle of its body.
    const int widest = static_cast<int>(std::max_element(p.begin() + i0, p.begin() + i1 + 1) -
                                        p.begin()) - i0;
    const double middle = (i1 - i0) / 2.0;
    if (widest < middle - 1) vote.Add(1.0, true);
    if (widest > middle + 1) vote.Add(1.0, false);
  }
  axis = Shortened(axis, i0 * sliceLength, (n - i1 - 1) * sliceLength);
}

// One end region: pixel count of the first try, and the end point of the first non-empty try.
struct EndRegion {
  int count = 0;
  cv::Point point{-1, -1};
};

EndRegion MeasureEnd(const cv::Mat& blob, const cv::Mat& contourOnly, const cv::RotatedRect& box,
                     bool towardsStart) {
  EndRegion end;
  auto region = [&](double fraction) {
    cv::Mat part = BodyEnd(blob, box, fraction, towardsStart);
    if (!contourOnly.empty()) cv::bitwise_and(part, contourOnly, part);
    return part;
  };
  cv::Mat part = region(kEndRegionFraction);
  end.count = cv::countNonZero(part);
  end.point = EndPoint(part);
  for (double fraction : kEndRetryFractions) {
    if (end.point.x >= 0) break;
    end.point = EndPoint(region(fraction));
  }
  return end;
}

double Distance(cv::Point2d a, cv::Point2d b) { return std::hypot(a.x - b.x, a.y - b.y); }

double AngleBetween(cv::Point2d a, cv::Point2d b) {
  return std::abs(std::atan2(a.x * b.y - a.y * b.x, a.dot(b))) * kDegreesPerRadian;
}

// Step 7: what the recent movement says. choice: 1 far end, 0 start end, -1 none.
struct Movement {
  int choice = -1;
  double weight = 0;
  double moved = 0;
};

Movement MovementEvidence(const HeadMemory& memory, cv::Point2d p0, cv::Point2d p1,
                          cv::Point2d centre, bool touchesBorder, Vote& vote) {
  Movement movement;
  if (memory.lastHead.x < 0) return movement;
  const cv::Point2d lastHead(memory.lastHead);
  const double d0 = Distance(lastHead, p0);
  const double d1 = Distance(lastHead, p1);
  const double span = Distance(p0, p1);
  const bool knownCentre = memory.lastCentre.x >= 0;
  const cv::Point2d lastCentre(memory.lastCentre);
  movement.moved = knownCentre ? Distance(lastCentre, centre) : 0.0;
  if (movement.moved < span / 6) {
    // Almost still: the head stays at the end nearest to where it was.
    vote.total += 1.0;
    movement.weight = 1.0;
    if (std::min(d0, d1) <= span / 2 + movement.moved) {
      movement.choice = d1 < d0 ? 1 : 0;
      vote.score += movement.choice == 1 ? 1.0 : -1.0;
    }
    return movement;
  }
  movement.weight = touchesBorder ? 0.5 : 1.0;
  const cv::Point2d motion = centre - lastCentre;
  const double a0 = AngleBetween(motion, p0 - lastCentre);
  const double a1 = AngleBetween(motion, p1 - lastCentre);
  if (std::abs(a0 - a1) < 90.0) {
    // Both ends lie on the same side of the motion: the one farther ahead leads.
    movement.choice = Distance(lastCentre, p1) > Distance(lastCentre, p0) ? 1 : 0;
  } else {
    movement.choice = a1 < a0 ? 1 : 0;  // the head leads the motion
  }
  vote.Add(movement.weight, movement.choice == 1);
  return movement;
}

// Step 8: the end chosen, or -1 for no head this frame; updates the counters.
int Decide(const Vote& vote, const Movement& movement, double length, HeadMemory& memory) {
  const double r = vote.total > 0 ? vote.score / vote.total : 0.0;
  if (vote.total <= 0 || std::abs(r) < 0.5) {
    if (movement.choice >= 0 && movement.weight >= 1.0 && memory.agreement > 4) {
      --memory.agreement;
      return movement.choice;
    }
    return -1;
  }
  int choice = r >= 0 ? 1 : 0;
  if (movement.choice < 0) return choice;
  if (movement.choice == choice) {
    memory.agreement = std::min(kCounterCap, memory.agreement + 1);
    memory.override = 0;
  } else if (movement.weight >= 0.75) {
    memory.agreement = 0;
    if (movement.moved >= 0.1 * length) {
      memory.override = std::min(kCounterCap, memory.override + 1);
    }
    if (memory.override > 9) choice = movement.choice;
  }
  return choice;
}

}  // namespace

cv::Mat BodyEnd(const cv::Mat& mask, const cv::RotatedRect& box, double fraction,
                bool towardsStart) {
  Axis axis = AxisOf(box);
  axis.width *= 2;
  axis.centre += axis.along * (fraction * axis.length * (towardsStart ? -1.0 : 1.0));
  cv::Mat region = cv::Mat::zeros(mask.size(), CV_8U);
  FillBox(region, BoxOf(axis));
  cv::bitwise_and(region, mask, region);
  return region;
}

cv::Point EndPoint(const cv::Mat& endMask) {
  const cv::Moments m = cv::moments(endMask, true);
  if (m.m00 <= 0) return {-1, -1};
  return {static_cast<int>(std::floor(m.m10 / m.m00 + 0.5)),
          static_cast<int>(std::floor(m.m01 / m.m00 + 0.5))};
}

cv::Point DetectHead(HeadMemory& memory, const cv::Mat& mask, const Contour& contour,
                     cv::Point centre, const HeadCall& call) {
  const cv::Point none(-1, -1);
  if (contour.empty() || mask.empty()) return none;
  // The work region covers the contour and its whole oriented box: a box cut by the contour's
  // upright bounding rectangle (an animal lying diagonally) would make every slice near the
  // ends look full.
  cv::RotatedRect box = FitOrientedBox(contour);
  const cv::Rect work =
      (cv::boundingRect(contour) | box.boundingRect()) & cv::Rect(0, 0, mask.cols, mask.rows);
  if (work.empty()) return none;

  // Step 1: the blob inside the oriented box, in the work region's coordinates.
  box.center -= cv::Point2f(work.tl());
  // The box polygon is grown by one pixel so that the outline pixels on its sides stay in; the
  // blob itself is not thickened, which would make a thin tail look twice as thick.
  cv::Mat blob = cv::Mat::zeros(work.size(), CV_8U);
  FillBox(blob, box);
  cv::dilate(blob, blob, cv::getStructuringElement(cv::MORPH_ELLIPSE, {3, 3}));
  cv::bitwise_and(blob, mask(work), blob);
  cv::Mat contourOnly;
  if (call.firstAttempt) {
    contourOnly = cv::Mat::zeros(work.size(), CV_8U);
    cv::drawContours(contourOnly, std::vector<Contour>{contour}, 0, cv::Scalar(255), cv::FILLED,
                     cv::LINE_8, cv::noArray(), INT_MAX, -work.tl());
  }

  // Steps 2 to 4: the profile along the long axis and what the ends look like.
  Axis axis = AxisOf(box);
  if (axis.length <= 0) return none;
  Vote vote;
  const int slices = std::min(kMaxSlices, static_cast<int>(axis.length / 3));
  if (slices > 4) ShapeEvidence(Profile(blob, axis, slices), call.firstAttempt, axis, vote);

  // Steps 5 and 6: the fuller end is the rear.
  const cv::RotatedRect ends = BoxOf(axis);
  const EndRegion start = MeasureEnd(blob, contourOnly, ends, true);
  const EndRegion far = MeasureEnd(blob, contourOnly, ends, false);
  if (start.point.x < 0 || far.point.x < 0) return none;
  if (start.count > 0 || far.count > 0) {
    const int smaller = std::min(start.count, far.count);
    const int larger = std::max(start.count, far.count);
    vote.Add(smaller >= 0.9 * larger ? 0.5 : 1.0, start.count >= far.count);
  }

  // Steps 7 to 9, in frame coordinates.
  const cv::Point2d offset(work.tl() + call.maskOrigin);
  const cv::Point2d p0 = cv::Point2d(start.point) + offset;
  const cv::Point2d p1 = cv::Point2d(far.point) + offset;
  const cv::Point2d centreInFrame = cv::Point2d(centre + call.maskOrigin);
  const Movement movement =
      MovementEvidence(memory, p0, p1, centreInFrame, call.touchesBorder, vote);
  const int choice = Decide(vote, movement, axis.length, memory);
  if (choice < 0) return none;
  const cv::Point head = (choice == 1 ? far.point : start.point) + work.tl();
  const cv::Point tail = (choice == 1 ? start.point : far.point) + work.tl();
  memory.lastHead = head + call.maskOrigin;
  memory.lastTail = tail + call.maskOrigin;
  memory.lastCentre = centre + call.maskOrigin;
  return head;
}

}  // namespace vx
