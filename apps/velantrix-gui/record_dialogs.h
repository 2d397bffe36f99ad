// The forms of the experiment's records: animal, test, protocol and video. Each edits a copy
// of the record; OK checks it with the core's rules, stores it through the core's store (one
// short transaction, the lists follow) and closes; a refusal is explained and the form stays.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <vector>

#include "db/experiment.h"

class QComboBox;
class QFormLayout;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace vx::gui {

// The custom fields of one family, one editor each (a list of choices, or a line).
class FieldEditors {
 public:
  FieldEditors(QWidget* parent, QFormLayout& form, const Experiment& experiment, int category, int protocolId,
               const std::vector<tFieldContent>& values);
  // The typed values into values; "" or why one is refused.
  std::string Apply(const Experiment& experiment, std::vector<tFieldContent>& values) const;

 private:
  struct Editor {
    const CField* field;
    QLineEdit* line = nullptr;
    QComboBox* choice = nullptr;
  };
  int category_;
  std::vector<Editor> editors_;
};

class RecordDialog : public QDialog {
  Q_OBJECT

 public:
  RecordDialog(QWidget* parent, Experiment& experiment, const QString& title);
  void accept() override;
  QLineEdit* nameEdit() const { return name_; }
  FieldEditors* fields() const { return fields_.get(); }
  // Why the last OK was refused ("" when none).
  const QString& refusal() const { return refusal_; }

 protected:
  // Checks and stores the record; "" when stored, else why not.
  virtual std::string Store() = 0;
  void AddButtons();

  Experiment& experiment_;
  QFormLayout* form_;
  QLineEdit* name_;
  std::unique_ptr<FieldEditors> fields_;
  QString refusal_;
};

class AnimalDialog : public RecordDialog {
 public:
  AnimalDialog(QWidget* parent, Experiment& experiment, CAnimal animal);
  const CAnimal& animal() const { return animal_; }

 private:
  std::string Store() override;
  CAnimal animal_;
  QPlainTextEdit* notes_;
};

class TestDialog : public RecordDialog {
 public:
  TestDialog(QWidget* parent, Experiment& experiment, CInfosTest test);
  const CInfosTest& test() const { return test_; }
  QComboBox* protocolBox() const { return protocol_; }
  QComboBox* animalBox() const { return animal_; }
  QComboBox* videoBox() const { return video_; }

 private:
  std::string Store() override;
  CInfosTest test_;
  QComboBox* protocol_;
  QComboBox* animal_;
  QComboBox* video_;
  QPlainTextEdit* notes_;
};

class ProtocolDialog : public RecordDialog {
 public:
  ProtocolDialog(QWidget* parent, Experiment& experiment, CProtocol protocol);

 private:
  std::string Store() override;
  CProtocol protocol_;
  QSpinBox* width_;
  QSpinBox* height_;
};

class VideoDialog : public RecordDialog {
 public:
  VideoDialog(QWidget* parent, Experiment& experiment, CVideoFile video);

 private:
  std::string Store() override;
  CVideoFile video_;
  QPlainTextEdit* notes_;
};

}  // namespace vx::gui
