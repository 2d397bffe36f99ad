#include "protocol_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "drawing/zone_drawing.h"
#include "measures/movement_summary.h"
#include "protocol_picture.h"
#include "zones/zone_rows.h"

namespace vx::gui {

ProtocolView::ProtocolView(Experiment& experiment, Services& services, QWidget* parent)
    : QWidget(parent), experiment_(experiment), services_(services) {
  auto* settings = new QGroupBox(tr("Protocol"));
  auto* form = new QFormLayout(settings);
  name_ = new QLineEdit;
  notes_ = new QPlainTextEdit;
  notes_->setMaximumHeight(70);
  head_ = new QCheckBox(tr("Detect the animal's head"));
  inactivity_ = new QSpinBox;
  inactivity_->setRange(0, 1000000);
  inactivityUnit_ = new QComboBox;
  inactivityUnit_->addItem(tr("ms"), 0);
  inactivityUnit_->addItem(tr("s"), 1);
  inactivityUnit_->addItem(tr("min"), 2);
  auto* inactivityRow = new QHBoxLayout;
  inactivityRow->addWidget(inactivity_);
  inactivityRow->addWidget(inactivityUnit_);
  form->addRow(tr("Name"), name_);
  form->addRow(tr("Notes"), notes_);
  form->addRow(QString(), head_);
  form->addRow(tr("Inactive after"), inactivityRow);

  auto* behaviours = new QGroupBox(tr("Behaviours to score"));
  auto* behaviourLayout = new QVBoxLayout(behaviours);
  behaviourTable_ = new QTableWidget(0, 3);
  behaviourTable_->setHorizontalHeaderLabels({tr("Key"), tr("Behaviour"), tr("Kind")});
  behaviourTable_->horizontalHeader()->setStretchLastSection(true);
  behaviourTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  behaviourTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
  behaviourLayout->addWidget(behaviourTable_);
  auto* addRow = new QHBoxLayout;
  newName_ = new QLineEdit;
  newName_->setPlaceholderText(tr("Name"));
  newKey_ = new QLineEdit;
  newKey_->setPlaceholderText(tr("Key"));
  newKey_->setMaxLength(1);
  newKey_->setMaximumWidth(50);
  newKind_ = new QComboBox;
  newKind_->addItem(tr("state (start / stop)"), 0);
  newKind_->addItem(tr("point event"), 1);
  auto* add = new QPushButton(tr("Add"));
  auto* remove = new QPushButton(tr("Delete"));
  for (QWidget* w : std::initializer_list<QWidget*>{newName_, newKey_, newKind_, add, remove}) addRow->addWidget(w);
  behaviourLayout->addLayout(addRow);

  picture_ = new FrameCanvas;
  status_ = new QLabel;
  auto* save = new QPushButton(tr("Save the protocol"));
  auto* left = new QVBoxLayout;
  left->addWidget(settings);
  left->addWidget(behaviours, 1);
  left->addWidget(status_);
  left->addWidget(save);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addWidget(picture_, 1);

  connect(add, &QPushButton::clicked, this, [this] {
    if (AddBehaviour(newName_->text(), newKey_->text(), newKind_->currentData().toInt()).isEmpty()) {
      newName_->clear();
      newKey_->clear();
    }
  });
  connect(remove, &QPushButton::clicked, this, &ProtocolView::DeleteBehaviour);
  connect(save, &QPushButton::clicked, this, [this] { Save(); });
}

bool ProtocolView::ShowProtocol(int protocolId) {
  const CProtocol* protocol = experiment_.FindProtocol(protocolId);
  if (protocol == nullptr) return false;
  protocol_ = *protocol;
  behaviours_ = ParseBehaviors(protocol_.behaviors, protocol_.id);
  name_->setText(QString::fromStdString(protocol_.name));
  notes_->setPlainText(QString::fromStdString(protocol_.notes));
  head_->setChecked(protocol_.headDetection);
  inactivity_->setValue(protocol_.inactivityDelay);
  inactivityUnit_->setCurrentIndex(std::clamp(protocol_.inactivityUnit, 0, 2));
  status_->clear();
  FillBehaviours();
  ShowPicture();
  return true;
}

void ProtocolView::ShowPicture() {
  cv::Mat picture = ProtocolPicture(experiment_, protocol_);
  ZoneSet zones;
  LoadZoneSet(protocol_, zones);
  DrawZones(picture, zones);
  picture_->SetPicture(ToQImage(picture));
}

void ProtocolView::FillBehaviours() {
  behaviourTable_->setRowCount(static_cast<int>(behaviours_.behaviors.size()));
  for (size_t row = 0; row < behaviours_.behaviors.size(); ++row) {
    const CBehavior& b = behaviours_.behaviors[row];
    const int r = static_cast<int>(row);
    behaviourTable_->setItem(r, 0, new QTableWidgetItem(QString(QChar(b.key))));
    behaviourTable_->setItem(r, 1, new QTableWidgetItem(QString::fromStdString(b.name)));
    behaviourTable_->setItem(r, 2, new QTableWidgetItem(b.kind == 1 ? tr("point event") : tr("state")));
  }
}

QString ProtocolView::AddBehaviour(const QString& name, const QString& key, int kind) {
  const QByteArray keyText = key.toUtf8();
  const QString problem = keyText.size() != 1
                              ? tr("The key must be one letter, digit or sign.")
                              : QString::fromStdString(AddBehavior(behaviours_, protocol_.id, name.toStdString(), keyText[0], kind));
  status_->setText(problem);
  if (problem.isEmpty()) FillBehaviours();
  return problem;
}

void ProtocolView::DeleteBehaviour() {
  const int row = behaviourTable_->currentRow();
  if (row < 0 || row >= static_cast<int>(behaviours_.behaviors.size())) return;
  behaviours_.behaviors.erase(behaviours_.behaviors.begin() + row);
  FillBehaviours();
}

bool ProtocolView::Save() {
  if (name_->text().trimmed().isEmpty()) {
    status_->setText(tr("The protocol needs a name."));
    return false;
  }
  CProtocol changed = protocol_;
  changed.name = name_->text().trimmed().toStdString();
  changed.notes = notes_->toPlainText().toStdString();
  changed.headDetection = head_->isChecked();
  changed.inactivityDelay = inactivity_->value();
  changed.inactivityUnit = inactivityUnit_->currentData().toInt();
  changed.behaviors = FormatBehaviors(behaviours_);
  // Removed behaviours take their occurrences out of the behaviour results.
  const bool behavioursRemoved = ParseBehaviors(protocol_.behaviors, protocol_.id).behaviors.size() > behaviours_.behaviors.size();
  if (!SaveProtocolAndInactivity(experiment_, changed, behavioursRemoved || changed.headDetection != protocol_.headDetection)) {
    status_->setText(tr("The protocol could not be saved; the experiment file is unchanged."));
    return false;
  }
  protocol_ = changed;
  status_->setText(tr("Protocol saved."));
  return true;
}

}  // namespace vx::gui
