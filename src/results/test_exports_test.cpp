#include "results/test_exports.h"

#include <gtest/gtest.h>

#include "support/report_file.h"

namespace vx {
namespace {

using testing::ReportFile;

// A long trajectory must go on in further sheets, each with its header, never be cut: here a
// sheet of 4 rows (header and 3 points) for test 3's ten points.
TEST(TestExports, ATrajectoryLongerThanASheetContinuesOnTheNextSheets) {
  ReportFile file;
  Workbook book;
  ASSERT_EQ(TrajectoryBook(file.experiment(), 3, {false, 4}, &book), TestExportStatus::kOk);
  ASSERT_EQ(book.sheets.size(), 4u);
  EXPECT_EQ(book.sheets[1].Name(), "Trajectory (2)");
  EXPECT_EQ(book.sheets[3].ReadText(0, 0), "Frame");
  EXPECT_EQ(book.sheets[3].CellAt(1, 0).number, 9);  // the last point
  EXPECT_EQ(book.sheets[3].LastUsedRow(), 1);
  const Cell& time = book.sheets[1].CellAt(1, 1);  // point 3, at 300 ms
  EXPECT_EQ(time.kind, CellKind::Duration);
  EXPECT_DOUBLE_EQ(time.number, 0.3);
  EXPECT_DOUBLE_EQ(book.sheets[0].CellAt(2, 13).number, 10.0);  // y = 20 px at 0.5 mm per pixel
  EXPECT_EQ(TrajectoryBook(file.experiment(), 99, {false, 4}, &book), TestExportStatus::kNoTest);
}

TEST(TestExports, EventsGoOneSheetPerBehaviourOrOneTableAsText) {
  ReportFile file;
  file.Sql("update Protocols set Behaviors='1|3|2|1;groom;71;0;0|2;rear/up;82;0;0' where Id=1");
  file.Reload();
  RecordedBehaviors recorded;
  recorded.protocolId = 1;
  recorded.lists.push_back({1, 2, 0, {{100, 400}, {600, 1700}}});
  file.SaveBehaviorsOf(3, recorded, {});
  Workbook book;
  ASSERT_EQ(BehaviourEventsBook(file.experiment(), 3, -1, {false, 100}, &book), TestExportStatus::kOk);
  ASSERT_EQ(book.sheets.size(), 2u);
  EXPECT_EQ(book.sheets[0].LastUsedRow(), 0);  // groom: the header alone
  const Sheet& rear = book.sheets[1];
  EXPECT_EQ(rear.Name(), "rear_up");
  EXPECT_EQ(rear.LastUsedRow(), 2);
  EXPECT_EQ(rear.CellAt(2, 2).kind, CellKind::Duration);
  EXPECT_EQ(rear.CellAt(2, 2).durationFormat, DurationFormat::Milliseconds);
  EXPECT_DOUBLE_EQ(rear.CellAt(2, 2).number, 1.1);
  ASSERT_EQ(BehaviourEventsBook(file.experiment(), 3, 2, ShapeForPath("e.txt"), &book), TestExportStatus::kOk);
  ASSERT_EQ(book.sheets.size(), 1u);
  EXPECT_EQ(book.sheets[0].ReadText(2, 0), "rear/up");
  EXPECT_DOUBLE_EQ(book.sheets[0].CellAt(2, 1).number, 0.6);
  EXPECT_EQ(BehaviourEventsBook(file.experiment(), 3, 7, {false, 100}, &book), TestExportStatus::kNoBehaviour);
  file.Sql("update TestsPoints set Behaviors=x'0102' where Id=3");
  EXPECT_EQ(BehaviourEventsBook(file.experiment(), 3, -1, {false, 100}, &book), TestExportStatus::kCorrupt);
}

}  // namespace
}  // namespace vx
