#include "measures/zone_measures.h"

#include <algorithm>

#include "base/text.h"

namespace vx {

namespace {

// Nearest and farthest distances of the centre or the head: every position counts, whatever
// the cell's state.
bool IsDistanceMeasure(int measure) { return measure >= 16 && measure <= 19; }

bool StartsAtMinusOne(int measure) {
  return measure == 9 || (measure >= 15 && measure <= 19);
}

class ZoneMeasureWalk : public ZoneWalkListener {
 public:
  ZoneMeasureWalk(const MeasureDefinition& d, const MeasureInput& input, const MeasureSetup& setup,
                  MeasureTable& table)
      : measure_(d.measure),
        ignoreAtStart_(d.ignoreInZoneAtStart),
        input_(input),
        setup_(setup),
        table_(table),
        cellCount_(setup.cells.cells.size()),
        frameMs_(NominalFrameDuration(*input.trajectory)),
        a_(table.values.size(), 0.0) {}

  void OnPeriodStart(int period, const WalkPosition& position,
                     const std::vector<CellState>& states) override;
  void OnStep(const WalkStep& step, const WalkPosition& position,
              const std::vector<CellState>& states) override;
  void Finish();

 private:
  double& R(int p, size_t c) { return table_.values[static_cast<size_t>(p) * cellCount_ + c]; }
  double& A(int p, size_t c) { return a_[static_cast<size_t>(p) * cellCount_ + c]; }
  void UpdateDistance(int p, size_t c, const WalkPosition& position);
  void AppendEvent(int period, size_t c) {
    table_.text += Format("%d:%d;", period, setup_.cells.cells[c].SignedId());
  }

  const int measure_;
  const bool ignoreAtStart_;
  const MeasureInput& input_;
  const MeasureSetup& setup_;
  MeasureTable& table_;
  const size_t cellCount_;
  const int frameMs_;
  std::vector<double> a_;
};

void ZoneMeasureWalk::UpdateDistance(int p, size_t c, const WalkPosition& position) {
  const bool head = measure_ == 18 || measure_ == 19;
  const cv::Point at = head ? position.head : position.centre;
  if (head && (at.x < 0 || at.y < 0)) return;
  const ZoneCell& cell = setup_.cells.cells[c];
  const double d = cell.zone->GetDistance(at, input_.adjustment, &input_.testInfo, !cell.complement);
  double& r = R(p, c);
  if (measure_ == 16 || measure_ == 18) {
    if (r != 0) r = r < 0 ? d : std::min(r, d);
  } else {
    r = std::max(r, d);
  }
}

void ZoneMeasureWalk::OnPeriodStart(int p, const WalkPosition& position,
                                    const std::vector<CellState>& states) {
  if (IsDistanceMeasure(measure_)) {
    for (size_t c = 0; c < cellCount_; ++c) UpdateDistance(p, c, position);
    return;
  }
  const ReportPeriod& period = setup_.periods[static_cast<size_t>(p)];
  for (size_t c = 0; c < cellCount_; ++c) {
    const bool in = states[c].inZone != 0;
    switch (measure_) {
      case 4:
        if (in && !ignoreAtStart_) R(p, c) += 1;
        break;
      case 6:
      case 7:
        A(p, c) = 0;
        break;
      case 8:
        if (in) A(p, c) = 1;
        break;
      case 9:
        A(p, c) = static_cast<double>(position.time - period.startMs);
        if (in && !ignoreAtStart_) R(p, c) = 0;
        break;
      case 13:
        if (in) AppendEvent(p, c);  // the period it belongs to, as entries later on
        break;
      case 14:
        if (in) R(p, c) += 1;
        break;
      case 15:
        A(p, c) = static_cast<double>(position.time - period.startMs);
        if (in) R(p, c) = 0;
        break;
      default:
        break;
    }
  }
}

void ZoneMeasureWalk::OnStep(const WalkStep& step, const WalkPosition& position,
                             const std::vector<CellState>& states) {
  const int p = step.period;
  if (IsDistanceMeasure(measure_)) {
    for (size_t c = 0; c < cellCount_; ++c) UpdateDistance(p, c, position);
    return;
  }
  const double dt = step.durationMs;
  for (size_t c = 0; c < cellCount_; ++c) {
    const CellState& s = states[c];
    const bool counted =
        step.hiddenPresence ? s.inZone != 0 : (s.inZone != 0 && s.entered == 0) || s.exited != 0;
    // Entering a hidden zone across a gap: the animal is taken to have gone in one frame
    // after it was last seen.
    const bool hiddenEntry = s.hiddenPresence && s.entered != 0 && dt > frameMs_;
    const double counts = hiddenEntry ? dt - frameMs_ : dt;
    const double reached = hiddenEntry ? frameMs_ : dt;
    switch (measure_) {
      case 2:
      case 12:
        if (counted) R(p, c) += counts;
        break;
      case 4:
        if (s.entered) R(p, c) += 1;
        break;
      case 5:
        if (s.exited) R(p, c) += 1;
        break;
      case 6:
        A(p, c) = counted ? A(p, c) + counts : 0;
        R(p, c) = std::max(R(p, c), A(p, c));
        break;
      case 7:
        if (counted) A(p, c) += counts;
        if (s.exited || step.lastOfPeriod) {
          const double visit = A(p, c);
          if (visit > 0 && (R(p, c) == 0 || R(p, c) > visit)) R(p, c) = visit;
          A(p, c) = 0;
        }
        break;
      case 8:
        if (counted) R(p, c) += counts;
        if (s.entered) A(p, c) += 1;
        break;
      case 9:
        if (R(p, c) < 0) {
          if (s.entered) R(p, c) = A(p, c) + reached;
          A(p, c) += dt;
        }
        break;
      case 13:
        if (s.entered) AppendEvent(p, c);
        break;
      case 14:
        if (s.entered) R(p, c) += 1;
        break;
      case 15:
        if (R(p, c) < 0) {
          if (s.inZone) R(p, c) = A(p, c) + reached;
          A(p, c) += dt;
        }
        break;
      default:
        break;
    }
  }
}

void ZoneMeasureWalk::Finish() {
  for (size_t i = 0; i < table_.values.size(); ++i) {
    double& r = table_.values[i];
    switch (measure_) {
      case 9:
      case 15:
        if (r >= 0) r /= 1000;
        break;
      case 16:
      case 17:
      case 18:
      case 19:
        if (r >= 0) r *= input_.scale;
        break;
      case 8:
        r = a_[i] > 0 ? r / a_[i] : 0;
        break;
      default:
        break;
    }
  }
}

}  // namespace

void ComputeZoneMeasure(const MeasureDefinition& definition, const MeasureInput& input,
                        const MeasureSetup& setup, MeasureTable& table) {
  PrepareTable(setup, definition.measure, StartsAtMinusOne(definition.measure) ? -1.0 : 0.0,
               table);
  ZoneMeasureWalk walk(definition, input, setup, table);
  WalkZones(WalkInputFor(input, setup, definition.measure), setup.periods, walk);
  walk.Finish();
  switch (definition.measure) {
    case 2:
    case 6:
    case 7:
    case 8:
    case 12: {
      std::vector<double> lengths;
      for (const ReportPeriod& period : setup.periods) {
        lengths.push_back(static_cast<double>(period.lengthMs));
      }
      ApplyValueKind(definition.valueKind, 1000, lengths, input, setup, table);
      break;
    }
    default:
      break;
  }
}

}  // namespace vx
