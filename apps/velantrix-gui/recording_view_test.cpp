// The recording page driven by its keys and buttons, with the demo's video played as the
// camera: what it stores is read back with plain SQL.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "gui_test_support.h"
#include "recording_view.h"
#include "support/experiment_fixture.h"

namespace vx::gui {

struct RecordingPage {
  testing::DemoSession demo;
  std::unique_ptr<RecordingView> page;
  std::unique_ptr<QSignalSpy> finished;
  std::string demoVideo;

  RecordingPage() {
    demoVideo = vx::testing::QueryValue(demo.demo.path(), "select File from Videos where Id=1");
    if (demo.session.Open(demo.demo.path()) != DocumentResult::Ok) return;
    page = std::make_unique<RecordingView>(demo.session, -1);
    finished = std::make_unique<QSignalSpy>(page.get(), &RecordingView::Finished);
  }
  // The demo has one test, with its video: the page offers a new test of its protocol and animal.
  void Record(const std::string& source, bool fast, bool track) {
    auto* camera = page->findChild<QComboBox*>("recordCamera");
    QTest::keyClick(camera, Qt::Key_End);  // the video file played as the camera, last of the list
    auto* path = page->findChild<QLineEdit*>("recordSource");
    QTest::keyClicks(path, QString::fromStdString(source));
    QTest::keyClick(path, Qt::Key_Return);
    if (fast) QTest::keyClick(page->findChild<QCheckBox*>("recordFast"), Qt::Key_Space);
    if (track) QTest::keyClick(page->findChild<QCheckBox*>("recordTrack"), Qt::Key_Space);
    Click("startRecording");
  }
  void Click(const char* button) { QTest::mouseClick(page->findChild<QPushButton*>(button), Qt::LeftButton); }
  std::string Stored(const std::string& sql) {
    return vx::testing::QueryValue(demo.session.experiment().file.CurrentFile(), sql);
  }
  int Frames(const char* video) { return std::stoi(Stored(std::string("select NbFrames from Videos where Id=") + video)); }
};

class RecordingViewTest : public QObject {
  Q_OBJECT

 private slots:
  void RecordingTheStandInStoresANewTestWithEveryFrame() {
    RecordingPage r;
    QVERIFY(r.page);
    r.Record(r.demoVideo, true, false);
    QTRY_COMPARE_WITH_TIMEOUT(r.finished->count(), 1, 60000);
    QCOMPARE(r.finished->at(0).at(0).toBool(), true);
    QCOMPARE(r.Stored("select Id||' '||Source||' '||IdProtocol||' '||IdAnimal from Tests where Id<>1"),
             std::string("2 2 ") + r.Stored("select IdProtocol||' '||IdAnimal from Tests where Id=1"));
    QCOMPARE(r.Frames("2"), r.Frames("1"));
    QCOMPARE(r.Stored("select File from Videos where Id=2"), std::string("Test_2.vxf"));
    // The windows see it: the session's lists were read again.
    const CInfosTest* test = r.demo.session.experiment().FindTest(2);
    QVERIFY(test != nullptr && test->source == 2);
  }

  void StopPartWayKeepsWhatWasRecordedAndShowedItLive() {
    RecordingPage r;
    QVERIFY(r.page);
    r.Record(r.demoVideo, false, false);  // in real time: six seconds
    QTRY_VERIFY_WITH_TIMEOUT(r.page->PicturesShown() >= 3, 20000);
    r.Click("stopRecording");
    QTRY_COMPARE_WITH_TIMEOUT(r.finished->count(), 1, 20000);
    QCOMPARE(r.finished->at(0).at(0).toBool(), true);
    const int kept = r.Frames("2");
    QVERIFY2(kept > 0 && kept < r.Frames("1"), std::to_string(kept).c_str());
    QCOMPARE(r.Stored("select Source from Tests where Id=2"), std::string("2"));
  }

  void ClosingTheExperimentWhileRecordingKeepsTheRecording() {
    RecordingPage r;
    QVERIFY(r.page);
    r.Record(r.demoVideo, false, false);
    QTRY_VERIFY_WITH_TIMEOUT(r.page->PicturesShown() >= 2, 20000);
    r.demo.services.asker.answers = {Answer::Yes};  // save the changes
    QVERIFY(r.demo.session.Close());
    QVERIFY(!r.page->Recording());
    QCOMPARE(vx::testing::QueryValue(r.demo.demo.path(), "select count(*) from Tests where Source=2"), std::string("1"));
  }

  // No file, a missing one, and live tracking by a method whose background would come from the
  // video being recorded: the message names the problem.
  void ABadRequestSaysSoAndStoresNothing() {
    struct Case {
      std::string source;
      bool track;
      const char* says;
    };
    const std::string demoVideo = RecordingPage().demoVideo;
    for (const Case& c : {Case{"", false, "Choose the video file"}, Case{"/no/such/camera.avi", false, "cannot be opened"},
                          Case{demoVideo, true, "reference image"}}) {
      RecordingPage r;
      QVERIFY(r.page);
      r.Record(c.source, true, c.track);
      auto& said = r.demo.services.notifier.notifications;
      QTRY_VERIFY_WITH_TIMEOUT(!said.empty(), 20000);
      QVERIFY2(said.back().text.find(c.says) != std::string::npos, said.back().text.c_str());
      QVERIFY(!r.page->Recording());
      QCOMPARE(r.Stored("select count(*)||' '||(select count(*) from Videos) from Tests"), std::string("1 1"));
    }
  }
};

VX_GUI_TEST(RecordingViewTest);

}  // namespace vx::gui

#include "recording_view_test.moc"
