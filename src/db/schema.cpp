#include "db/schema.h"

#include "base/text.h"

namespace vx {

namespace schema {
const char* const kChoices =
    "create table Choices(Id integer PRIMARY KEY AUTOINCREMENT, Name text default '', "
    "IdField integer default -1, Ordre integer default 0, IdZone integer default -1)";
const char* const kFields =
    "create table Fields(Id integer PRIMARY KEY AUTOINCREMENT, Name text default '', "
    "IdProtocol integer default -1, IdZone integer default -1, Unit text default '', "
    "Ordre integer default 0, Category integer default 0, Type integer default 0)";
const char* const kAnimals =
    "create table Animals(Id integer PRIMARY KEY AUTOINCREMENT, Name text default '', "
    "MinSize integer, MaxSize integer, Notes text default '', Fields text default '', "
    "Status integer default 0, Deleted integer default 0, AnimalSize text default '', "
    "DefaultArena text default '')";
const char* const kTests =
    "create table Tests(Id integer PRIMARY KEY AUTOINCREMENT, Title text default '', "
    "Fields text default '', Comment text default '', IdAnimal integer, "
    "ForecastDateAcq integer default 0, DateAcq integer default 0, DateAnalyse integer default 0, "
    "IdProtocol integer default -1, ParamsDetection text default '', Source integer default -1, "
    "Status integer default 0, Deleted integer default 0, Scale real default 0, "
    "InfosAnalyse text default '', AdjustArena text default '', Duration integer default 0, "
    "Distance real default 0, AverageSpeed real default 0, MaxSpeed real default 0, "
    "AverageAccel real default 0, MaxAccel real default 0, MaxRawSpeed real default 0, "
    "Inactive integer default 0, Color integer default -1, IdArena integer default -1)";
const char* const kTestsPoints =
    "create table TestsPoints(Id integer PRIMARY KEY, HeadDetection integer default 0, "
    "PointsAnalyse blob, Behaviors blob)";
const char* const kProtocols =
    "create table Protocols(Id integer PRIMARY KEY AUTOINCREMENT, Name text default '', "
    "Notes text default '', Width integer default 0, Height integer default 0, "
    "RulerLength integer, RulerUnit integer, Source default '', Webcam integer default 0, "
    "MaxFps integer default -1, Crop text default '', Diagram text default '', "
    "MaxDuration integer default -1, MaxTypeDuration integer default 1, "
    "DelayRecordNoA integer default 0, TypeDelayRecordNoA integer default 1, "
    "FormatRecordNoA integer default -1, DurationRecordNoA integer default 0, "
    "TypeDurationRecordNoA integer default 1, Img blob, DefaultResult integer default -1, "
    "SecArenas text default '', HeadDetection integer default 0, Animals text default '', "
    "InactivityDelay integer default 0, InactivityUnit integer default 0, Params text default '', "
    "NameTestAuto text default '', Behaviors text default '', ScreenShot blob, "
    "MaxIdZone integer default -1)";
const char* const kZones =
    "create table Zones(Id integer, IdProtocol integer, Name text default '', "
    "bArena integer default 0, bPoly integer default 0, TypeRect integer default 0, "
    "Points text default '', LineColor integer default 16610052, LineWidth integer default 2, "
    "BkgColor integer default 16777215, BkgStyle integer default 0, BkgHatch integer default 3, "
    "BkgOutside integer default 0, Ordre integer default 0, DetectInZone integer default 0, "
    "PercentEntry integer default 70, PercentExit integer default 50, "
    "CountEntryIfInZoneAtStart integer default 0, HiddenZone text default '', "
    "bMovable integer default 0)";
const char* const kImgRef =
    "create table ImgRef(Id integer PRIMARY KEY AUTOINCREMENT, Name text default '', "
    "Gray integer, Width integer default 0, Height integer default 0, Img blob)";
const char* const kResultsFirstForm =
    "create table Results(Id integer PRIMARY KEY AUTOINCREMENT, IdProtocol integer, "
    "Name text default '', Config text default '', Filter text default '', "
    "GroupBy text default '', Collapsed text default '', Checked text default '', "
    "Columns text default '', SldCurve integer default 50, ShowCurve integer default 1)";
const char* const kResults =
    "create table Results(Id integer PRIMARY KEY AUTOINCREMENT, IdProtocol integer, "
    "Name text default '', Config text default '', Filter text default '', "
    "GroupBy text default '', Collapsed text default '', Checked text default '', "
    "Columns text default '', SldCurve integer default 50, ShowCurve integer default 1, "
    "Chart text default '', File integer default '')";
const char* const kColors =
    "create table Colors(Ref text, Color integer, IdResult integer default -1)";
const char* const kFiltersFirstForm =
    "create table Filters(Id integer PRIMARY KEY AUTOINCREMENT, Name text default '', "
    "Type integer default 0, List text default '', Logic text default '', "
    "IdProtocol integer default -1, GroupBy text default '', Collapsed text default '')";
const char* const kFilters =
    "create table Filters(Id integer PRIMARY KEY AUTOINCREMENT, Name text default '', "
    "Type integer default 0, List text default '', Formule text default '', "
    "Logic text default '', IdProtocol integer default -1, GroupBy text default '', "
    "Collapsed text default '')";
const char* const kFavorites =
    "create table Favorites(Id integer PRIMARY KEY AUTOINCREMENT, Name text default '', "
    "IdProtocol integer, IdReport integer, IdFilter integer, GroupBy text default '', "
    "OrderTests integer default -1, Collapsed text default '', Checked text default '', "
    "Columns text default '', SldCurve integer default 50, TypeView integer default 1, "
    "Chart text default '', File integer default '', bUpdateFile integer default 0)";
const char* const kVideosFirstForm =
    "create table Videos(Id integer PRIMARY KEY AUTOINCREMENT, Name text default '', "
    "Notes text default '', File text default '', IdProtocol integer default -1, "
    "Status integer default 0, DateAcq integer, NbFrames integer, Duration integer, "
    "Width integer default 0, Height integer default 0, ListePoints blob)";
const char* const kVideos =
    "create table Videos(Id integer PRIMARY KEY AUTOINCREMENT, Name text default '', "
    "Notes text default '', File text default '', IdProtocol integer default -1, "
    "Status integer default 0, DateAcq integer, NbFrames integer, Duration integer, "
    "Width integer default 0, Height integer default 0, ListePoints blob, "
    "Infos text default '')";
const char* const kMovableZones =
    "create table MovableZones(Id integer PRIMARY KEY AUTOINCREMENT, Name text default '', "
    "IdProtocol integer, IdZone integer, X integer default 0, Y integer default 0, "
    "Adjusted_X integer default 0, Adjusted_Y integer default 0, "
    "Adjusted_Angle integer default 0)";
const char* const kReportsData =
    "create table ReportsData(IdReport integer, IdTest integer, Data blob, "
    "UNIQUE(IdReport, IdTest))";
const char* const kInfos = "create table Infos(Name text, Value text)";
}  // namespace schema

void CreateSchema(SQLite::Database& db) {
  const char* const tables[] = {
      schema::kChoices, schema::kFields,  schema::kAnimals,   schema::kTests,
      schema::kTestsPoints, schema::kProtocols, schema::kZones, schema::kImgRef,
      schema::kResults, schema::kColors, schema::kFilters, schema::kFavorites,
      schema::kVideos, schema::kMovableZones, schema::kReportsData, schema::kInfos};
  for (const char* statement : tables) db.Execute(statement);

  db.Execute(Format("insert into Infos(Name, Value) values ('VersionDB','%d')",
                    kCurrentSchemaVersion));
  db.Execute("insert into Infos(Name, Value) values ('FileType','Velantrix')");
  db.Execute("insert into Infos(Name, Value) values ('Title','')");
  db.Execute("insert into Infos(Name, Value) values ('Notes','')");
  db.Execute("insert into Infos(Name, Value) values ('Smooth','')");
  db.Execute(Format("insert into Infos(Name, Value) values ('Animals','%s')",
                    SqlQuote(kDefaultAnimalSizeSetting).c_str()));
}

int ReadSchemaVersion(SQLite::Database& db, bool* hasRow) {
  if (hasRow != nullptr) *hasRow = false;
  const int before = db.lastError();
  SQLite::TablePtr table = db.GetTable("select Value from Infos where name='VersionDB'");
  if (!table || db.lastError() != before) {
    return -1;
  }
  if (table->GetRowCount() == 0) return 0;
  if (hasRow != nullptr) *hasRow = true;
  return ToInt(table->GetText("Value"));
}

bool CheckFileType(SQLite::Database& db) {
  // Files from before version 8 carry no file type: a Protocols table is the sign. The query
  // failing (no Infos table at all) counts like an absent version.
  const int errorBefore = db.lastError();
  const int version = ReadSchemaVersion(db);
  db.SetLastError(errorBefore);
  if (version < 8) {
    SQLite::TablePtr columns = db.GetTable("PRAGMA table_info('Protocols')");
    return columns && columns->GetRowCount() > 0 && db.lastError() == 0;
  }
  SQLite::TablePtr type = db.GetTable("select Value from Infos where name='FileType'");
  return type && type->GetRowCount() > 0 && type->GetText("Value") == kFileTypeName;
}

int CountForeignSchemaObjects(SQLite::Database& db) {
  SQLite::TablePtr count =
      db.GetTable("select count(*) from sqlite_master where type in ('trigger','view')");
  return count ? count->FirstColumnAsInt() : 0;
}

bool ColumnExists(SQLite::Database& db, const std::string& table, const std::string& column) {
  SQLite::TablePtr columns = db.GetTable(Format("PRAGMA table_info('%s')", table.c_str()));
  if (!columns) return false;
  const std::string wanted = ToLower(column);
  if (!columns->MoveFirst()) return false;
  do {
    if (ToLower(columns->GetText("name")) == wanted) return true;
  } while (columns->MoveNext());
  return false;
}

}  // namespace vx
