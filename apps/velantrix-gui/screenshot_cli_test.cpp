// velantrix-gui --screenshot run as scripts run it: bad input gets a message and an exit
// status, and the file named is never changed.
#include <QProcess>

#include "gui_test_support.h"

namespace vx::gui {

class ScreenshotCliTest : public QObject {
  Q_OBJECT

 private slots:
  void BadInputIsRefusedAndTheFileStaysIntact() {
    vx::testing::TempDir dir;
    const std::string notExperiment = dir.File("notes.vxdb");
    vx::testing::WriteFileBytes(notExperiment, "not an experiment");
    testing::DemoCopy demo;
    const struct {
      QStringList arguments;
      int status;
      const char* message;
    } cases[] = {
        {{QString::fromStdString(notExperiment), "--screenshot", "tests", "--out", "x.png"}, 1, "not an experiment file"},
        {{QString::fromStdString(dir.File("missing.vxdb")), "--screenshot", "tests", "--out", "x.png"}, 1, "does not exist"},
        {{QString::fromStdString(demo.path()), "--screenshot", "zoo", "--out", "x.png"}, 2, "unknown view 'zoo'"},
        {{QString::fromStdString(demo.path()), "--screenshot", "tests", "--out", "x.png", "--size", "9x9"}, 2, "--size"},
        {{QString::fromStdString(demo.path()), "--screenshot", "player", "--out", "x.png", "--test", "99"}, 1,
         "no test 99"},
        {{QString::fromStdString(demo.path()), "--screenshot", "tests"}, 2, "--out"},
    };
    const std::string demoBytes = vx::testing::ReadFileBytes(demo.path());
    for (const auto& c : cases) {
      QProcess program;
      program.setWorkingDirectory(QString::fromStdString(dir.path()));
      program.start(VX_GUI_BINARY, c.arguments);
      QVERIFY(program.waitForFinished(60000));
      const QString err = QString::fromUtf8(program.readAllStandardError());
      QCOMPARE(program.exitCode(), c.status);
      QVERIFY2(err.contains(c.message), qPrintable(err));
    }
    QCOMPARE(vx::testing::ReadFileBytes(notExperiment), std::string("not an experiment"));
    QVERIFY(vx::testing::ReadFileBytes(demo.path()) == demoBytes);
    QVERIFY(!QFile::exists(QString::fromStdString(dir.File("x.png"))));
  }
};

VX_GUI_TEST(ScreenshotCliTest);

}  // namespace vx::gui

#include "screenshot_cli_test.moc"
