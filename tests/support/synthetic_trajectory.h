// Synthetic trajectory points for tests and benchmarks: an animal wandering in a 640x480
// image, with a bounding box around its centre, an outline inside the box and, optionally, a
// head on the outline. Deterministic for a given seed.
#pragma once

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "detection/my_point.h"

namespace vx::testing {

struct SyntheticPathOptions {
  int count = 100;          // points
  int firstFrame = 0;
  int maxGap = 1;           // frame steps drawn from 1..maxGap (1: no missing frames)
  bool heads = false;       // give most points a head (some none)
  int outlinePoints = 12;   // per point
  unsigned seed = 1;
};

// Raw fields only (frame, time -1 unset, centre, head, box, outline): what a blob stores.
inline std::vector<tMyPoint> SyntheticPath(const SyntheticPathOptions& options) {
  std::mt19937 rng(options.seed);
  std::uniform_int_distribution<int> gap(1, std::max(1, options.maxGap));
  std::uniform_int_distribution<int> move(-6, 6);
  std::uniform_int_distribution<int> half(8, 40);
  std::uniform_int_distribution<int> coin(0, 9);
  std::vector<tMyPoint> points;
  points.reserve(static_cast<size_t>(options.count));
  int frame = options.firstFrame;
  int x = 320, y = 240;
  for (int i = 0; i < options.count; ++i) {
    if (i > 0) frame += gap(rng);
    x = std::clamp(x + move(rng), 45, 595);
    y = std::clamp(y + move(rng), 45, 435);
    tMyPoint p;
    p.frame = frame;
    p.time = -1;
    p.rawX = x;
    p.rawY = y;
    const int w = half(rng), h = half(rng);
    p.boxLeft = x - w;
    p.boxTop = y - h;
    p.boxRight = x + w;
    p.boxBottom = y + h;
    for (int k = 0; k < options.outlinePoints; ++k) {
      const double angle = 2 * M_PI * k / options.outlinePoints;
      p.contour.emplace_back(x + static_cast<int>(std::lround(w * std::cos(angle))),
                             y + static_cast<int>(std::lround(h * std::sin(angle))));
    }
    if (options.heads && coin(rng) != 0) {
      p.headX = x + w / 2;
      p.headY = y - h / 2;
    }
    points.push_back(std::move(p));
  }
  return points;
}

}  // namespace vx::testing
