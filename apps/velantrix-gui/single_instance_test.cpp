// A second start hands its file to the running instance and ends; with none running, it
// becomes the running instance (also after a crash left the socket behind).
#include "gui_test_support.h"
#include "single_instance.h"

namespace vx::gui {

class SingleInstanceTest : public QObject {
  Q_OBJECT

 private slots:
  void ASecondStartHandsItsFileToTheFirst() {
    const QString key = QString("velantrix-test-%1").arg(QCoreApplication::applicationPid());
    SingleInstance first(key);
    QVERIFY(!first.HandOver(""));
    QSignalSpy handed(&first, &SingleInstance::FileHanded);
    SingleInstance second(key);
    QVERIFY(second.HandOver("/data/experiment one.vxdb"));
    QTRY_COMPARE(handed.count(), 1);
    QCOMPARE(handed.at(0).at(0).toString(), QString("/data/experiment one.vxdb"));
  }
};

VX_GUI_TEST(SingleInstanceTest);

}  // namespace vx::gui

#include "single_instance_test.moc"
