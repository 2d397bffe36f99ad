// The protocol's stage program as the analysis run sees it (protocol/frame_program.h): start
// and stop actions emitted frame by frame.
#pragma once

#include <vector>

#include "protocol/frame_program.h"
#include "protocol/stage_program.h"

namespace vx {

class StageFrameProgram : public FrameProgram {
 public:
  // The protocol's program (diagram and maximum duration). zones (may be null) resolve the
  // zone conditions; the context carries the test's adjustment, the protocol's inactivity
  // delay and scale and the experiment's displacement threshold. zones and the context's
  // pointers must outlive the program.
  StageFrameProgram(const CProtocol& protocol, const ZoneSet* zones, const EventContext& context);

  void Start() override;
  // Actions of kinds other than start and stop are not the run's business and are dropped.
  std::vector<FrameAction> Evaluate(const tMyPoint& point, int timeMs) override;

  const StageProgram& program() const { return program_; }

 private:
  StageProgram program_;
  const ZoneSet* zones_;
  EventContext context_;
  std::vector<CAction> emitted_;
};

}  // namespace vx
