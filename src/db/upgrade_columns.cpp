// The upgrade steps that add columns and tables, with the small data conversions that belong to
// the same versions.
#include <iterator>
#include <string>

#include "base/messages.h"
#include "base/text.h"
#include "db/schema.h"
#include "db/sql_query.h"
#include "db/upgrade_steps.h"

namespace vx::upgrade {

namespace {

struct StepStatements {
  int threshold;
  const char* const* statements;
  size_t count;
};

constexpr const char* kBelow1[] = {
    "alter table Tests add column PointsAnalyse blob",
    "alter table Tests add column InfosAcq integer default 0"};
constexpr const char* kBelow2[] = {"alter table Tests add column AdjustArena text default ''"};
constexpr const char* kBelow3[] = {
    "alter table Tests add column InfosAnalyse text default ''",
    "alter table Protocols add column Img blob",
    "alter table Protocols add column DefaultResult integer default -1",
    "alter table Tests add column Color integer default -1"};
constexpr const char* kBelow4[] = {
    "alter table Tests add column ForecastAcq integer default 0",
    "alter table Tests add column AverageAccel real default 0",
    "alter table Tests add column MaxAccel real default 0"};
constexpr const char* kBelow8[] = {
    "insert into Infos(Name, Value) values ('FileType','Velantrix')",
    "alter table Filters add column Formule text default ''",
    "alter table Protocols add column SecArenas text default ''",
    "alter table Tests add column IdArena integer default -1"};
constexpr const char* kBelow9[] = {
    "alter table Zones add column DetectInZone integer default 0",
    "alter table Zones add column PercentEntry integer default 70",
    "alter table Zones add column PercentExit integer default 50",
    "alter table Zones add column CountEntryIfInZoneAtStart integer default 0",
    "alter table TestsPoints add column HeadDetection integer default 0"};
constexpr const char* kBelow10[] = {
    "alter table Tests add column VideoFileVersion integer default 0",
    "alter table Protocols add column HeadDetection integer default 0",
    "alter table Protocols add column Animals text default ''",
    "alter table Animals add column AnimalSize text default ''",
    "alter table Animals add column DefaultArena text default ''"};
// Files of that time measured inactivity in seconds; new files start in milliseconds.
constexpr const char* kBelow11[] = {
    "alter table Protocols add column InactivityDelay integer default 0",
    "alter table Protocols add column InactivityUnit integer default 1",
    "alter table Results add column File integer default ''"};
constexpr const char* kBelow15[] = {"alter table Protocols add column Params text default ''",
                                    "alter table Protocols add column ScreenShot blob"};
constexpr const char* kBelow16[] = {"alter table Zones add column HiddenZone text default ''"};
constexpr const char* kBelow18[] = {
    "alter table Zones add column bMovable integer default 0",
    "alter table Fields add column IdProtocol integer default -1"};
constexpr const char* kBelow22[] = {
    "alter table Fields add column IdZone integer default -1",
    "alter table Choices add column IdZone integer default -1",
    "alter table Protocols add column Behaviors text default ''",
    "alter table Protocols add column NameTestAuto text default ''"};
constexpr const char* kBelow23[] = {"alter table Protocols add column MaxIdZone integer default -1"};

#define VX_STEP(threshold, list) {threshold, list, std::size(list)}
constexpr StepStatements kSteps[] = {
    VX_STEP(1, kBelow1),   VX_STEP(2, kBelow2),   VX_STEP(3, kBelow3),   VX_STEP(4, kBelow4),
    VX_STEP(8, kBelow8),   VX_STEP(9, kBelow9),   VX_STEP(10, kBelow10), VX_STEP(11, kBelow11),
    VX_STEP(15, kBelow15), VX_STEP(16, kBelow16), VX_STEP(18, kBelow18), VX_STEP(22, kBelow22),
    VX_STEP(23, kBelow23)};
#undef VX_STEP

// The result table a file of that time received: the average speed (measure 0) of the whole
// arena (empty zone selection), in 1-minute time slices, with automatic precision, no speed
// ranges. Version-5 configuration text.
constexpr const char* kSpeedByTimePeriodConfig = "5|0|0||0|-1|0|1|1|-2|0|0|";

void RunStatements(Run& run, int threshold) {
  for (const StepStatements& step : kSteps) {
    if (step.threshold != threshold) continue;
    for (size_t i = 0; i < step.count; ++i) run.db.Execute(step.statements[i]);
  }
}

void AddFirstResultTable(Run& run) {
  run.db.Execute(Format("insert into Results(Name,IdProtocol,Config) Values ('%s',1,'%s')",
                        SqlQuote(MessageText(msg::kSpeedByTimePeriod)).c_str(),
                        kSpeedByTimePeriodConfig));
}

// The older ShowCurve values 0..4 became a Chart text and a ShowCurve of 0..2. The order of the
// updates matters: a row already moved is never matched again.
void ConvertChart(Run& run) {
  SQLite::TablePtr columns = run.db.GetTable("PRAGMA table_info('Results')");
  if (columns && columns->MoveFirst()) {
    do {
      if (columns->GetText("name") == "Chart") return;
    } while (columns->MoveNext());
  }
  for (const char* sql :
       {"alter table Results add column Chart text default ''",
        "update Results set Chart='0|0|1|0|1|0' where ShowCurve=0",
        "update Results set Chart='0|0|1|0|1|0' where ShowCurve=1",
        "update Results set Chart='0|1|1|0|1|0', ShowCurve=1 where ShowCurve=2",
        "update Results set Chart='0|0|1|0|1|0', ShowCurve=2 where ShowCurve=3",
        "update Results set Chart='0|1|1|0|1|0', ShowCurve=2 where ShowCurve=4"}) {
    run.db.Execute(sql);
  }
}

void CopyNameTestAuto(Run& run) {
  std::string pattern;
  if (QueryText(run.db, "select Value from Infos where name='NameTestAuto'", pattern) &&
      !pattern.empty()) {
    run.db.Execute(
        Format("UPDATE Protocols SET NameTestAuto='%s'", SqlQuote(pattern).c_str()));
  }
}

}  // namespace

void AddColumnsAndTables(Run& run, int threshold) {
  SQLite::Database& db = run.db;
  RunStatements(run, threshold);
  switch (threshold) {
    case 2:
      db.Execute(schema::kImgRef);
      break;
    case 3:
      db.Execute(schema::kResultsFirstForm);
      db.Execute(schema::kColors);
      if (!run.Failed()) AddFirstResultTable(run);
      break;
    case 4:
      db.Execute(schema::kFiltersFirstForm);
      break;
    case 7:
      ConvertChart(run);
      break;
    case 12:
      db.Execute(schema::kFavorites);
      break;
    case 13:
      db.Execute(schema::kVideosFirstForm);
      break;
    case 18:
      db.Execute(schema::kMovableZones);
      break;
    case 19:
      db.Execute(schema::kReportsData);
      break;
    case 22:
      if (!run.Failed()) CopyNameTestAuto(run);
      db.Execute("alter table TestsPoints add column Behaviors BLOB");
      break;
    case 24:
      if (!ColumnExists(db, "Videos", "Infos")) {
        db.Execute("alter table Videos add column Infos text default ''");
      }
      break;
    default:
      break;
  }
}

}  // namespace vx::upgrade
