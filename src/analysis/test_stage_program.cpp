#include "analysis/test_stage_program.h"

#include "measures/inactivity.h"
#include "protocol/stage_frame_program.h"
#include "zones/adjustment_text.h"
#include "zones/calibration.h"

namespace vx {

namespace {

// The program with the test information its event context points to.
class TestStageProgram : public FrameProgram {
 public:
  TestStageProgram(const TestJob& job, const ZoneSet& zones,
                   std::shared_ptr<const std::vector<CField>> fields)
      : test_(job.test), adjustment_(ParseAdjustment(job.test.adjustArena, zones).adjustment), fields_(std::move(fields)) {
    info_.test = &test_;
    info_.fields = fields_.get();
    EventContext context;
    context.testInfo = &info_;
    if (adjustment_.IsAdjusted()) context.adjustment = &adjustment_;
    context.inactivityDelayMs =
        InactivityDelayMs(job.protocol.inactivityDelay, job.protocol.inactivityUnit);
    context.displacementThreshold = job.smoothing.threshold;
    context.displacementUnit = job.smoothing.thresholdUnit;
    context.scale = MmPerPixel(zones);
    program_ = std::make_unique<StageFrameProgram>(job.protocol, &zones, context);
  }

  void Start() override { program_->Start(); }
  std::vector<FrameAction> Evaluate(const tMyPoint& point, int timeMs) override {
    return program_->Evaluate(point, timeMs);
  }

 private:
  CInfosTest test_;
  TestAdjustment adjustment_;
  std::shared_ptr<const std::vector<CField>> fields_;
  ZoneTestInfo info_;
  std::unique_ptr<StageFrameProgram> program_;
};

}  // namespace

ProgramFactory StageProgramFactory(const std::vector<CField>& fields) {
  auto shared = std::make_shared<const std::vector<CField>>(fields);
  return [shared](const TestJob& job, const ZoneSet& zones) -> std::unique_ptr<FrameProgram> {
    StageProgram program;
    LoadProgram(program, job.protocol);
    // A protocol drawn without any event or action (older files, protocols made outside the
    // diagram editor) tracks the whole video, as the default program does.
    if (program.events.empty() && program.actions.empty()) {
      return std::make_unique<RecordEverythingProgram>();
    }
    return std::make_unique<TestStageProgram>(job, zones, shared);
  };
}

}  // namespace vx
