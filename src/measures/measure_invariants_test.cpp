// Properties that hold for every trajectory, checked over random ones: time in a zone and
// outside it add up to the analysed time of each period; and, over the whole test, times,
// distances, entries, visits and distances to zones equal a plain count over the steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "support/measure_runner.h"
#include "support/zone_builder.h"
#include "zones/draw_poly.h"

namespace vx {
namespace {

using testing::AddZone;
using testing::ArenaSet;
using testing::MakeTrajectory;
using testing::RunMeasure;

constexpr double kTolerance = 1e-6;

struct Scenario {
  ZoneSet zones;
  Trajectory trajectory;
  MeasureDefinition periods;  // measure set by each check
};

Scenario RandomScenario(std::mt19937& random) {
  Scenario s{ArenaSet(640, 480, {0, 0, 639, 479}), Trajectory(), {}};
  AddZone(s.zones, "Left", {0, 0, 319, 479});
  AddZone(s.zones, "Right", {320, 0, 639, 479});
  std::uniform_int_distribution<int> x(0, 560), y(0, 400), size(20, 200);
  for (int k = 0; k < 3; ++k) {
    const int left = x(random), top = y(random);
    AddZone(s.zones, "R" + std::to_string(k), {left, top, left + size(random), top + size(random)},
            k == 2 ? kKindEllipse : kKindRectangle);
  }
  auto poly = std::make_unique<CDrawPoly>(
      std::vector<cv::Point>{{100, 100}, {400, 60}, {300, 300}, {200, 250}, {120, 380}});
  s.zones.AddZone(std::move(poly))->name = "P";

  std::vector<tMyPoint> points;
  int frame = static_cast<int>(random() % 50), px = 320, py = 240;
  const int count = 100 + static_cast<int>(random() % 300);
  for (int i = 0; i < count; ++i) {
    if (i > 0) frame += 1 + static_cast<int>(random() % 3);
    if (random() % 5 != 0) {  // sometimes the animal stays where it was
      px = std::clamp(px + static_cast<int>(random() % 61) - 30, 0, 639);
      py = std::clamp(py + static_cast<int>(random() % 61) - 30, 0, 479);
    }
    points.push_back(testing::PointAt(frame, frame * 40 + static_cast<int>(random() % 7), px, py));
  }
  s.trajectory = MakeTrajectory(points, 0.25);
  switch (random() % 3) {
    case 0:
      break;  // the whole test
    case 1:
      s.periods.sliceLength = 1 + static_cast<int>(random() % 5);
      s.periods.sliceUnit = 2;
      break;
    default:
      s.periods.periodMode = kPeriodList;
      for (int k = 0; k < 3; ++k) {
        const int start = static_cast<int>(random() % 20);
        s.periods.periods.push_back({"p" + std::to_string(k), start,
                                     start + 1 + static_cast<int>(random() % 10), 0, 0});
      }
      break;
  }
  return s;
}

testing::MeasureRun RunOn(const Scenario& s, int measure) {
  MeasureDefinition d = s.periods;
  d.measure = measure;
  return RunMeasure(d, s.trajectory, s.zones);
}

// The time walked in a period: its bounds clipped to the span of the points (report time 0 is
// the first point).
double WalkedSeconds(const Scenario& s, const testing::MeasureRun& run, size_t p) {
  const auto& points = s.trajectory.points();
  const int64_t last = int64_t{points.back().time} - points.front().time;
  MeasureDefinition d = s.periods;
  PeriodSource source;
  source.points = &points;
  source.origin = points.front().time;
  const ReportPeriod period = BuildReportPeriods(d, source)[p];
  EXPECT_EQ(period.name, run.table.periods[p]);
  return static_cast<double>(std::max<int64_t>(0, std::min(period.endMs, last) -
                                                      std::max<int64_t>(period.startMs, 0))) /
         1000;
}

class RandomTrajectories : public ::testing::TestWithParam<unsigned> {};

TEST_P(RandomTrajectories, TimeInAndOutAddUpToTheAnalysedTime) {
  std::mt19937 random(GetParam());
  const Scenario s = RandomScenario(random);
  const testing::MeasureRun run = RunOn(s, 12);
  ASSERT_GT(run.periods, 0);
  const size_t plain = 7;  // arena, Left, Right, R0, R1, R2, P
  ASSERT_EQ(run.table.CellCount(), plain + plain - 1);
  for (size_t p = 0; p < run.table.PeriodCount(); ++p) {
    const double walked = WalkedSeconds(s, run, p);
    EXPECT_NEAR(run.Value(p, 0), walked, kTolerance) << "period " << p;
    for (size_t z = 1; z < plain; ++z) {
      EXPECT_NEAR(run.Value(p, z) + run.Value(p, plain + z - 1), walked, kTolerance)
          << run.table.cells[z] << " period " << p;
    }
  }
}

// Over the whole test, with the centre rule, each measure is a plain count over the steps:
// a step belongs to the zone holding its first point.
TEST_P(RandomTrajectories, WholeTestMeasuresEqualAPlainCount) {
  std::mt19937 random(GetParam());
  Scenario s = RandomScenario(random);
  s.periods = MeasureDefinition();
  const auto& points = s.trajectory.points();
  const testing::MeasureRun time = RunOn(s, 12), distance = RunOn(s, 3), entries = RunOn(s, 4),
                            longest = RunOn(s, 6), nearest = RunOn(s, 16), farthest = RunOn(s, 17);
  for (size_t c = 0; c < time.table.CellCount(); ++c) {
    const CDrawObj* zone = nullptr;
    for (const auto& z : s.zones.Zones()) {
      if (time.table.cells[c].rfind(z->name + " (", 0) == 0) zone = z.get();
    }
    ASSERT_NE(zone, nullptr);
    const bool complement = time.table.cells[c].find("( out )") != std::string::npos;
    auto in = [&](const tMyPoint& p) { return zone->PtInZone(p.rawX, p.rawY, nullptr) != complement; };
    double ms = 0, mm = 0, run = 0, best = 0, near = 1e300, far = -1;
    int count = in(points[0]) ? 1 : 0;
    for (size_t i = 0; i < points.size(); ++i) {
      const double d = zone->GetDistance({points[i].rawX, points[i].rawY}, nullptr, nullptr, !complement);
      near = std::min(near, d);
      far = std::max(far, d);
      if (i == 0) continue;
      if (in(points[i]) && !in(points[i - 1])) ++count;
      if (in(points[i - 1])) {
        ms += points[i].time - points[i - 1].time;
        mm += points[i].cumDist - points[i - 1].cumDist;
        run += points[i].time - points[i - 1].time;
      } else {
        run = 0;
      }
      best = std::max(best, run);
    }
    const std::string& label = time.table.cells[c];
    EXPECT_NEAR(time.Value(0, c), ms / 1000, kTolerance) << label;
    EXPECT_NEAR(distance.Value(0, c), mm, kTolerance) << label;
    EXPECT_EQ(entries.Value(0, c), count) << label;
    EXPECT_NEAR(longest.Value(0, label), best / 1000, kTolerance) << label;
    if (c < 7) {  // distances use the plain cells of the zones kept for them
      EXPECT_NEAR(nearest.Value(0, label), near, kTolerance) << label;
      EXPECT_NEAR(farthest.Value(0, label), far, kTolerance) << label;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomTrajectories, ::testing::Range(1u, 31u));

}  // namespace
}  // namespace vx
