// Stored measure texts decoded from arbitrary bytes: report definitions (Config), event
// conditions, behaviour definitions and stage-program diagrams. Whatever they say, decoding
// them and computing with the result on a small trajectory must neither crash nor hang.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "measures/behavior.h"
#include "measures/measure_engine.h"
#include "protocol/stage_program.h"
#include "zones/draw_rect.h"

namespace {

vx::Trajectory SmallTrajectory() {
  vx::Trajectory trajectory({vx::kNoSmoothing, 0, vx::kThresholdPixels}, 0.5);
  for (int k = 0; k < 40; ++k) {
    vx::tMyPoint p;
    p.frame = k * 2;
    p.time = k * 80;
    p.rawX = 10 + 7 * k % 200;
    p.rawY = 20 + 3 * k % 90;
    p.headX = p.rawX + 3;
    p.headY = k % 3 == 0 ? -1 : p.rawY;
    p.contour = {{p.rawX - 4, p.rawY - 4}, {p.rawX + 4, p.rawY - 4}, {p.rawX, p.rawY + 4}};
    trajectory.Append(p, false);
  }
  trajectory.Finish(0);
  trajectory.durationMs = 4000;
  trajectory.frameCount = 100;
  trajectory.behaviors.lists.push_back({1, 1, 0, {{100, 900}, {1500, 1600}}});
  return trajectory;
}

vx::ZoneSet SmallZones() {
  vx::ZoneSet set;
  set.SetImageSize(240, 120, false, false);
  set.SetMainArena(set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindRectangle,
                                                               vx::PixelRect{0, 0, 239, 119})));
  set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindEllipse, vx::PixelRect{50, 20, 120, 90}));
  vx::CDrawObj* hidden =
      set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindRectangle, vx::PixelRect{150, 0, 200, 60}));
  hidden->hidden = 1;
  hidden->detectInZone = vx::kDetectBody;
  return set;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const vx::Trajectory trajectory = SmallTrajectory();
  static const vx::ZoneSet zones = SmallZones();
  const std::string text(reinterpret_cast<const char*>(data), size);

  const std::vector<vx::CBehavior> behaviors = vx::ParseBehaviors(text, 1).behaviors;
  (void)vx::FormatBehaviors({7, behaviors});

  vx::MeasureDefinition definition;
  if (vx::ParseMeasureConfig(text, definition)) {
    (void)vx::FormatMeasureConfig(definition);
    const std::vector<vx::CBehavior> defined{{1, 1, "b", 0, 0, 0}};
    vx::MeasureInput input;
    input.trajectory = &trajectory;
    input.zones = &zones;
    input.scale = 0.5;
    input.inactivityDelayMs = 200;
    input.behaviors = &defined;
    vx::MeasureTable table;
    (void)vx::ComputeMeasure(definition, input, table);
  }

  vx::CMyEvent event;
  event.Decode(text);
  event.Reset(&zones);
  for (const vx::tMyPoint& p : trajectory.points()) (void)event.Evaluate(p, p.time, {});

  vx::StageProgram program;
  vx::LoadProgram(program, text);
  program.maxDuration = 1;
  program.maxDurationUnit = 2;
  vx::StartProgram(program, &zones);
  std::vector<vx::CAction> emitted;
  for (const vx::tMyPoint& p : trajectory.points()) {
    (void)vx::EvaluateProgram(program, p, p.time, emitted, {});
  }
  (void)vx::ProgramDiffers(text, vx::DefaultProgramText());
  return 0;
}
