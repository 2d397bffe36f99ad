#include "adjustment_session.h"

#include "base/text.h"
#include "db/test_store.h"
#include "experiment_access.h"
#include "output.h"
#include "setup_warnings.h"
#include "zones/arena_change.h"
#include "zones/zone_rows.h"

namespace vx::cli {

namespace {

cv::Point MoveOf(const TestAdjustment& a) {
  if (!a.MovesZones()) return {0, 0};
  return {a.adjusted.left - a.reference.left, a.adjusted.top - a.reference.top};
}

std::string RectJson(const PixelRect& r) {
  return Format("[%d, %d, %d, %d]", r.left, r.top, r.right, r.bottom);
}

std::string ZoneName(const ZoneSet& zones, int zoneId) {
  const CDrawObj* zone = zones.FindZone(zoneId);
  return zone != nullptr ? zone->GetName() : std::string();
}

}  // namespace

int OpenAdjustmentSession(Context& context, const std::string& path, int testId,
                          AdjustmentSession& session) {
  session.path = path;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, session.experiment, status)) return status;
  if (session.experiment.FindTest(testId) == nullptr || !LoadTest(session.experiment, testId, session.test)) {
    return context.Fail(Format("There is no test %d in '%s'.", testId, path.c_str()));
  }
  const CProtocol* protocol = session.experiment.FindProtocol(session.test.idProtocol);
  if (protocol == nullptr) {
    return context.Fail(Format("Test %d has no protocol: it has no arena to adjust.", testId));
  }
  LoadZoneSet(*protocol, session.zones);
  session.reading = ParseAdjustment(session.test.adjustArena, session.zones);
  if (!session.reading.problem.empty() && !context.quiet) {
    context.io.err << "velantrix: warning: " << AdjustmentProblemText(session.test, session.reading) << ".\n";
  }
  return kExitOk;
}

int SaveAdjustmentSession(Context& context, AdjustmentSession& session,
                          const TestAdjustment& adjustment) {
  const TestAdjustment& before = session.reading.adjustment;
  if (!SaveTestAdjustment(session.experiment, session.test, adjustment, session.zones)) {
    return context.Fail(Format("Unable to save the adjustment of test %d in '%s'.", session.test.id,
                               session.path.c_str()));
  }
  const bool arenaChanged = adjustment.adjusted != before.adjusted || adjustment.angle != before.angle;
  if (arenaChanged && session.test.IsAnalysed() && !context.quiet) {
    context.io.err << Format("Test %d was tracked with its earlier arena; its measures now use the "
                             "new one. Run 'velantrix analyze %s %d' to track it in the new arena too.\n",
                             session.test.id, session.path.c_str(), session.test.id);
  }
  return kExitOk;
}

std::string AdjustmentLines(const TestAdjustment& a, const ZoneSet& zones, const std::string& indent) {
  std::string lines;
  if (a.IsAdjusted()) {
    const cv::Point move = MoveOf(a);
    lines += indent + Format("arena moved by (%d, %d), scaled %.4g x %.4g, turned %d degrees\n",
                             move.x, move.y, a.scaleX, a.scaleY, a.angle);
    lines += indent + Format("arena at (%d, %d, %d, %d) in the video, (%d, %d, %d, %d) in the protocol\n",
                             a.adjusted.left, a.adjusted.top, a.adjusted.right, a.adjusted.bottom,
                             a.reference.left, a.reference.top, a.reference.right, a.reference.bottom);
  }
  for (const tObjectAdjust& o : a.objects) {
    lines += indent + Format("zone %d (%s) placed at (%d, %d) instead of (%d, %d)\n", o.zoneId,
                             ZoneName(zones, o.zoneId).c_str(), o.adjustedX, o.adjustedY, o.x, o.y);
  }
  return lines;
}

std::string AdjustmentJson(const std::string& text, const AdjustmentReading& reading,
                           const ZoneSet& zones) {
  const TestAdjustment& a = reading.adjustment;
  const cv::Point move = MoveOf(a);
  std::string objects;
  for (const tObjectAdjust& o : a.objects) {
    objects += Format("%s{\"zone\": %d, \"name\": %s, \"x\": %d, \"y\": %d, \"adjusted_x\": %d, "
                      "\"adjusted_y\": %d, \"angle\": %d}",
                      objects.empty() ? "" : ", ", o.zoneId, JsonString(ZoneName(zones, o.zoneId)).c_str(),
                      o.x, o.y, o.adjustedX, o.adjustedY, o.angle);
  }
  return Format("{\"text\": %s, \"adjusted\": %s, \"reference\": %s, \"arena\": %s, \"move\": [%d, %d], "
                "\"scale\": [%s, %s], \"angle\": %d, \"zones\": [%s], \"problem\": %s}",
                JsonString(text).c_str(), a.IsAdjusted() ? "true" : "false",
                RectJson(a.reference).c_str(), RectJson(a.adjusted).c_str(), move.x, move.y,
                JsonNumber(a.scaleX).c_str(), JsonNumber(a.scaleY).c_str(), a.angle, objects.c_str(),
                reading.problem.empty() ? "null" : JsonString(reading.problem).c_str());
}

}  // namespace vx::cli
