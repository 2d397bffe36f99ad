// A protocol (table Protocols) with the rows it owns in Zones, Results and Filters.
//
// The database layer carries the zone, result and filter rows column by column; their meaning
// (shapes, measure definitions, filters) belongs to the modules above, which convert rows to
// and from their own objects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vx {

// One row of the Zones table, as stored. Columns missing from an old file read as the
// defaults below (the percentages 70 and 50).
struct ZoneRow {
  int id = -1;
  std::string name;
  int bArena = 0;
  int bPoly = 0;
  int typeRect = 0;
  std::string points;
  int lineColor = 16610052;
  int lineWidth = 2;
  int bkgColor = 16777215;
  int bkgStyle = 0;
  int bkgHatch = 3;
  int bkgOutside = 0;
  int detectInZone = 0;
  int percentEntry = 70;
  int percentExit = 50;
  int countEntryIfInZoneAtStart = 0;
  std::string hiddenZone;
  int bMovable = 0;
};

// One row of Results: a named measure definition (its Config text).
struct ResultRow {
  int id = -1;
  std::string name;
  std::string config;
};

// One row of Filters.
struct FilterRow {
  int id = -1;
  std::string name;
  int type = 0;
  std::string list;
  std::string formule;
  std::string logic;
};

// The diagram a new protocol starts from: a start box, one event armed at start ("Immediatly",
// event 1) and one action that starts tracking when it fires (action 2), joined by lines. Its
// effect is that tracking starts on the first frame. Layout fields: left, top, width, height.
inline constexpr const char* kDefaultDiagram =
    "uml_startstop,20,20,120,40;"
    "uml_event,20,100,120,40,0|1|1|-1|0|1|0|-1|0|;"
    "uml_action,20,180,120,40,0|2|0|0|877677894|1|-1|1|;"
    "uml_line,1,2;uml_line,2,3";

struct CProtocol {
  int id = -1;
  std::string name;
  std::string notes;
  int width = 0;   // image size the zones refer to, pixels
  int height = 0;
  int rulerLength = 0;
  int rulerUnit = 1;  // 0 cm, 1 mm
  std::string source;
  bool webcam = false;
  int maxFps = -1;
  int crop = 0;       // written as an integer
  std::string diagram;  // the stage program's diagram text
  int maxDuration = -1;
  int maxTypeDuration = 1;
  int delayRecordNoA = 0;
  int typeDelayRecordNoA = 1;
  int formatRecordNoA = -1;
  int durationRecordNoA = 0;
  int typeDurationRecordNoA = 1;
  std::vector<uint8_t> screenShotJpeg;  // encoded; empty when none
  int defaultResult = -1;  // read with the protocol; set by the result views, not by a save
  std::string secArenas;  // secondary arenas text
  bool headDetection = false;
  int inactivityDelay = 0;
  int inactivityUnit = 0;  // 0 ms, 1 s, 2 min
  bool generalOption = false;  // the option flag of Params
  std::string nameTestAuto;
  std::string behaviors;  // behaviour definitions text
  int maxIdZone = -1;

  std::vector<ZoneRow> zones;      // drawing order
  std::vector<ResultRow> results;  // by Id
  std::vector<FilterRow> filters;  // by Id
};

}  // namespace vx
