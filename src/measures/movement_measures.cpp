#include "measures/movement_measures.h"

#include "measures/inactivity.h"

namespace vx {

namespace {

class MovementWalk : public ZoneWalkListener {
 public:
  MovementWalk(int measure, const MeasureInput& input, const MeasureSetup& setup,
               MeasureTable& table)
      : measure_(measure),
        input_(input),
        table_(table),
        cellCount_(setup.cells.cells.size()),
        a_(table.values.size(), 0.0),
        periodDistance_(setup.periods.size(), 0.0) {}

  void OnPeriodStart(int, const WalkPosition&, const std::vector<CellState>&) override {}
  void OnStep(const WalkStep& step, const WalkPosition& position,
              const std::vector<CellState>& states) override;

  const std::vector<double>& A() const { return a_; }
  const std::vector<double>& PeriodDistance() const { return periodDistance_; }

 private:
  bool EndsInactive(const WalkPosition& position) {
    return IsInactive(input_.trajectory->points(), position.index, input_.inactivityDelayMs,
                      cache_);
  }

  const int measure_;
  const MeasureInput& input_;
  MeasureTable& table_;
  const size_t cellCount_;
  std::vector<double> a_;
  std::vector<double> periodDistance_;
  InactivityCache cache_;
};

void MovementWalk::OnStep(const WalkStep& step, const WalkPosition& position,
                          const std::vector<CellState>& states) {
  const size_t base = static_cast<size_t>(step.period) * cellCount_;
  bool activityKnown = false, inactive = false;
  if (measure_ == 3) periodDistance_[static_cast<size_t>(step.period)] += step.lengthMm;
  for (size_t c = 0; c < cellCount_; ++c) {
    const CellState& s = states[c];
    const bool counted = (s.inZone != 0 && s.entered == 0) || s.exited != 0;
    if (!counted) continue;
    double& r = table_.values[base + c];
    double& a = a_[base + c];
    switch (measure_) {
      case 0:
      case 1:
        r += step.lengthMm;
        a += step.durationMs;
        break;
      case 3:
        r += step.lengthMm;
        break;
      case 10:
      case 11:
        if (!activityKnown) {
          inactive = EndsInactive(position);
          activityKnown = true;
        }
        a += step.durationMs;
        if (inactive == (measure_ == 11)) r += step.durationMs;
        break;
      default:
        break;
    }
  }
}

void FinishSpeeds(const std::vector<double>& a, MeasureTable& table) {
  for (size_t i = 0; i < table.values.size(); ++i) {
    table.values[i] = a[i] > 0 ? table.values[i] / (a[i] / 1000) : 0;
  }
}

void FinishActivity(int valueKind, const MeasureSetup& setup, const std::vector<double>& a,
                    MeasureTable& table) {
  for (size_t p = 0; p < table.PeriodCount(); ++p) {
    const double length = static_cast<double>(setup.periods[p].lengthMs);
    for (size_t c = 0; c < table.CellCount(); ++c) {
      double& r = table.At(p, c);
      const double inCell = a[p * table.CellCount() + c];
      switch (valueKind) {
        case 1:
          r = length > 0 ? r * 100 / length : 0;
          break;
        case 2:
          r = inCell > 0 ? r * 100 / inCell : 0;
          break;
        default:  // 0 "Duration"
          r /= 1000;
          break;
      }
    }
  }
}

}  // namespace

void ComputeMovementMeasure(const MeasureDefinition& definition, const MeasureInput& input,
                            const MeasureSetup& setup, MeasureTable& table) {
  PrepareTable(setup, definition.measure, 0.0, table);
  MovementWalk walk(definition.measure, input, setup, table);
  WalkZones(WalkInputFor(input, setup, definition.measure), setup.periods, walk);
  switch (definition.measure) {
    case 0:
    case 1:
      FinishSpeeds(walk.A(), table);
      break;
    case 3:
      ApplyValueKind(definition.valueKind, 1, walk.PeriodDistance(), input, setup, table);
      break;
    case 10:
    case 11:
      FinishActivity(definition.valueKind, setup, walk.A(), table);
      break;
    default:
      break;
  }
}

}  // namespace vx
