#include "measures/zone_walk.h"

#include <cmath>

namespace vx {

namespace {

constexpr int8_t kHeldUnknown = -1;

cv::Point Lerp(cv::Point a, cv::Point b, double f) {
  return {static_cast<int>(std::lround(a.x + (b.x - a.x) * f)),
          static_cast<int>(std::lround(a.y + (b.y - a.y) * f))};
}

ZoneState Swapped(ZoneState s) {
  if (s == ZoneState::Inside) return ZoneState::Outside;
  if (s == ZoneState::Outside) return ZoneState::Inside;
  return s;
}

class Walker {
 public:
  Walker(const ZoneWalkInput& input, ZoneWalkListener& listener)
      : in_(input),
        points_(input.trajectory->points()),
        first_(input.first),
        count_(input.first < points_.size() ? points_.size() - input.first : 0),
        cells_(*input.cells),
        listener_(listener),
        states_(cells_.cells.size()),
        zoneStates_(cells_.zones.size()),
        zonePresence_(cells_.zones.size()) {}

  void Classify();
  void WalkPeriod(int period, const ReportPeriod& bounds);

 private:
  int64_t Rel(size_t i) const { return int64_t{points_[i].time} - in_.origin; }
  // The first index in [from, n) whose report time is at least t (binary search; the times
  // of a trajectory do not decrease).
  size_t FirstAtOrAfter(size_t from, int64_t t) const;
  bool IsLast(size_t i) const { return i + 1 == points_.size(); }
  bool GapHiddenPresence(const CDrawObj& zone, size_t i) const;
  WalkPosition RealPosition(size_t i) const;
  WalkPosition Interpolated(size_t b, int64_t t) const;
  // Fills zoneStates_ and zonePresence_ for a position.
  void StatesAt(const WalkPosition& position);
  ZoneState ClassifyInterpolated(size_t zone, const WalkPosition& position) const;
  int HeldBefore(size_t zone, const WalkPosition& position) const;
  void Start(int period, const WalkPosition& position);
  void Advance(const WalkStep& step, const WalkPosition& position);

  const ZoneWalkInput& in_;
  const std::vector<tMyPoint>& points_;
  const size_t first_;
  const size_t count_;
  const ZoneCells& cells_;
  ZoneWalkListener& listener_;
  // Per zone (zone-major) and point taking part: the zone state and the state held after it.
  std::vector<uint8_t> pointStates_;
  std::vector<int8_t> held_;
  std::vector<CellState> states_;
  std::vector<ZoneState> zoneStates_;
  std::vector<uint8_t> zonePresence_;
};

size_t Walker::FirstAtOrAfter(size_t from, int64_t t) const {
  size_t lo = from, hi = points_.size();
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    if (Rel(mid) < t) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return lo;
}

bool Walker::GapHiddenPresence(const CDrawObj& zone, size_t i) const {
  if (!in_.hiddenZones || zone.hidden == 0 || i <= first_ || IsLast(i)) return false;
  const tMyPoint& a = points_[i - 1];
  const tMyPoint& b = points_[i];
  if (int64_t{b.frame} < int64_t{a.frame} + 2) return false;
  return zone.IsHiddenPresence({a.rawX, a.rawY}, {b.rawX, b.rawY}, in_.adjustment, in_.testInfo,
                               in_.scale);
}

void Walker::Classify() {
  const size_t zones = cells_.zones.size();
  pointStates_.assign(zones * count_, static_cast<uint8_t>(ZoneState::Undecided));
  held_.assign(zones * count_, kHeldUnknown);
  for (size_t z = 0; z < zones; ++z) {
    const CDrawObj& zone = *cells_.zones[z];
    int8_t held = kHeldUnknown;
    for (size_t k = 0; k < count_; ++k) {
      const size_t i = first_ + k;
      const tMyPoint& p = points_[i];
      ZoneState s = zone.GetZoneState({p.rawX, p.rawY}, {p.headX, p.headY}, p.contour,
                                      in_.adjustment, in_.testInfo);
      if (s != ZoneState::Inside && GapHiddenPresence(zone, i)) s = ZoneState::Inside;
      if (s == ZoneState::Inside) held = 1;
      if (s == ZoneState::Outside) held = 0;
      pointStates_[z * count_ + k] = static_cast<uint8_t>(s);
      held_[z * count_ + k] = held;
    }
  }
}

WalkPosition Walker::RealPosition(size_t i) const {
  const tMyPoint& p = points_[i];
  return {Rel(i), {p.rawX, p.rawY}, {p.headX, p.headY}, static_cast<int>(i), false};
}

WalkPosition Walker::Interpolated(size_t b, int64_t t) const {
  const tMyPoint& pa = points_[b - 1];
  const tMyPoint& pb = points_[b];
  const int64_t span = Rel(b) - Rel(b - 1);
  const double f = span > 0 ? static_cast<double>(t - Rel(b - 1)) / static_cast<double>(span) : 1.0;
  WalkPosition position;
  position.time = t;
  position.centre = Lerp({pa.rawX, pa.rawY}, {pb.rawX, pb.rawY}, f);
  position.head = pa.HasHead() && pb.HasHead() ? Lerp({pa.headX, pa.headY}, {pb.headX, pb.headY}, f)
                                               : cv::Point(-1, -1);
  position.index = static_cast<int>(b);
  position.interpolated = true;
  return position;
}

ZoneState Walker::ClassifyInterpolated(size_t z, const WalkPosition& position) const {
  const size_t b = static_cast<size_t>(position.index);
  const tMyPoint& pa = points_[b - 1];
  const tMyPoint& pb = points_[b];
  // The outline of the nearer point, carried along with the centre.
  const bool nearB = 2 * (position.time - Rel(b - 1)) >= Rel(b) - Rel(b - 1);
  const tMyPoint& near = nearB ? pb : pa;
  std::vector<cv::Point> outline(near.contour);
  for (cv::Point& q : outline) q += position.centre - cv::Point(near.rawX, near.rawY);
  const CDrawObj& zone = *cells_.zones[z];
  ZoneState s = zone.GetZoneState(position.centre, position.head, outline, in_.adjustment,
                                  in_.testInfo);
  if (s != ZoneState::Inside && GapHiddenPresence(zone, b)) s = ZoneState::Inside;
  return s;
}

void Walker::StatesAt(const WalkPosition& position) {
  for (size_t z = 0; z < cells_.zones.size(); ++z) {
    const ZoneState s =
        position.interpolated
            ? ClassifyInterpolated(z, position)
            : static_cast<ZoneState>(pointStates_[z * count_ + (static_cast<size_t>(position.index) - first_)]);
    zoneStates_[z] = s;
    zonePresence_[z] = in_.hiddenZones && cells_.zones[z]->hidden != 0 && s == ZoneState::Inside;
  }
}

// The zone state the animal had before position: the state held after the last point
// before it (for an interpolated position, the first point of its step).
int Walker::HeldBefore(size_t z, const WalkPosition& position) const {
  const size_t i = static_cast<size_t>(position.index);
  if (i <= first_) return kHeldUnknown;
  return held_[z * count_ + (i - 1 - first_)];
}

void Walker::Start(int period, const WalkPosition& position) {
  if (in_.classify) {
    StatesAt(position);
    for (size_t c = 0; c < cells_.cells.size(); ++c) {
      const ZoneCell& cell = cells_.cells[c];
      const size_t z = static_cast<size_t>(cell.zoneIndex);
      const ZoneState s = zoneStates_[z];
      CellState& state = states_[c];
      if (s == ZoneState::Undecided) {
        const int held = HeldBefore(z, position);
        state.inZone = held == kHeldUnknown ? 0 : (cell.complement ? 1 - held : held);
      } else {
        state.inZone = (cell.complement ? Swapped(s) : s) == ZoneState::Inside;
      }
      state.entered = state.exited = 0;
      state.hiddenPresence = !cell.complement && zonePresence_[z] != 0;
    }
  }
  listener_.OnPeriodStart(period, position, states_);
}

void Walker::Advance(const WalkStep& stepIn, const WalkPosition& position) {
  WalkStep step = stepIn;
  if (in_.classify) {
    StatesAt(position);
    for (size_t z = 0; z < zonePresence_.size(); ++z) step.hiddenPresence |= zonePresence_[z] != 0;
    for (size_t c = 0; c < cells_.cells.size(); ++c) {
      const ZoneCell& cell = cells_.cells[c];
      const size_t z = static_cast<size_t>(cell.zoneIndex);
      const ZoneState s = cell.complement ? Swapped(zoneStates_[z]) : zoneStates_[z];
      CellState& state = states_[c];
      if (s == ZoneState::Inside) {
        state.entered = state.inZone == 0;
        state.exited = 0;
        state.inZone = 1;
      } else if (s == ZoneState::Outside) {
        state.entered = 0;
        state.exited = state.inZone;
        state.inZone = 0;
      } else {
        state.entered = state.exited = 0;
      }
      state.hiddenPresence = !cell.complement && zonePresence_[z] != 0;
    }
  }
  listener_.OnStep(step, position, states_);
}

void Walker::WalkPeriod(int period, const ReportPeriod& bounds) {
  if (bounds.IsEmpty() || count_ == 0) return;
  const int64_t ps = bounds.startMs, pe = bounds.endMs;
  const size_t lo = FirstAtOrAfter(first_, ps);
  const size_t hi = FirstAtOrAfter(lo, pe);
  const bool startCut = lo > first_ && lo < points_.size() && Rel(lo) > ps;
  const bool endCut = hi < points_.size() && hi > first_ && (startCut || hi > lo);
  const size_t positions = (startCut ? 1 : 0) + (hi - lo) + (endCut ? 1 : 0);
  if (positions == 0) return;

  size_t ordinal = 0;
  WalkPosition previous;
  auto visit = [&](const WalkPosition& position) {
    if (ordinal == 0) {
      Start(period, position);
    } else {
      WalkStep step;
      step.period = period;
      step.durationMs = static_cast<double>(position.time - previous.time);
      const size_t b = static_cast<size_t>(position.index);
      const double full = points_[b].cumDist - points_[b - 1].cumDist;
      const int64_t span = Rel(b) - Rel(b - 1);
      step.lengthMm = (position.interpolated || previous.interpolated) && span > 0
                          ? full * step.durationMs / static_cast<double>(span)
                          : full;
      step.firstOfPeriod = ordinal == 1;
      step.lastOfPeriod = ordinal + 1 == positions;
      Advance(step, position);
    }
    previous = position;
    ++ordinal;
  };
  if (startCut) visit(Interpolated(lo, ps));
  for (size_t i = lo; i < hi; ++i) visit(RealPosition(i));
  if (endCut) visit(Interpolated(hi, pe));
}

}  // namespace

void WalkZones(const ZoneWalkInput& input, const std::vector<ReportPeriod>& periods,
               ZoneWalkListener& listener) {
  if (input.trajectory == nullptr || input.cells == nullptr) return;
  Walker walker(input, listener);
  if (input.classify) walker.Classify();
  for (size_t p = 0; p < periods.size(); ++p) walker.WalkPeriod(static_cast<int>(p), periods[p]);
}

int NominalFrameDuration(const Trajectory& trajectory) {
  if (trajectory.frameCount > 0) {
    return static_cast<int>(static_cast<double>(trajectory.durationMs) / trajectory.frameCount + 0.5);
  }
  if (trajectory.empty()) return 0;
  const tMyPoint& last = trajectory.points().back();
  if (last.frame == 0) return 0;
  return static_cast<int>(static_cast<double>(last.time) / last.frame + 0.5);
}

}  // namespace vx
