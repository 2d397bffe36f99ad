// Every view of the table renders on the demo experiment, and the experiment page shows its
// records.
#include <QSlider>
#include <QTableView>

#include "image_label.h"

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
      const QImage image = RenderView(demo.session, view.name, 1, QSize(1000, 700));
      QCOMPARE(image.size(), QSize(1000, 700));
      QVERIFY2(testing::ColourCount(image) > 8, view.name);
    }
    QVERIFY(RenderView(demo.session, "no-such-view", 1, QSize(1000, 700)).isNull());
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

  // The player shows the video's light floor with the track drawn in light blue over it.
  void ThePlayerDrawsTheTrackOverTheVideo() {
    testing::DemoSession demo;
    QVERIFY(demo.session.OpenForReading(demo.demo.path()));
    std::unique_ptr<QWidget> page(FindView("player")->make(demo.session, 1, nullptr));
    page->resize(800, 700);
    auto* video = page->findChild<ImageLabel*>("video");
    auto* scrub = page->findChild<QSlider*>("scrub");
    QVERIFY(video && scrub);
    QCOMPARE(scrub->maximum(), 149);
    const auto trackPixels = [](const QImage& frame) {
      int bluish = 0;  // the track's light blue, also where it is blended into the floor
      for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
          const QColor c = frame.pixelColor(x, y);
          bluish += c.blue() > 150 && c.blue() - c.red() > 100;
        }
      }
      return bluish;
    };
    const QImage first = video->image();
    QCOMPARE(first.size(), QSize(640, 480));
    QVERIFY(testing::MostlyColour(first, QRect(300, 420, 20, 20), QColor(200, 200, 200), 60));  // the floor
    QTest::keyClick(scrub, Qt::Key_End);  // the last frame: the whole walk is drawn
    const int grown = trackPixels(video->image()) - trackPixels(first);
    QVERIFY2(grown > 100, qPrintable(QString::number(grown)));
  }

  // The heat map is in colour (the colour map, not grey levels) with white outside the arena.
  void TheHeatMapShowsColoursAndItsScale() {
    testing::DemoSession demo;
    QVERIFY(demo.session.OpenForReading(demo.demo.path()));
    std::unique_ptr<QWidget> page(FindView("heatmap")->make(demo.session, 1, nullptr));
    const QImage map = page->findChild<ImageLabel*>("heatmap")->image();
    QVERIFY(!map.isNull());
    int coloured = 0;
    for (int y = 0; y < map.height(); y += 2) {
      for (int x = 0; x < map.width(); x += 2) {
        const QColor c = map.pixelColor(x, y);
        coloured += std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 40;
      }
    }
    QVERIFY2(coloured > map.width() * map.height() / 16, qPrintable(QString::number(coloured)));
  }

  // The results page shows the first report's table: one row for the test, zones as columns.
  void TheResultsPageShowsTheReportTable() {
    testing::DemoSession demo;
    QVERIFY(demo.session.OpenForReading(demo.demo.path()));
    std::unique_ptr<QWidget> page(FindView("results")->make(demo.session, 1, nullptr));
    const QAbstractItemModel* table = page->findChild<QTableView*>("results")->model();
    QCOMPARE(table->rowCount(), 1);
    QStringList headers;
    for (int c = 0; c < table->columnCount(); ++c) headers << table->headerData(c, Qt::Horizontal).toString();
    QVERIFY2(headers.contains("Centre ( in )"), qPrintable(headers.join(" | ")));
    QCOMPARE(headers.back(), QString("Frames"));
    QCOMPARE(table->index(0, table->columnCount() - 1).data().toString(), QString("150"));
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
