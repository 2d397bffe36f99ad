// Detection settings in an experiment file, checked with plain SQL.
#include "detection/detection_settings_store.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "support/experiment_fixture.h"

namespace vx {
namespace {

class DetectionSettingsStore : public ::testing::Test {
 protected:
  void Sql(const std::string& statement) { testing::ExecuteSql(file.path, statement); }
  std::string Text(const std::string& query) { return testing::QueryValue(file.path, query); }
  void AddRawImage(int id, bool gray, int width, int height, const std::vector<uint8_t>& pixels) {
    SQLite::Database db;
    ASSERT_EQ(db.Open(file.path), SQLite::kOk);
    db.Execute(Format("insert into ImgRef (Id, Name, Gray, Width, Height) values (%d, 'r', %d, %d, %d)",
                      id, gray ? 1 : 0, width, height));
    ASSERT_EQ(db.WriteBlob(Format("update ImgRef set Img=? where Id=%d", id), pixels.data(),
                           pixels.size()),
              SQLite::kOk);
  }

  testing::ExperimentFixture fixture;
  ExperimentFile& file = fixture.experiment.file;
  testing::TestServices& services = fixture.services;
  testing::TempDir& dir = fixture.dir;
};

TEST_F(DetectionSettingsStore, ANewTestStartsFromTheAnimalsLatestAnalysedTest) {
  Sql("insert into Tests (Id, IdAnimal, DateAnalyse, ParamsDetection) values "
      "(1, 7, 100, '5|1|0|11'), (2, 7, 300, '5|1|0|33'), (3, 7, 300, '5|1|0|44'), "
      "(4, 7, 200, '5|1|0|22'), (5, 8, 900, '5|1|0|99')");
  DetectionSettings settings;
  ASSERT_TRUE(LoadAnimalDetectionSettings(file, 7, settings));
  EXPECT_EQ(settings.greyHigh, 44);  // latest date, then highest id
  ASSERT_TRUE(LoadAnimalDetectionSettings(file, 12, settings));
  EXPECT_EQ(settings.method, kMethodAutomatic);
  EXPECT_EQ(settings.greyHigh, 255);
}

TEST_F(DetectionSettingsStore, RawLibraryImagesComeWithTheSettings) {
  std::vector<uint8_t> grey(4 * 3);
  for (size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<uint8_t>(i * 10);
  AddRawImage(5, true, 4, 3, grey);
  AddRawImage(6, false, 2, 2, std::vector<uint8_t>(12, 77));
  AddRawImage(7, true, 4, 3, {0xFF, 0xD8, 0xFF, 0xE0});  // an encoded image
  Sql("insert into Tests (Id, ParamsDetection) values "
      "(1, '5|4|0|255|90|127|50|0|179|0|255|0|255|20|5||0|1|0|1|10|30|1'), "
      "(2, '5|5|0|255|90|127|50|0|179|0|255|0|255|20|6||0|1|0|1|10|30|1'), "
      "(3, '5|4|0|255|90|127|50|0|179|0|255|0|255|20|7||0|1|0|1|10|30|1'), "
      "(4, '5|4|0|255|90|127|50|0|179|0|255|0|255|20|8||0|1|0|1|10|30|1')");
  DetectionSettings settings;
  ASSERT_TRUE(LoadTestDetectionSettings(file, 1, settings));
  ASSERT_EQ(settings.referenceImage.size(), cv::Size(4, 3));
  EXPECT_EQ(settings.referenceImage.type(), CV_8UC1);
  EXPECT_EQ(settings.referenceImage.at<uint8_t>(2, 1), 90);  // row 2, column 1: byte 9
  ASSERT_TRUE(LoadTestDetectionSettings(file, 2, settings));
  EXPECT_EQ(settings.referenceImage.type(), CV_8UC3);
  EXPECT_EQ(settings.referenceImage.at<cv::Vec3b>(1, 1)[2], 77);
  ASSERT_TRUE(LoadTestDetectionSettings(file, 3, settings));
  EXPECT_TRUE(settings.referenceImage.empty());
  EXPECT_EQ(settings.referenceImageId, 7);
  ASSERT_TRUE(LoadTestDetectionSettings(file, 4, settings));  // no such image
  EXPECT_TRUE(settings.referenceImage.empty());
}

TEST_F(DetectionSettingsStore, SavingWithAnAnalysisTakesItsStampAndWritesBoth) {
  Sql("insert into Tests (Id) values (9)");
  DetectionSettings settings;
  DetectionSaveOptions options;
  options.analysisStamp = 1700000000;
  options.writeAnalysis = [](SQLite::Database& db) {
    return db.Execute("update Tests set DateAnalyse=55 where Id=9") == SQLite::kOk;
  };
  options.storeReference = [](SQLite::Database& db, DetectionSettings& s) {
    db.Execute("insert into ImgRef (Name, Gray, Width, Height) values ('ref', 1, 1, 1)");
    s.referenceImageId = static_cast<int>(db.LastInsertRowId());
    return true;
  };
  ASSERT_TRUE(SaveDetectionSettings(file, 9, settings, options));
  EXPECT_EQ(settings.stamp, 1700000000);
  EXPECT_EQ(settings.referenceImageId, 1);
  EXPECT_EQ(Text("select DateAnalyse from Tests where Id=9"), "55");
  EXPECT_EQ(Text("select ParamsDetection from Tests where Id=9"),
            "5|0|0|255|90|127|50|0|179|0|255|0|255|20|1||1700000000|1|0|1|10|30|1");
}

TEST_F(DetectionSettingsStore, AFailingStepLeavesTheFileAsItWas) {
  Sql("insert into Tests (Id, ParamsDetection) values (9, 'before')");
  DetectionSettings settings;
  settings.method = kMethodGrayscale;
  DetectionSaveOptions options;
  options.storeReference = [](SQLite::Database& db, DetectionSettings&) {
    db.Execute("insert into ImgRef (Name) values ('half done')");
    return false;
  };
  EXPECT_FALSE(SaveDetectionSettings(file, 9, settings, options));
  EXPECT_EQ(Text("select ParamsDetection from Tests where Id=9"), "before");
  EXPECT_EQ(Text("select count(*) from ImgRef"), "0");
  EXPECT_EQ(settings.method, kMethodGrayscale);
  EXPECT_TRUE(services.notifier.notifications.size() > 0);
}

TEST_F(DetectionSettingsStore, AFileThatIsNotThereFailsCleanly) {
  ExperimentFile missing;
  missing.path = dir.File("nothing.vxdb");
  missing.services = services.Bundle();
  DetectionSettings settings;
  EXPECT_FALSE(LoadTestDetectionSettings(missing, 1, settings));
  EXPECT_FALSE(SaveDetectionSettings(missing, 1, settings));
  EXPECT_FALSE(services.files.Exists(missing.path));
}

}  // namespace
}  // namespace vx
