#include "zone_settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cstdlib>

#include "base/messages.h"
#include "zones/calibration.h"
#include "zones/draw_boolean.h"

namespace vx::gui {

namespace {

QString Text(int id) { return QString::fromUtf8(MessageText(id)); }

// The rule choices in the order the dialog offers them, with their DetectInZone values.
constexpr int kRuleOrder[] = {kDetectCentre, kDetectBody, kDetectHead};
constexpr int kRuleText[] = {msg::kDetectByCentre, msg::kDetectByBody, msg::kDetectByHead};

// Component choices of a combined zone, in the table's combo boxes.
enum ComponentUse { kUnused = 0, kInside = 1, kComplement = 2 };

}  // namespace

ZoneSettingsDialog::ZoneSettingsDialog(const ZoneSet& set, const CDrawObj& zone, bool headDetection,
                                       Services& services, QWidget* parent)
    : QDialog(parent), set_(set), zone_(zone), services_(services) {
  setWindowTitle(tr("Zone: %1").arg(QString::fromStdString(zone.GetName())));
  result_.headDetection = headDetection;
  const ZoneSettings now = SettingsOf(zone);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  layout->addLayout(form);

  name_ = new QLineEdit(QString::fromStdString(now.name));
  name_->setEnabled(zone.isRuler == 0);
  form->addRow(tr("Name"), name_);
  arena_ = new QCheckBox(tr("This zone is the main arena"));
  arena_->setChecked(now.isArena);
  arena_->setEnabled(CanBeArena(zone.GetTypeRect()));
  form->addRow(QString(), arena_);

  rule_ = new QComboBox;
  for (int i = 0; i < 3; ++i) rule_->addItem(Text(kRuleText[i]), kRuleOrder[i]);
  rule_->setCurrentIndex(rule_->findData(now.detectInZone));
  form->addRow(tr("The animal is in the zone by"), rule_);
  entry_ = new QSpinBox;
  entry_->setRange(0, 100);
  entry_->setSuffix(" %");
  entry_->setValue(now.percentEntry);
  form->addRow(tr("Entry when inside more than"), entry_);
  exit_ = new QSpinBox;
  exit_->setRange(0, 100);
  exit_->setSuffix(" %");
  exit_->setValue(now.percentExit);
  form->addRow(tr("Exit when inside less than"), exit_);
  sameForAll_ = new QCheckBox(tr("The position of the zone is the same for all the tests"));
  sameForAll_->setChecked(now.sameForAllTests);
  form->addRow(QString(), sameForAll_);

  hidden_ = new QCheckBox(tr("Hidden zone (the animal cannot be seen inside)"));
  hidden_->setChecked(now.hidden);
  form->addRow(QString(), hidden_);
  hiddenDistance_ = new QSpinBox;
  hiddenDistance_->setRange(0, 10000);
  hiddenDistance_->setValue(now.hiddenDistance);
  hiddenUnit_ = new QComboBox;
  hiddenUnit_->addItem("cm", 0);
  hiddenUnit_->addItem("mm", 1);
  hiddenUnit_->setCurrentIndex(now.hiddenUnit == 1 ? 1 : 0);
  auto* distanceRow = new QHBoxLayout;
  distanceRow->addWidget(hiddenDistance_);
  distanceRow->addWidget(hiddenUnit_);
  form->addRow(tr("Seen again within"), distanceRow);

  if (zone.IsCombined()) BuildCombination(this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &ZoneSettingsDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &ZoneSettingsDialog::reject);
  connect(rule_, &QComboBox::currentIndexChanged, this, &ZoneSettingsDialog::FollowRule);
  connect(hidden_, &QCheckBox::toggled, this, &ZoneSettingsDialog::FollowRule);
  connect(arena_, &QCheckBox::toggled, this, &ZoneSettingsDialog::FollowRule);
  FollowRule();
}

void ZoneSettingsDialog::BuildCombination(QWidget* page) {
  const auto& combined = static_cast<const CDrawBoolean&>(zone_);
  auto* form = static_cast<QFormLayout*>(page->layout()->itemAt(0)->layout());
  operation_ = new QComboBox;
  operation_->addItem(tr("Union: in any of the zones"), kCombineUnion);
  operation_->addItem(tr("Intersection: in all of the zones"), kCombineIntersection);
  operation_->setCurrentIndex(combined.Operation() == kCombineIntersection ? 1 : 0);
  form->addRow(tr("Combination"), operation_);
  components_ = new QTableWidget(0, 2);
  components_->setHorizontalHeaderLabels({tr("Zone"), tr("Use")});
  components_->horizontalHeader()->setStretchLastSection(true);
  components_->verticalHeader()->hide();
  for (const auto& other : set_.Zones()) {
    if (other.get() == &zone_ || !other->HasArea() || other->IsCombined()) continue;
    const int row = components_->rowCount();
    components_->insertRow(row);
    auto* name = new QTableWidgetItem(QString::fromStdString(other->GetName()));
    name->setData(Qt::UserRole, other->id);
    name->setFlags(Qt::ItemIsEnabled);
    components_->setItem(row, 0, name);
    auto* use = new QComboBox;
    use->addItems({tr("not used"), tr("inside the zone"), tr("outside the zone")});
    for (int id : combined.Components()) {
      if (std::abs(id) == other->id) use->setCurrentIndex(id < 0 ? kComplement : kInside);
    }
    components_->setCellWidget(row, 1, use);
  }
  form->addRow(tr("Zones"), components_);
}

void ZoneSettingsDialog::FollowRule() {
  const bool framed = !zone_.IsArenaOrRuler() && !arena_->isChecked();
  const bool body = rule_->currentData().toInt() == kDetectBody;
  rule_->setEnabled(framed);
  entry_->setEnabled(framed && body);
  exit_->setEnabled(framed && body);
  sameForAll_->setEnabled(framed);
  hidden_->setEnabled(framed);
  hiddenDistance_->setEnabled(framed && hidden_->isChecked());
  hiddenUnit_->setEnabled(framed && hidden_->isChecked());
}

ZoneSettings ZoneSettingsDialog::Typed() const {
  ZoneSettings s;
  s.name = name_->text().toStdString();
  s.isArena = arena_->isChecked();
  s.detectInZone = rule_->currentData().toInt();
  s.percentEntry = entry_->value();
  s.percentExit = exit_->value();
  s.sameForAllTests = sameForAll_->isChecked();
  s.hidden = hidden_->isChecked();
  s.hiddenDistance = hiddenDistance_->value();
  s.hiddenUnit = hiddenUnit_->currentData().toInt();
  return s;
}

void ZoneSettingsDialog::accept() {
  ZoneSettings settings = Typed();
  bool head = result_.headDetection;
  const int refusal = ConfirmZoneSettings(set_, zone_, settings, MmPerPixel(set_), head, *services_.asker);
  if (refusal != 0) {
    // Declining the head question is a cancel, not an error to report.
    if (refusal != msg::kSwitchHeadDetectionOn) {
      services_.notifier->Notify(refusal, MessageText(refusal), MessageIcon::Exclamation);
    }
    (refusal == msg::kEnterName ? static_cast<QWidget*>(name_) : static_cast<QWidget*>(exit_))->setFocus();
    return;
  }
  result_.settings = settings;
  result_.headDetection = head;
  if (components_ != nullptr) {
    result_.operation = operation_->currentData().toInt();
    result_.components.clear();
    for (int row = 0; row < components_->rowCount(); ++row) {
      const int id = components_->item(row, 0)->data(Qt::UserRole).toInt();
      const int use = static_cast<QComboBox*>(components_->cellWidget(row, 1))->currentIndex();
      if (use != kUnused) result_.components.push_back(use == kComplement ? -id : id);
    }
  }
  QDialog::accept();
}

}  // namespace vx::gui
