// The protocol editor, the detection view and behaviour scoring driven as a user drives them:
// mouse and keys on the real widgets over the demo experiment, the result read back from the
// saved file with plain SQL.
#include <QApplication>
#include <QComboBox>
#include <QSlider>

#include "db/sqlite_database.h"
#include "detection_view.h"
#include "gui_test_support.h"
#include "measures/behavior.h"
#include "protocol_view.h"
#include "screenshot.h"
#include "scoring_view.h"
#include "view_table.h"
#include "zones/zone_handles.h"
#include "zones/zone_rows.h"
#include "zones_view.h"

namespace vx::gui {

namespace {

// The single value of a query on the saved experiment ("" when there is no row).
std::string Query(const std::string& path, const std::string& sql) {
  SQLite::Database db;
  if (db.Open(path) != SQLite::kOk) return {};
  SQLite::TablePtr table = db.GetTable(sql);
  if (!table || !table->MoveFirst()) return {};
  return table->GetText(table->Columns().front());
}

// Presses at from, drags to to and releases, with the left button.
void Drag(QWidget* widget, QPoint from, QPoint to) {
  QTest::mousePress(widget, Qt::LeftButton, {}, from);
  QTest::mouseMove(widget, (from + to) / 2);
  QTest::mouseMove(widget, to);
  QTest::mouseRelease(widget, Qt::LeftButton, {}, to);
}

QPoint On(const FrameCanvas& canvas, cv::Point pixel) {
  return canvas.ToWidget(QPointF(pixel.x + 0.5, pixel.y + 0.5)).toPoint();
}

std::string PointsText(cv::Point a, cv::Point b) {
  return std::to_string(a.x) + ";" + std::to_string(a.y) + ";" + std::to_string(b.x) + ";" + std::to_string(b.y);
}

// A view on the demo experiment, laid out at a usual window size; writable demos work on a
// working copy that the session saves back.
template <typename View>
std::unique_ptr<View> Shown(testing::DemoSession& demo, bool writable) {
  const bool open = writable ? demo.session.Open(demo.demo.path()) == DocumentResult::Ok
                             : demo.session.OpenForReading(demo.demo.path());
  if (!open) return nullptr;
  auto view = std::make_unique<View>(demo.session.experiment(), demo.session.services());
  view->resize(1100, 700);
  view->show();
  return view;
}

// Whether a pixel within radius of at has colour (within tolerance per channel).
bool NearColour(const QImage& image, QPoint at, QColor colour, int radius = 2, int tolerance = 60) {
  for (int dy = -radius; dy <= radius; ++dy) {
    for (int dx = -radius; dx <= radius; ++dx) {
      const QPoint p = at + QPoint(dx, dy);
      if (!image.rect().contains(p)) continue;
      const QColor c = image.pixelColor(p);
      if (std::abs(c.red() - colour.red()) <= tolerance && std::abs(c.green() - colour.green()) <= tolerance &&
          std::abs(c.blue() - colour.blue()) <= tolerance) {
        return true;
      }
    }
  }
  return false;
}

int GreenPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      count += c.green() > 170 && c.red() < 60 && c.blue() < 60;
    }
  }
  return count;
}

}  // namespace

class EditorViewsTest : public QObject {
  Q_OBJECT

 private slots:
  void DrawingARectangleStoresTheZone() {
    testing::DemoSession demo;
    const auto shown = Shown<ZonesView>(demo, true);
    QVERIFY(shown != nullptr && shown->ShowProtocol(1));
    ZonesView& view = *shown;
    ZoneCanvas& canvas = view.Canvas();
    canvas.SetTool(ZoneTool::Rectangle);
    const QPoint from = On(canvas, {200, 150}), to = On(canvas, {300, 260});
    Drag(&canvas, from, to);
    canvas.SetTool(ZoneTool::Ruler);  // the ruler is redrawn, not added
    const QPoint rulerFrom = On(canvas, {120, 400}), rulerTo = On(canvas, {420, 400});
    Drag(&canvas, rulerFrom, rulerTo);
    QVERIFY(view.Save());
    QVERIFY(demo.session.Save());
    QCOMPARE(Query(demo.demo.path(), "select Points from Zones where IdProtocol=1 and Name='Rectangle' and TypeRect=0"),
             PointsText(canvas.ToImage(from), canvas.ToImage(to)));
    QCOMPARE(Query(demo.demo.path(), "select group_concat(Points) from Zones where IdProtocol=1 and TypeRect=4"),
             PointsText(canvas.ToImage(rulerFrom), canvas.ToImage(rulerTo)));
    // Both edits undone before saving again: the file loses the zone.
    view.Undo().undo();
    view.Undo().undo();
    QVERIFY(view.Save());
    QVERIFY(demo.session.Save());
    QCOMPARE(Query(demo.demo.path(), "select count(*) from Zones where IdProtocol=1 and Name='Rectangle'"), std::string("0"));
  }

  void DraggingAHandleMovesTheStoredPoints() {
    testing::DemoSession demo;
    const auto shown = Shown<ZonesView>(demo, true);
    QVERIFY(shown != nullptr && shown->ShowProtocol(1));
    ZonesView& view = *shown;
    ZoneCanvas& canvas = view.Canvas();
    const CDrawObj* arena = view.Zones().MainArena();
    QVERIFY(arena != nullptr);
    const PixelRect before = arena->GetRect();
    canvas.SelectZone(arena->id);
    const cv::Point corner = HandlePoint(*arena, 4);  // bottom-right
    const QPoint to = On(canvas, corner - cv::Point(30, 20));
    Drag(&canvas, On(canvas, corner), to);
    QVERIFY(view.Save());
    QVERIFY(demo.session.Save());
    const cv::Point dropped = canvas.ToImage(to);
    QCOMPARE(Query(demo.demo.path(), "select Points from Zones where IdProtocol=1 and bArena=1"),
             PointsText({before.left, before.top}, dropped));
  }

  void AThresholdChangeRedetectsAndRedrawsTheOutline() {
    testing::DemoSession demo;
    const auto shown = Shown<DetectionView>(demo, false);
    QVERIFY(shown != nullptr && shown->ShowTest(1));
    DetectionView& view = *shown;
    view.Player().SetFrame(40);
    const tMyPoint automatic = view.Found();
    QVERIFY(automatic.rawX >= 0);
    // The grey method tuned by a click on the animal finds it too.
    view.Panel().Method()->setCurrentIndex(kMethodGrayscale);
    QVERIFY(view.TuneAt({automatic.rawX, automatic.rawY}));
    QVERIFY(view.Found().rawX >= 0);
    QVERIFY(std::abs(view.Found().rawX - automatic.rawX) < 10);
    const int outlined = GreenPixels(view.Canvas().Picture());
    QVERIFY(outlined > 20);
    // Narrowing the band to the floor's darkest levels loses the animal and its outline.
    QSlider* high = view.Panel().GreyHigh()->slider();
    high->setValue(view.Panel().Settings().greyLow);
    QCOMPARE(view.Panel().Settings().greyHigh, view.Panel().Settings().greyLow);
    QVERIFY(view.Found().rawX < 0 || view.Found().boxRight - view.Found().boxLeft < automatic.boxRight - automatic.boxLeft);
    QVERIFY(GreenPixels(view.Canvas().Picture()) < outlined);
  }

  void AScoringKeyStoresTheEvent() {
    testing::DemoSession demo;
    const auto protocol = Shown<ProtocolView>(demo, true);
    QVERIFY(protocol != nullptr && protocol->ShowProtocol(1));
    QCOMPARE(protocol->AddBehaviour("Digging", "d", 0), QString());
    QVERIFY(!protocol->AddBehaviour("Washing", "d", 0).isEmpty());  // the key records digging already
    QVERIFY(protocol->Save());
    ScoringView view(demo.session.experiment(), demo.session.services());
    view.resize(1100, 700);
    view.show();
    QVERIFY(view.ShowTest(1));
    view.Player().SetFrame(25);
    const int64_t start = view.NowMs();
    QTest::keyClick(&view, 'd');
    view.Player().SetFrame(50);
    const int64_t end = view.NowMs();
    QTest::keyClick(&view, 'd');
    QTest::keyClick(&view, 'q');  // no behaviour: nothing recorded
    QVERIFY(view.Save());
    QVERIFY(demo.session.Save());
    const QByteArray blob = QByteArray::fromHex(
        QByteArray::fromStdString(Query(demo.demo.path(), "select hex(Behaviors) from TestsPoints where Id=1")));
    const std::vector<uint8_t> bytes(blob.begin(), blob.end());
    const BehaviorSet behaviours = ParseBehaviors(demo.session.experiment().FindProtocol(1)->behaviors, 1);
    RecordedBehaviors recorded;
    QVERIFY(ReadRecordedBehaviors(bytes, 1, behaviours.behaviors, recorded));
    // The demo's own scoring stays; digging comes last, in the protocol's order.
    QCOMPARE(recorded.lists.size(), behaviours.behaviors.size());
    const CListRecBehavior& digging = recorded.lists.back();
    QCOMPARE(digging.behaviorId, behaviours.behaviors.back().id);
    QCOMPARE(digging.occurrences.size(), size_t{1});
    QCOMPARE(int64_t{digging.occurrences[0].start}, start);
    QCOMPARE(int64_t{digging.occurrences[0].end}, end);
  }

  void TheScreenshotsShowTheirElements() {
    testing::DemoSession demo;
    QVERIFY(demo.session.OpenForReading(demo.demo.path()));
    ZoneSet zones;
    LoadZoneSet(*demo.session.experiment().FindProtocol(1), zones);
    const CDrawObj& arena = *zones.MainArena();
    const uint32_t pen = arena.pen.color;
    const QColor arenaColour(pen & 0xFF, pen >> 8 & 0xFF, pen >> 16 & 0xFF);
    const PixelRect r = arena.GetBounds();
    const cv::Point topEdge((r.left + r.right) / 2, r.top), floor((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    for (const char* name : {"protocol", "zones", "detection", "scoring"}) {
      std::unique_ptr<QWidget> view(FindView(name)->make(demo.session, 1, nullptr));
      view->setAttribute(Qt::WA_DontShowOnScreen);
      view->resize(1100, 700);
      view->show();
      QApplication::processEvents();
      const QImage image = view->grab().toImage();
      const FrameCanvas* canvas = view->findChild<FrameCanvas*>();
      QVERIFY2(canvas != nullptr && testing::ColourCount(image) > 50, name);
      auto at = [&](cv::Point p) { return canvas->mapTo(view.get(), canvas->ToWidget(QPointF(p.x + 0.5, p.y + 0.5)).toPoint()); };
      // The zone pages draw the arena's outline in its own colour; every page shows the light floor.
      if (std::string(name) == "protocol" || std::string(name) == "zones") {
        QVERIFY2(NearColour(image, at(topEdge), arenaColour), name);
      }
      QVERIFY2(image.pixelColor(at(floor)).lightness() > 120, name);
      if (std::string(name) == "detection") {  // the animal's outline, green
        QVERIFY(GreenPixels(image) > 20);
      }
    }
  }
};

VX_GUI_TEST(EditorViewsTest);

}  // namespace vx::gui

#include "editor_views_test.moc"
