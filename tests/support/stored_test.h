// Analysed tests stored in a fixture's experiment file the way an analysis stores them, for
// the tests of the code that reads them back (measures, summaries, commands).
//
// Header-only: usable by the tests of every module that links the analysis layer.
#pragma once

#include <string>
#include <vector>

#include "db/frame_times.h"
#include "trajectory/trajectory_blob.h"
#include "base/text.h"
#include "db/test_analysis_store.h"
#include "support/experiment_fixture.h"

namespace vx::testing {

// The SQL literal of a blob: x'0A0B...'.
inline std::string SqlBlob(const std::vector<uint8_t>& bytes) {
  std::string hex = "x'";
  for (const uint8_t b : bytes) hex += Format("%02X", b);
  return hex + "'";
}

// Inserts video videoId with its frame times and test testId of protocolId on it, then stores
// points (with their heads when heads) as the test's analysis at scale mm per pixel (dated
// dateAnalyse, 0: not analysed).
inline void StoreAnalysedTest(ExperimentFixture& fixture, int testId, int videoId, int protocolId,
                              double scale, const std::vector<tMyPoint>& points,
                              const FrameTimes& times, int64_t dateAnalyse = 1000,
                              bool heads = false) {
  ExecuteSql(fixture.path(),
             Format("insert or ignore into Videos (Id, Name, NbFrames, Duration, ListePoints) "
                    "values (%d, 'v', %u, %u, %s)",
                    videoId, times.count, times.durationMs, SqlBlob(WriteFrameTimes(times)).c_str()));
  ExecuteSql(fixture.path(), Format("insert into Tests (Id, Title, IdProtocol, Source) values "
                                    "(%d, 'test %d', %d, %d)",
                                    testId, testId, protocolId, videoId));
  CInfosTest test;
  test.id = testId;
  test.idProtocol = protocolId;
  test.source = videoId;
  test.scale = scale;
  test.dateAnalyse = dateAnalyse;
  test.headDetection = heads;
  ASSERT_TRUE(SaveAnalysis(fixture.experiment, test, WritePoints(points, heads), false));
}

}  // namespace vx::testing
