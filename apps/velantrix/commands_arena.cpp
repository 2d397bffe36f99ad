// Verbs on the geometry of one test: test adjust (the arena found elsewhere in the test's
// video) and zone position (where a movable zone lies in a test, and the named positions a
// protocol keeps for it).
#include <CLI/CLI.hpp>

#include <memory>

#include "adjustment_session.h"
#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "db/movable_zone_store.h"
#include "experiment_access.h"
#include "option_values.h"
#include "output.h"
#include "zones/arena_change.h"

namespace vx::cli {

namespace {

NumberList PixelPair(const char* form) { return {form, ',', 2, PixelCoordinate()}; }
NumberList ScalePair() { return {"SX,SY", ',', 2, {kMinArenaScale, kMaxArenaScale, false, ""}}; }
NumberRange Angle() { return {-kMaxAdjustAngle, kMaxAdjustAngle, true, "degrees"}; }

struct AdjustOptions {
  std::string path, move, scale, rect, text;
  int id = -1, angle = 0;
  bool clear = false;
  CLI::Option* angleFlag = nullptr;
};

// The change the flags ask for (CLI11 has validated their values).
void ReadArenaChange(const AdjustOptions& o, ArenaChange& change) {
  std::vector<int> whole;
  if (!o.move.empty() && ReadWholeNumbers(o.move, PixelPair("DX,DY"), whole).empty()) {
    change.move = cv::Point(whole[0], whole[1]);
  }
  std::vector<double> factors;
  if (!o.scale.empty() && ReadNumbers(o.scale, ScalePair(), factors).empty()) {
    change.scale = cv::Point2d(factors[0], factors[1]);
  }
  if (!o.rect.empty() && ReadWholeNumbers(o.rect, {"LEFT,TOP,RIGHT,BOTTOM", ',', 4, PixelCoordinate()}, whole).empty()) {
    change.rect = PixelRect{whole[0], whole[1], whole[2], whole[3]};
  }
  if (o.angleFlag->count() > 0) change.angle = o.angle;
}

int RunAdjust(Context& context, const AdjustOptions& o) {
  ArenaChange change;
  ReadArenaChange(o, change);
  if (!o.clear && o.text.empty() && !change.move && !change.scale && !change.rect && !change.angle) {
    return context.Fail("Nothing to change: give --move, --scale, --rotate, --rect, --text or --clear "
                        "('velantrix test show' prints the current adjustment).", kExitUsage);
  }
  AdjustmentSession session;
  if (const int status = OpenAdjustmentSession(context, o.path, o.id, session)) return status;
  TestAdjustment adjustment = session.reading.adjustment;
  if (!o.text.empty()) {
    AdjustmentReading typed = ParseAdjustment(o.text, session.zones);
    if (!typed.problem.empty()) return context.Fail("--text: " + typed.problem + ".", kExitUsage);
    adjustment = typed.adjustment;
  } else if (o.clear) {
    ClearArenaAdjustment(adjustment);
  } else if (const std::string problem = ApplyArenaChange(change, session.zones, session.test.idArena, adjustment);
             !problem.empty()) {
    return context.Fail("The arena cannot be adjusted so: " + problem + ".", kExitUsage);
  }
  if (const int status = SaveAdjustmentSession(context, session, adjustment)) return status;
  if (!context.quiet) {
    const std::string lines = AdjustmentLines(adjustment, session.zones, "  ");
    context.io.err << Format("Test %d: ", o.id)
                   << (lines.empty() ? std::string("the arena is where the protocol has it.\n") : "\n" + lines);
  }
  return kExitOk;
}

void RegisterAdjust(CLI::App& test, Context& context, CommandResult& result) {
  auto o = std::make_shared<AdjustOptions>();
  CLI::App* adjust = test.add_subcommand(
      "adjust", "Where a test's arena lies in its video when the camera moved: moved, scaled, turned");
  adjust->add_option("EXP", o->path, "Experiment file")->required();
  adjust->add_option("TEST_ID", o->id, "Test id")->required()->check(NumberIn(RecordId()));
  CLI::Option* move = adjust->add_option("--move", o->move, "Move the arena's top-left corner by DX,DY pixels from the protocol's")
                          ->check(NumbersIn(PixelPair("DX,DY")));
  CLI::Option* scale = adjust->add_option("--scale", o->scale, "Multiply the arena's width and height by SX,SY")
                           ->check(NumbersIn(ScalePair()));
  o->angleFlag = adjust->add_option("--rotate", o->angle, "Turn the arena by DEG degrees about its centre, clockwise")
                     ->check(NumberIn(Angle()));
  CLI::Option* rect = adjust->add_option("--rect", o->rect, "The arena's rectangle in the video, LEFT,TOP,RIGHT,BOTTOM")
                          ->check(NumbersIn({"LEFT,TOP,RIGHT,BOTTOM", ',', 4, PixelCoordinate()}))
                          ->excludes(move)->excludes(scale);
  CLI::Option* text = adjust->add_option("--text", o->text, "The whole adjustment in its stored text form")
                          ->excludes(move)->excludes(scale)->excludes(rect)->excludes(o->angleFlag);
  adjust->add_flag("--clear", o->clear, "Put the arena back where the protocol has it (zone positions stay)")
      ->excludes(move)->excludes(scale)->excludes(rect)->excludes(o->angleFlag)->excludes(text);
  adjust->callback([&, o] { result.Select([&, o] { return RunAdjust(context, *o); }); });
}

}  // namespace

void RegisterArenaCommands(CLI::App& app, Context& context, CommandResult& result) {
  RegisterAdjust(*Verb(app, "test", "Tests"), context, result);
  RegisterZonePositionCommands(*Verb(app, "zone", "Zones"), context, result);
}

}  // namespace vx::cli
