#include "record_dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSpinBox>

#include "base/messages.h"
#include "base/text.h"
#include "db/animal_store.h"
#include "db/field_entry.h"
#include "db/protocol_store.h"
#include "db/test_store.h"
#include "db/video_store.h"
#include "shell/field_words.h"
#include "shell/protocol_setup.h"

namespace vx::gui {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QPlainTextEdit* NotesEdit(QWidget* parent, const std::string& text) {
  auto* notes = new QPlainTextEdit(Q(text), parent);
  notes->setMaximumHeight(80);
  return notes;
}

// A choice among records; "(none)" first when allowed.
QComboBox* RecordChoice(QWidget* parent, const char* name, bool none) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  if (none) box->addItem("(none)", -1);
  return box;
}

void Select(QComboBox* box, int id) { box->setCurrentIndex(std::max(0, box->findData(id))); }

std::string NameProblem(const QLineEdit* name) {
  return name->text().trimmed().isEmpty() ? MessageText(msg::kEnterName) : "";
}

}  // namespace

FieldEditors::FieldEditors(QWidget* parent, QFormLayout& form, const Experiment& experiment, int category,
                           int protocolId, const std::vector<tFieldContent>& values)
    : category_(category) {
  for (const CField* field : FieldsOfForm(experiment.fields, category, protocolId)) {
    Editor editor{field};
    const QString label = field->unit.empty() ? Q(field->name) : Q(field->name + " (" + field->unit + ")");
    const QString current = Q(FieldValueWords(*field, values));
    if (field->type == kFieldChoice || field->type == kFieldProtocolChoice) {
      editor.choice = new QComboBox(parent);
      editor.choice->addItem("");
      for (const CChoice& choice : field->choices) editor.choice->addItem(Q(choice.name));
      editor.choice->setCurrentText(current);
      form.addRow(label, editor.choice);
    } else {
      editor.line = new QLineEdit(current, parent);
      form.addRow(label, editor.line);
    }
    editors_.push_back(editor);
  }
}

std::string FieldEditors::Apply(const Experiment& experiment, std::vector<tFieldContent>& values) const {
  for (const Editor& editor : editors_) {
    const QString typed = editor.line ? editor.line->text().trimmed() : editor.choice->currentText();
    const std::string problem =
        SetFieldValue(experiment.fields, category_, editor.field->name + "=" + typed.toStdString(), values);
    if (!problem.empty()) return editor.field->name + ": " + problem;
  }
  return "";
}

RecordDialog::RecordDialog(QWidget* parent, Experiment& experiment, const QString& title)
    : QDialog(parent), experiment_(experiment), form_(new QFormLayout(this)), name_(new QLineEdit(this)) {
  setWindowTitle(title);
  name_->setObjectName("name");
  form_->addRow("Name", name_);
}

void RecordDialog::AddButtons() {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &RecordDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &RecordDialog::reject);
  form_->addRow(buttons);
}

void RecordDialog::accept() {
  refusal_ = Q(Store());
  if (refusal_.isEmpty()) {
    QDialog::accept();
  } else if (isVisible()) {
    QMessageBox::warning(this, windowTitle(), refusal_);
  }
}

AnimalDialog::AnimalDialog(QWidget* parent, Experiment& experiment, CAnimal animal)
    : RecordDialog(parent, experiment, animal.id < 0 ? "New animal" : "Animal"), animal_(std::move(animal)) {
  name_->setText(Q(animal_.name));
  notes_ = NotesEdit(this, animal_.notes);
  form_->addRow("Notes", notes_);
  fields_ = std::make_unique<FieldEditors>(this, *form_, experiment, kAnimalFields, -1, animal_.fields);
  AddButtons();
}

std::string AnimalDialog::Store() {
  if (std::string problem = NameProblem(name_); !problem.empty()) return problem;
  CAnimal edited = animal_;
  edited.name = name_->text().trimmed().toStdString();
  edited.notes = notes_->toPlainText().toStdString();
  if (std::string problem = fields_->Apply(experiment_, edited.fields); !problem.empty()) return problem;
  if (!SaveAnimal(experiment_, edited)) return "The animal could not be saved; the experiment is unchanged.";
  animal_ = edited;
  return "";
}

TestDialog::TestDialog(QWidget* parent, Experiment& experiment, CInfosTest test)
    : RecordDialog(parent, experiment, test.id < 0 ? "New test" : "Test"),
      test_(std::move(test)),
      protocol_(RecordChoice(this, "protocol", false)),
      animal_(RecordChoice(this, "animal", true)),
      video_(RecordChoice(this, "video", true)) {
  form_->labelForField(name_)->setProperty("text", "Title");
  name_->setText(Q(test_.title));
  for (const CProtocol& p : experiment.protocols) protocol_->addItem(Q(p.name), p.id);
  for (const CAnimal& a : experiment.animals) animal_->addItem(Q(a.name), a.id);
  for (const auto& [id, v] : experiment.videos) video_->addItem(Q(v.name), id);
  Select(protocol_, test_.idProtocol);
  Select(animal_, test_.idAnimal);
  Select(video_, test_.source);
  notes_ = NotesEdit(this, test_.comment);
  form_->addRow("Protocol", protocol_);
  form_->addRow("Animal", animal_);
  form_->addRow("Video", video_);
  form_->addRow("Notes", notes_);
  fields_ = std::make_unique<FieldEditors>(this, *form_, experiment, kTestFields, test_.idProtocol, test_.fields);
  AddButtons();
}

std::string TestDialog::Store() {
  if (std::string problem = NameProblem(name_); !problem.empty()) return problem;
  if (protocol_->currentIndex() < 0) return "A test needs a protocol: add one first.";
  CInfosTest edited = test_;
  edited.title = name_->text().trimmed().toStdString();
  edited.idProtocol = protocol_->currentData().toInt();
  edited.idAnimal = animal_->currentData().toInt();
  edited.source = video_->currentData().toInt();
  edited.comment = notes_->toPlainText().toStdString();
  if (std::string problem = fields_->Apply(experiment_, edited.fields); !problem.empty()) return problem;
  // A new protocol, video or protocol choice changes what the test's results mean.
  const bool resultsAffected = test_.id >= 0 && (edited.idProtocol != test_.idProtocol || edited.source != test_.source ||
                                                 ProtocolChoicesDiffer(experiment_.fields, edited.fields, test_.fields));
  if (!SaveTest(experiment_, edited, resultsAffected)) return "The test could not be saved; the experiment is unchanged.";
  test_ = edited;
  return "";
}

ProtocolDialog::ProtocolDialog(QWidget* parent, Experiment& experiment, CProtocol protocol)
    : RecordDialog(parent, experiment, protocol.id < 0 ? "New protocol" : "Protocol"),
      protocol_(std::move(protocol)),
      width_(new QSpinBox(this)),
      height_(new QSpinBox(this)) {
  name_->setText(Q(protocol_.name));
  for (QSpinBox* box : {width_, height_}) {
    box->setRange(0, 100000);
    box->setSuffix(" px");
    box->setSpecialValueText("(from the first video)");
  }
  width_->setValue(protocol_.width);
  height_->setValue(protocol_.height);
  form_->addRow("Image width", width_);
  form_->addRow("Image height", height_);
  AddButtons();
}

std::string ProtocolDialog::Store() {
  if (std::string problem = NameProblem(name_); !problem.empty()) return problem;
  if ((width_->value() == 0) != (height_->value() == 0)) return "Give both sides of the image, or neither.";
  CProtocol edited = protocol_;
  edited.name = name_->text().trimmed().toStdString();
  const bool resized = width_->value() > 0 && SetProtocolImageSize(edited, width_->value(), height_->value());
  if (!SaveProtocol(experiment_, edited, resized)) return "The protocol could not be saved; the experiment is unchanged.";
  protocol_ = edited;
  return "";
}

VideoDialog::VideoDialog(QWidget* parent, Experiment& experiment, CVideoFile video)
    : RecordDialog(parent, experiment, "Video"), video_(std::move(video)) {
  name_->setText(Q(video_.name));
  notes_ = NotesEdit(this, video_.notes);
  form_->addRow("File", new QLineEdit(Q(ResolveVideoPath(experiment.file, video_.file)), this));
  form_->addRow("Notes", notes_);
  AddButtons();
}

std::string VideoDialog::Store() {
  if (std::string problem = NameProblem(name_); !problem.empty()) return problem;
  CVideoFile edited = video_;
  edited.name = name_->text().trimmed().toStdString();
  edited.notes = notes_->toPlainText().toStdString();
  if (!SaveVideo(experiment_, edited)) return "The video could not be saved; the experiment is unchanged.";
  video_ = edited;
  return "";
}

}  // namespace vx::gui
