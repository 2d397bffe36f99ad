// The batch analysis driven from the analysis page: it runs on its worker while the window
// keeps answering, and a batch cancelled from the window stores nothing for the test it was
// analysing.
#include <QPushButton>
#include <QTableWidget>

#include "batch_panel.h"
#include "gui_test_support.h"
#include "support/experiment_fixture.h"
#include "view_table.h"

namespace vx::gui {

namespace {

// The demo with its test's analysis cleared, as before its first analysis.
void ClearAnalysis(const std::string& path) {
  SQLite::Database db;
  QCOMPARE(db.Open(path), SQLite::kOk);
  QCOMPARE(db.Execute("update Tests set DateAnalyse=0, InfosAnalyse='' where Id=1;"
                      "update TestsPoints set PointsAnalyse=NULL where Id=1;"),
           SQLite::kOk);
}

}  // namespace

// The analysis page on the demo with its test's analysis cleared, a batch of that test started
// from the page's button.
struct StartedBatch {
  testing::DemoSession demo;
  std::unique_ptr<QWidget> page;
  std::unique_ptr<QSignalSpy> finished;

  StartedBatch() {
    ClearAnalysis(demo.demo.path());
    if (demo.session.Open(demo.demo.path()) != DocumentResult::Ok) return;
    page.reset(FindView("analysis")->make(demo.session, -1, nullptr));
    finished = std::make_unique<QSignalSpy>(page->findChild<BatchPanel*>(), &BatchPanel::Finished);
    QTest::mouseClick(page->findChild<QPushButton*>("analysePending"), Qt::LeftButton);
  }
  std::string Stored(const std::string& sql) {
    return vx::testing::QueryValue(demo.session.experiment().file.CurrentFile(), sql);
  }
};

class AnalysisViewTest : public QObject {
  Q_OBJECT

 private slots:
  void ABatchRunsAndStoresTheTest() {
    StartedBatch batch;
    QVERIFY(batch.page);
    QTRY_COMPARE_WITH_TIMEOUT(batch.finished->count(), 1, 120000);
    QCOMPARE(batch.finished->at(0).at(0).toBool(), false);
    QCOMPARE(batch.Stored("select DateAnalyse <> 0 from Tests where Id=1"), std::string("1"));
    QVERIFY(batch.demo.session.experiment().FindTest(1)->IsAnalysed());
    QVERIFY(!batch.page->findChild<QTableWidget*>("batchTests")->item(0, 3)->text().isEmpty());
  }

  void ACancelledBatchStoresNothingForTheCurrentTest() {
    StartedBatch batch;
    QVERIFY(batch.page);
    // Cancelled while the test is being analysed: the worker checks the flag before every frame.
    QTest::mouseClick(batch.page->findChild<QPushButton*>("cancelBatch"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(batch.finished->count(), 1, 120000);
    QCOMPARE(batch.finished->at(0).at(0).toBool(), true);
    QCOMPARE(batch.Stored("select DateAnalyse from Tests where Id=1"), std::string("0"));
    QCOMPARE(batch.Stored("select PointsAnalyse is null from TestsPoints where Id=1"), std::string("1"));
    QVERIFY(!batch.demo.session.experiment().FindTest(1)->IsAnalysed());
  }
};

VX_GUI_TEST(AnalysisViewTest);

}  // namespace vx::gui

#include "analysis_view_test.moc"
