#include "zones/arena_finder.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

#include "zones/draw_obj.h"

namespace vx {

namespace {

struct Candidate {
  cv::Mat mask;  // the part's pixels (255), holes filled
  std::vector<cv::Point> outline;
  cv::Rect box;
  double area = 0.0;
};

constexpr int kThresholdStep = 4;  // grey levels between two growth steps
constexpr double kLeak = 1.5;      // a step that grows the floor this much has leaked out of it

// The largest connected part of binary that keeps clear of the image border, holes filled;
// with a seed, the part holding that pixel instead (none when it touches the border).
Candidate InnerPart(const cv::Mat& binary, const cv::Point* seed = nullptr) {
  cv::Mat opened;
  cv::morphologyEx(binary, opened, cv::MORPH_OPEN,
                   cv::getStructuringElement(cv::MORPH_ELLIPSE, {7, 7}));
  std::vector<std::vector<cv::Point>> contours;
  cv::findContours(opened, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
  Candidate best;
  const cv::Rect inner(1, 1, binary.cols - 2, binary.rows - 2);
  for (size_t i = 0; i < contours.size(); ++i) {
    if (seed != nullptr && cv::pointPolygonTest(contours[i], *seed, false) < 0) continue;
    const cv::Rect box = cv::boundingRect(contours[i]);
    if ((box & inner) != box) continue;  // touches the border: the surroundings, not a floor
    const double area = cv::contourArea(contours[i]);
    if (area <= best.area) continue;
    best.area = area;
    best.box = box;
    best.outline = contours[i];
    best.mask = cv::Mat::zeros(binary.size(), CV_8UC1);
    cv::drawContours(best.mask, contours, static_cast<int>(i), cv::Scalar(255), cv::FILLED);
  }
  if (!best.mask.empty()) best.area = cv::countNonZero(best.mask);
  return best;
}

// The floor found at Otsu's threshold, in a picture where the floor is the bright side, grown
// by lowering the threshold step by step half-way towards the dark side's mean: unevenly lit floors
// (a dim corner under Otsu's threshold) come back whole, while the dark surroundings stop the
// growth. It stops before the part reaches the image border or suddenly spreads.
Candidate BrightFloor(const cv::Mat& bright) {
  cv::Mat binary;
  const double otsu = cv::threshold(bright, binary, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
  Candidate floor = InnerPart(binary);
  if (floor.mask.empty()) return floor;
  const double darkMean = cv::mean(bright, ~binary)[0];
  std::vector<cv::Point> inside;
  cv::findNonZero(floor.mask, inside);
  const cv::Point seed = inside[inside.size() / 2];
  // Half-way down to the dark side's mean: further down, the surroundings' lighter parts (a
  // thin rim, a wall in the light) would join.
  const double lowest = (otsu + darkMean) / 2;
  for (double t = otsu - kThresholdStep; t >= lowest; t -= kThresholdStep) {
    cv::threshold(bright, binary, t, 255, cv::THRESH_BINARY);
    Candidate grown = InnerPart(binary, &seed);
    if (grown.mask.empty() || grown.area > kLeak * floor.area) break;
    floor = std::move(grown);
  }
  return floor;
}

double Median(std::vector<double>& values) {
  if (values.empty()) return 0.0;
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

// How far the floor's outline lies, at the median, from the sides of its box and from the
// ellipse inscribed in the box (pixels). The median keeps a few lost corners or a notch from
// deciding.
void ShapeDistances(const Candidate& floor, double& fromRectangle, double& fromEllipse) {
  const cv::Rect& b = floor.box;
  const double left = b.x, top = b.y, right = b.x + b.width - 1, bottom = b.y + b.height - 1;
  const double cx = (left + right) / 2, cy = (top + bottom) / 2;
  const double a = std::max(1.0, (right - left) / 2), c = std::max(1.0, (bottom - top) / 2);
  std::vector<double> rectangle, ellipse;
  for (const cv::Point& p : floor.outline) {
    rectangle.push_back(std::min({p.x - left, right - p.x, p.y - top, bottom - p.y}));
    const double radius = std::hypot((p.x - cx) / a, (p.y - cy) / c);
    ellipse.push_back(std::abs(radius - 1.0) * std::min(a, c));
  }
  fromRectangle = Median(rectangle);
  fromEllipse = Median(ellipse);
}

PixelRect BoxBounds(const Candidate& floor) {
  const cv::Rect& b = floor.box;
  return {b.x, b.y, b.x + b.width - 1, b.y + b.height - 1};
}

// The first and last floor pixel of each row of the middle eight tenths of the box's rows
// (of its columns when across), as positions in the picture.
void EdgesOfLines(const Candidate& floor, bool across, std::vector<double>& firsts,
                  std::vector<double>& lasts) {
  cv::Mat lines;  // a transposed copy across: the floor's own mask stays as it is
  if (across) {
    cv::transpose(floor.mask(floor.box), lines);
  } else {
    lines = floor.mask(floor.box);
  }
  const int offset = across ? floor.box.y : floor.box.x;
  for (int i = lines.rows / 10; i < lines.rows - lines.rows / 10; ++i) {
    const uchar* line = lines.ptr<uchar>(i);
    int first = -1, last = -1;
    for (int j = 0; j < lines.cols; ++j) {
      if (line[j] == 0) continue;
      if (first < 0) first = j;
      last = j;
    }
    if (first >= 0) firsts.push_back(offset + first), lasts.push_back(offset + last);
  }
}

// The sides of a rectangular floor as the median, over the middle of each side, of the floor's
// outermost pixel in each row or column: a glare spot or a lamp touching the floor moves the
// bounding box but not the median, nor does a lost corner.
PixelRect RectangleSides(const Candidate& floor) {
  std::vector<double> tops, bottoms, lefts, rights;
  EdgesOfLines(floor, true, tops, bottoms);
  EdgesOfLines(floor, false, lefts, rights);
  if (tops.empty() || lefts.empty()) return BoxBounds(floor);
  return {static_cast<int>(Median(lefts)), static_cast<int>(Median(tops)),
          static_cast<int>(Median(rights)), static_cast<int>(Median(bottoms))};
}

}  // namespace

ArenaSuggestion FindArena(const cv::Mat& picture) {
  ArenaSuggestion suggestion;
  if (picture.empty() || picture.depth() != CV_8U || picture.cols < 8 || picture.rows < 8) {
    return suggestion;
  }
  cv::Mat grey;
  if (picture.channels() == 3) {
    cv::cvtColor(picture, grey, cv::COLOR_BGR2GRAY);
  } else if (picture.channels() == 1) {
    grey = picture;
  } else {
    return suggestion;
  }
  cv::Mat smooth, inverted;
  cv::GaussianBlur(grey, smooth, {5, 5}, 0);
  cv::bitwise_not(smooth, inverted);
  const Candidate a = BrightFloor(smooth);     // a light floor
  const Candidate b = BrightFloor(inverted);   // a dark floor
  const Candidate& floor = a.area >= b.area ? a : b;
  const double pictureArea = static_cast<double>(grey.total());
  if (floor.mask.empty() || floor.area < kMinimumFloorShare * pictureArea) return suggestion;

  suggestion.found = true;
  suggestion.share = floor.area / pictureArea;
  suggestion.fill = floor.area / floor.box.area();
  ShapeDistances(floor, suggestion.fromRectangle, suggestion.fromEllipse);
  suggestion.kind = suggestion.fromRectangle <= suggestion.fromEllipse ? kKindRectangle : kKindEllipse;
  suggestion.bounds = suggestion.kind == kKindRectangle ? RectangleSides(floor) : BoxBounds(floor);
  return suggestion;
}

CDrawObj* ApplySuggestedArena(ZoneSet& set, const ArenaSuggestion& suggestion) {
  if (!suggestion.found) return nullptr;
  std::unique_ptr<CDrawObj> shape = MakeShape(suggestion.kind, set);
  shape->SetRect(suggestion.bounds);
  if (CDrawObj* arena = set.MainArena()) {
    shape->CopyAttributes(*arena);
    const int id = arena->id;
    set.ReplaceZone(std::move(shape));
    return set.FindZone(id);
  }
  shape->isArena = 1;
  CDrawObj* added = set.AddZone(std::move(shape));
  set.SetMainArena(added);
  return added;
}

}  // namespace vx
