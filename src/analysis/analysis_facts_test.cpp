// The analysis facts read back from stored analysis information texts: value 7 carries both
// how the run ended and how the background was made.
#include "analysis/analysis_facts.h"

#include <gtest/gtest.h>

#include "analysis/analysis_run.h"
#include "db/analysis_info.h"

namespace vx {
namespace {

TEST(AnalysisFacts, TheEndingAndTheBackgroundShareValueSeven) {
  struct Case {
    int64_t value7;
    const char* ending;
    BackgroundMethod background;
  };
  const Case cases[] = {
      {0, "end of the period", BackgroundMethod::kNone},
      {1, "stopped by the stage program", BackgroundMethod::kNone},
      {100, "end of the period", BackgroundMethod::kComposite},
      {202, "maximum duration reached", BackgroundMethod::kPaintedFrame},
      {303, "cancelled", BackgroundMethod::kTemporalMedian},
      {900, "end of the period", BackgroundMethod::kNone},  // a method this version does not know
  };
  for (const Case& c : cases) {
    AnalysisInfo info;
    info[run_info::kEnding] = c.value7;
    CInfosTest test;
    test.dateAnalyse = 1767225600;
    test.infosAnalyse = FormatAnalysisInfo(info);
    const AnalysisFacts facts = ReadAnalysisFacts(test, nullptr);
    EXPECT_EQ(facts.ending, c.ending) << c.value7;
    EXPECT_EQ(facts.background, c.background) << c.value7;
  }
  // Setting the method keeps the ending.
  AnalysisInfo info;
  info[run_info::kEnding] = static_cast<int>(RunEnding::kStopAction);
  SetBackgroundMethod(info, BackgroundMethod::kTemporalMedian);
  EXPECT_EQ(EndingOf(info), RunEnding::kStopAction);
  EXPECT_EQ(BackgroundMethodOf(info), BackgroundMethod::kTemporalMedian);
}

}  // namespace
}  // namespace vx
