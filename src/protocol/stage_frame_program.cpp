#include "protocol/stage_frame_program.h"

namespace vx {

StageFrameProgram::StageFrameProgram(const CProtocol& protocol, const ZoneSet* zones,
                                     const EventContext& context)
    : zones_(zones), context_(context) {
  LoadProgram(program_, protocol);
}

void StageFrameProgram::Start() { StartProgram(program_, zones_); }

std::vector<FrameAction> StageFrameProgram::Evaluate(const tMyPoint& point, int timeMs) {
  std::vector<FrameAction> actions;
  if (!EvaluateProgram(program_, point, timeMs, emitted_, context_)) return actions;
  for (const CAction& action : emitted_) {
    if (action.kind == kActionStart) {
      actions.push_back({FrameAction::kStart, action.id});
    } else if (action.kind == kActionStop) {
      actions.push_back({FrameAction::kStop, action.id});
    }
  }
  return actions;
}

}  // namespace vx
