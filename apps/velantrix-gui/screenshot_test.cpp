// Every view of the table renders on the demo experiment, and the experiment page shows its
// records.
#include <QTableView>

#include "gui_test_support.h"
#include "screenshot.h"
#include "view_table.h"

namespace vx::gui {

class ScreenshotTest : public QObject {
  Q_OBJECT

 private slots:
  void EveryViewRendersSomething() {
    testing::DemoSession demo;
    QVERIFY(demo.session.OpenForReading(demo.demo.path()));
    for (const ViewEntry& view : ViewTable()) {
      const QImage image = RenderView(demo.session, view.name, 1, QSize(800, 600));
      QCOMPARE(image.size(), QSize(800, 600));
      QVERIFY2(testing::ColourCount(image) > 8, view.name);
    }
    QVERIFY(RenderView(demo.session, "no-such-view", 1, QSize(800, 600)).isNull());
  }

  void TheExperimentPageListsTheDemoRecords() {
    testing::DemoSession demo;
    QVERIFY(demo.session.OpenForReading(demo.demo.path()));
    std::unique_ptr<QWidget> page(FindView("tests")->make(demo.session, -1, nullptr));
    const auto* tests = page->findChild<QTableView*>("tests");
    QVERIFY(tests != nullptr);
    QCOMPARE(tests->model()->rowCount(), 1);
    QCOMPARE(tests->model()->index(0, 1).data().toString(), QString("Mouse 1, day 1"));
    QCOMPARE(tests->model()->index(0, 5).data().toString(), QString("yes"));
  }

  void SizesAreRead() {
    const struct {
      const char* text;
      bool ok;
    } cases[] = {{"800x600", true}, {"100x100", true}, {"99x600", false}, {"800", false}, {"800x600x2", false},
                 {"axb", false}};
    for (const auto& c : cases) {
      QSize size;
      QCOMPARE(ParseSize(c.text, size), c.ok);
    }
  }
};

VX_GUI_TEST(ScreenshotTest);

}  // namespace vx::gui

#include "screenshot_test.moc"
