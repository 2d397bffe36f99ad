// Records made and changed through their forms are stored as the core reads them back, and a
// refused form stores nothing.
#include <QComboBox>
#include <QLineEdit>

#include "db/field_entry.h"
#include "db/field_store.h"
#include "gui_test_support.h"
#include "record_dialogs.h"
#include "shell/field_words.h"
#include "support/experiment_fixture.h"

namespace vx::gui {

namespace {

// The records as a fresh reading of the working copy finds them.
Experiment Reread(GuiSession& session) {
  Experiment fresh;
  fresh.file = session.experiment().file;
  fresh.LoadAll();
  return fresh;
}

CField AddField(GuiSession& session, const char* name, int category, int type) {
  CField field;
  field.name = name;
  field.category = category;
  field.type = type;
  if (type == kFieldChoice) field.choices = {{-1, "C57BL/6"}, {-1, "BALB/c"}};
  SaveField(session.experiment(), field);
  return field;
}

}  // namespace

class RecordDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void ANewAnimalIsStoredWithItsFields() {
    testing::DemoSession demo;
    QCOMPARE(demo.session.Open(demo.demo.path()), DocumentResult::Ok);
    AddField(demo.session, "Weight", kAnimalFields, kFieldNumber);
    AddField(demo.session, "Strain", kAnimalFields, kFieldChoice);
    AnimalDialog dialog(nullptr, demo.session.experiment(), CAnimal());
    QTest::keyClicks(dialog.nameEdit(), "Mouse 2");
    const QList<QLineEdit*> lines = dialog.findChildren<QLineEdit*>();
    QLineEdit* weight = lines.back();
    QTest::keyClicks(weight, "heavy");
    dialog.findChild<QComboBox*>()->setCurrentText("BALB/c");
    dialog.accept();
    QVERIFY(!dialog.refusal().isEmpty());  // not a number: nothing stored
    QCOMPARE(Reread(demo.session).animals.size(), size_t(1));

    weight->clear();
    QTest::keyClicks(weight, "24.5");
    dialog.accept();
    QVERIFY2(dialog.refusal().isEmpty(), qPrintable(dialog.refusal()));
    const Experiment stored = Reread(demo.session);
    QCOMPARE(stored.animals.size(), size_t(2));
    const CAnimal& animal = stored.animals.back();
    QCOMPARE(animal.name, std::string("Mouse 2"));
    QCOMPARE(FieldValueWords(stored.fields[0], animal.fields), std::string("24.5"));
    QCOMPARE(FieldValueWords(stored.fields[1], animal.fields), std::string("BALB/c"));
  }

  void AnEditedTestKeepsItsIdAndTakesTheNewAnimal() {
    testing::DemoSession demo;
    QCOMPARE(demo.session.Open(demo.demo.path()), DocumentResult::Ok);
    AnimalDialog animal(nullptr, demo.session.experiment(), CAnimal());
    animal.nameEdit()->setText("Mouse 2");
    animal.accept();
    TestDialog dialog(nullptr, demo.session.experiment(), *demo.session.experiment().FindTest(1));
    dialog.nameEdit()->setText("  ");
    dialog.accept();
    QVERIFY(!dialog.refusal().isEmpty());  // a blank title is refused
    dialog.nameEdit()->setText("Mouse 2, day 1");
    dialog.animalBox()->setCurrentIndex(dialog.animalBox()->findText("Mouse 2"));
    dialog.accept();
    QVERIFY2(dialog.refusal().isEmpty(), qPrintable(dialog.refusal()));
    const std::string copy = demo.session.experiment().file.CurrentFile();
    QCOMPARE(vx::testing::QueryValue(copy, "select count(*) from Tests"), std::string("1"));
    QCOMPARE(vx::testing::QueryValue(copy, "select Title || '/' || IdAnimal from Tests where Id=1"),
             std::string("Mouse 2, day 1/2"));
    // The analysis stays: only the animal and the title changed.
    QCOMPARE(vx::testing::QueryValue(copy, "select DateAnalyse <> 0 from Tests where Id=1"), std::string("1"));
  }
};

VX_GUI_TEST(RecordDialogsTest);

}  // namespace vx::gui

#include "record_dialogs_test.moc"
