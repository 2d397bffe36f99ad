// A test: one animal filmed once under one protocol (tables Tests and TestsPoints).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/field.h"

namespace vx {

struct CInfosTest {
  int id = -1;
  std::string title;
  std::string comment;
  std::vector<tFieldContent> fields;
  int idAnimal = -1;
  int64_t forecastDateAcq = 0;  // seconds since 1970, UTC
  int64_t dateAcq = 0;
  int64_t dateAnalyse = 0;      // 0: not analysed
  int idProtocol = -1;
  std::string paramsDetection;  // detection settings text
  int source = -1;              // video id, -1 none
  int status = 0;               // 0 normal, 1 excluded from results
  double scale = 0;             // mm per pixel used by the analysis
  std::string infosAnalyse;     // analysis information text
  std::string adjustArena;      // arena adjustment text
  int idArena = -1;             // -1 main arena, >= 0 a secondary arena
  // Per-test summary.
  int duration = 0;   // s
  double distance = 0;       // mm
  double averageSpeed = 0;   // mm/s
  double maxSpeed = 0;
  double maxRawSpeed = 0;
  double averageAccel = 0;   // (mm/s) per ms
  double maxAccel = 0;
  int inactive = 0;   // s
  int color = -1;
  bool headDetection = false;  // TestsPoints.HeadDetection

  bool IsAnalysed() const { return dateAnalyse != 0; }
  // Forgets the analysis: date, information and summary (the video stays).
  void ClearAnalysis() {
    dateAnalyse = 0;
    infosAnalyse.clear();
    duration = inactive = 0;
    distance = averageSpeed = maxSpeed = maxRawSpeed = averageAccel = maxAccel = 0;
  }
};

}  // namespace vx
