// An experiment ready to be analysed, for the tests of the analysis run and its commands: a
// protocol with an arena and a calibration ruler, videos registered with their frame times,
// tests with their detection settings.
//
// Header-only: usable by the tests of every module that links the analysis layer.
#pragma once

#include <gtest/gtest.h>

#include <opencv2/core/types.hpp>

#include <memory>
#include <string>

#include "trajectory/smoothing_settings.h"
#include "base/text.h"
#include "db/frame_times.h"
#include "db/protocol_store.h"
#include "db/test_store.h"
#include "db/video_store.h"
#include "support/experiment_fixture.h"
#include "zones/calibration.h"
#include "zones/draw_rect.h"
#include "zones/zone_rows.h"

namespace vx::testing {

// Detection settings text of the grey-level method for a dark animal (grey 0 to 60) with the
// size filter of the animal's size.
inline std::string DarkAnimalSettings(int greyHigh = 60) {
  return Format("5|1|0|%d|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1", greyHigh);
}

class AnalysisFixture : public ExperimentFixture {
 public:
  AnalysisFixture() {
    // Raw positions: distances and speeds then follow the detected centres exactly.
    SaveSmoothingSettings(experiment.file, {kNoSmoothing, 0, kThresholdPixels});
    experiment.LoadAll();
  }

  // A protocol for frames of size: the main arena covers arena, and a ruler of rulerPixels
  // pixels is rulerMm millimetres long.
  int AddProtocol(cv::Size size, PixelRect arena, int rulerPixels, int rulerMm,
                  bool head = false) {
    ZoneSet set;
    set.SetImageSize(size.width, size.height, true, false);
    set.Ruler()->SetRect({10, size.height - 5, 10 + rulerPixels, size.height - 5});
    RefreshRuler(set, rulerMm, 1);
    set.SetMainArena(set.AddZone(std::make_unique<CDrawRect>(kKindRectangle, arena)));
    CProtocol protocol;
    protocol.name = "Open field";
    protocol.headDetection = head;
    StoreZoneSet(set, protocol);
    EXPECT_TRUE(SaveProtocol(experiment, protocol, false));
    return protocol.id;
  }

  // A video file of frames frames at fps, with uniform frame times (the last frame's time as
  // the duration).
  int AddVideo(const std::string& path, int frames, double fps, cv::Size size) {
    CVideoFile video;
    video.name = path;
    video.file = path;
    video.nbFrames = frames;
    video.duration = RoundHalfEven((frames - 1) * 1000.0 / fps);
    video.width = size.width;
    video.height = size.height;
    video.listePoints = WriteFrameTimes(FrameTimes::Uniform(video.nbFrames, video.duration));
    EXPECT_TRUE(SaveVideo(experiment, video));
    return video.id;
  }

  int AddTest(int protocolId, int videoId, const std::string& settings,
              const std::string& title) {
    CInfosTest test;
    test.title = title;
    test.idProtocol = protocolId;
    test.source = videoId;
    test.paramsDetection = settings;
    EXPECT_TRUE(SaveTest(experiment, test, false));
    experiment.RelinkVideoTests();
    return test.id;
  }

  std::string Value(const std::string& sql) const { return QueryValue(path(), sql); }
};

}  // namespace vx::testing
