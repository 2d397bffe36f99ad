// Protocols with their zones, result definitions and filters, through the database.
#include "db/protocol_store.h"

#include <gtest/gtest.h>

#include "base/messages.h"
#include "support/experiment_fixture.h"

namespace {

using vx::testing::ExperimentFixture;
using vx::testing::QueryRows;
using vx::testing::QueryValue;

const std::string kOddText = "Champ d'\xC3\xA9preuve \"ouvert\" \xE2\x80\x94 50% ''; --";

vx::CProtocol SampleProtocol() {
  vx::CProtocol p;
  p.name = kOddText;
  p.notes = "l'arène\nligne 2";
  p.width = 640;
  p.height = 480;
  p.rulerLength = 500;
  p.rulerUnit = 1;
  p.source = "Cam\xC3\xA9ra 'USB'";
  p.webcam = true;
  p.maxFps = 25;
  p.crop = 1;
  p.diagram = "uml_startstop,1,2;uml_event,3,4,0|1|1|-1|0|1|0|-1|0|;";
  p.maxDuration = 10;
  p.maxTypeDuration = 2;
  p.delayRecordNoA = 3;
  p.typeDelayRecordNoA = 2;
  p.formatRecordNoA = 4;
  p.durationRecordNoA = 5;
  p.typeDurationRecordNoA = 0;
  p.screenShotJpeg = {0xFF, 0xD8, 0xFF, 0x00, 0x27, 0xD9};
  p.secArenas = "1|2|";
  p.headDetection = true;
  p.inactivityDelay = 2;
  p.inactivityUnit = 1;
  p.generalOption = true;
  p.nameTestAuto = "T-%d";
  p.behaviors = "0|grooming'|";
  p.maxIdZone = 7;
  vx::ZoneRow arena;
  arena.id = 7;
  arena.name = "Ar\xC3\xA8na";
  arena.bArena = 1;
  arena.points = "10;10;600;450";
  vx::ZoneRow corner;
  corner.id = 2;
  corner.name = "Coin d'angle";
  corner.percentEntry = 80;
  corner.percentExit = 40;
  corner.hiddenZone = "1|2|3|4";
  corner.bMovable = 1;
  corner.countEntryIfInZoneAtStart = 1;
  p.zones = {arena, corner};
  p.results = {{-1, "Vitesse'", "5|0|"}, {-1, "Distance", "5|3|"}};
  p.filters = {{-1, "Tous", 0, ",1,2,", "", ""}, {-1, "F'ormule", 1, "", "x > 1", "and"}};
  return p;
}

auto Columns(const vx::CProtocol& p) {
  return std::tie(p.name, p.notes, p.width, p.height, p.rulerLength, p.rulerUnit, p.source, p.webcam, p.maxFps,
                  p.crop, p.diagram, p.maxDuration, p.maxTypeDuration, p.delayRecordNoA, p.typeDelayRecordNoA,
                  p.formatRecordNoA, p.durationRecordNoA, p.typeDurationRecordNoA, p.screenShotJpeg, p.secArenas,
                  p.headDetection, p.inactivityDelay, p.inactivityUnit, p.generalOption, p.nameTestAuto,
                  p.behaviors, p.maxIdZone);
}

TEST(ProtocolStore, RoundTripOfEveryColumn) {
  ExperimentFixture fixture;
  vx::CProtocol saved = SampleProtocol();
  ASSERT_TRUE(vx::SaveProtocol(fixture.experiment, saved, false));
  ASSERT_GT(saved.id, 0);
  EXPECT_GT(saved.results[0].id, 0);
  EXPECT_GT(saved.filters[1].id, 0);

  vx::CProtocol loaded;
  ASSERT_TRUE(vx::LoadProtocol(fixture.experiment, saved.id, loaded));
  EXPECT_EQ(Columns(loaded), Columns(saved));
  ASSERT_EQ(loaded.results.size(), 2u);
  EXPECT_EQ(loaded.results[0].name, "Vitesse'");
  ASSERT_EQ(loaded.filters.size(), 2u);
  EXPECT_EQ(std::tie(loaded.filters[1].formule, loaded.filters[1].logic), std::tie(saved.filters[1].formule, saved.filters[1].logic));

  // Plain SQL sees the stored texts.
  EXPECT_EQ(QueryValue(fixture.path(), "select Params from Protocols"), "0|1|");
  EXPECT_EQ(QueryValue(fixture.path(), "select Name from Protocols"), kOddText);
}

TEST(ProtocolStore, ZonesAreRewrittenWithOrdreZeroAndLoadInIdOrder) {
  ExperimentFixture fixture;
  vx::CProtocol p = SampleProtocol();
  ASSERT_TRUE(vx::SaveProtocol(fixture.experiment, p, false));
  ASSERT_TRUE(vx::SaveProtocol(fixture.experiment, p, false));  // same zones again
  EXPECT_EQ(QueryRows(fixture.path(), "select Id, Ordre, Name from Zones order by rowid"),
            (std::vector<std::vector<std::string>>{{"7", "0", "Ar\xC3\xA8na"},
                                                   {"2", "0", "Coin d'angle"}}));
  vx::CProtocol loaded;
  ASSERT_TRUE(vx::LoadProtocol(fixture.experiment, p.id, loaded));
  ASSERT_EQ(loaded.zones.size(), 2u);
  EXPECT_EQ(loaded.zones[0].id, 2);  // Ordre ties, then Id
  for (size_t i = 0; i < 2; ++i) {
    const vx::ZoneRow &x = loaded.zones[i], &y = p.zones[1 - i];
    EXPECT_EQ(std::tie(x.id, x.name, x.bArena, x.points, x.percentEntry, x.percentExit, x.hiddenZone, x.bMovable,
                       x.countEntryIfInZoneAtStart),
              std::tie(y.id, y.name, y.bArena, y.points, y.percentEntry, y.percentExit, y.hiddenZone, y.bMovable,
                       y.countEntryIfInZoneAtStart));
  }
}

TEST(ProtocolStore, ResultsAndFiltersAreReconciledById) {
  ExperimentFixture fixture;
  vx::CProtocol p = SampleProtocol();
  ASSERT_TRUE(vx::SaveProtocol(fixture.experiment, p, false));
  const int keptResult = p.results[1].id;
  const int droppedResult = p.results[0].id;
  // A cached result of each definition, and of another protocol's.
  vx::testing::ExecuteSql(fixture.path(), "insert into Results(Name, IdProtocol) values ('other', 99)");
  vx::testing::ExecuteSql(fixture.path(), "insert into ReportsData(IdReport, IdTest) select Id, 1 from Results");
  p.results.erase(p.results.begin());
  p.results[0].name = "Distance renamed";
  p.results.push_back({-1, "New", "5|4|"});
  p.filters.clear();
  ASSERT_TRUE(vx::SaveProtocol(fixture.experiment, p, true));
  EXPECT_EQ(p.results[0].id, keptResult);
  EXPECT_GT(p.results[1].id, keptResult);
  EXPECT_EQ(QueryValue(fixture.path(),
                       "select count(*) from Results where Id=" + std::to_string(droppedResult)),
            "0");
  EXPECT_EQ(QueryValue(fixture.path(), "select Name from Results where Id=" +
                                           std::to_string(keptResult)),
            "Distance renamed");
  EXPECT_EQ(QueryValue(fixture.path(), "select count(*) from Filters"), "0");
  // The listed definitions lose their cached results; another protocol's stay.
  const std::string other = QueryValue(fixture.path(), "select Id from Results where IdProtocol=99");
  EXPECT_EQ(QueryValue(fixture.path(), "select count(*) from ReportsData where IdReport=" +
                                           std::to_string(keptResult)),
            "0");
  EXPECT_EQ(QueryValue(fixture.path(), "select count(*) from ReportsData where IdReport=" + other),
            "1");
}

TEST(ProtocolStore, FailedSaveWritesNothingAndKeepsTheRecord) {
  ExperimentFixture fixture;
  vx::CProtocol p = SampleProtocol();
  // The second zone insert fails: nothing of the protocol may reach the file.
  int zoneInserts = 0;
  fixture.experiment.file.statementHook = [&](const std::string& sql) {
    if (sql.rfind("insert into Zones", 0) == 0 && ++zoneInserts == 2) return SQLite::kError;
    return SQLite::kOk;
  };
  EXPECT_FALSE(vx::SaveProtocol(fixture.experiment, p, false));
  EXPECT_EQ(p.id, -1);
  EXPECT_EQ(p.results[0].id, -1);
  EXPECT_TRUE(fixture.services.notifier.Saw(vx::msg::kWriteFailed));
  EXPECT_EQ(QueryValue(fixture.path(), "select count(*) from Protocols"), "0");
  EXPECT_EQ(QueryValue(fixture.path(), "select count(*) from Zones"), "0");
  EXPECT_TRUE(fixture.experiment.protocols.empty());
  // Statements after the failure were not even issued.
  fixture.experiment.file.statementHook = [&](const std::string& sql) {
    EXPECT_EQ(sql.find("Results"), std::string::npos) << sql;
    return sql.rfind("update Protocols set ScreenShot", 0) == 0 ? SQLite::kError : SQLite::kOk;
  };
  EXPECT_FALSE(vx::SaveProtocol(fixture.experiment, p, false));
}

TEST(ProtocolStore, DeleteRemovesOwnedRows) {
  ExperimentFixture fixture;
  vx::CProtocol p = SampleProtocol();
  ASSERT_TRUE(vx::SaveProtocol(fixture.experiment, p, false));
  vx::testing::ExecuteSql(fixture.path(), "insert into Fields(Id, Name, IdProtocol, Type) values (40, 'f', " +
               std::to_string(p.id) + ", 2)");
  vx::testing::ExecuteSql(fixture.path(), "insert into Choices(Name, IdField) values ('c', 40)");
  vx::testing::ExecuteSql(fixture.path(), "insert into Favorites(Name, IdProtocol) values ('fav', " + std::to_string(p.id) +
               ")");
  vx::testing::ExecuteSql(fixture.path(), "insert into ReportsData(IdReport, IdTest) select Id, 1 from Results");
  ASSERT_TRUE(fixture.experiment.LoadAll());
  ASSERT_EQ(fixture.experiment.fields.size(), 1u);
  ASSERT_TRUE(vx::DeleteProtocol(fixture.experiment, p.id));
  for (const char* table : {"Protocols", "Zones", "Favorites", "Fields", "Choices", "ReportsData"}) {
    EXPECT_EQ(QueryValue(fixture.path(), std::string("select count(*) from ") + table), "0")
        << table;
  }
  EXPECT_TRUE(fixture.experiment.protocols.empty());
  EXPECT_TRUE(fixture.experiment.fields.empty());
}

}  // namespace
