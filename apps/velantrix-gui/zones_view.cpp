#include "zones_view.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QToolBar>
#include <QVBoxLayout>

#include <opencv2/imgcodecs.hpp>

#include "analysis/arena_background.h"
#include "base/messages.h"
#include "db/protocol_store.h"
#include "zone_settings_dialog.h"
#include "zones/arena_finder.h"
#include "zones/calibration.h"
#include "zones/draw_boolean.h"
#include "zones/zone_rows.h"

namespace vx::gui {

namespace {

constexpr int kProtocolPicture = -1;

}  // namespace

ZonesView::ZonesView(Experiment& experiment, Services& services, QWidget* parent)
    : QWidget(parent), experiment_(experiment), services_(services) {
  canvas_ = new ZoneCanvas(zones_, undo_, this);
  auto* bar = new QToolBar;
  BuildTools(bar);

  auto* side = new QVBoxLayout;
  auto* pictureBox = new QGroupBox(tr("Picture"));
  auto* pictureForm = new QFormLayout(pictureBox);
  picture_ = new QComboBox;
  frame_ = new QSpinBox;
  pictureForm->addRow(picture_);
  pictureForm->addRow(tr("Frame"), frame_);
  side->addWidget(pictureBox);

  side->addWidget(new QLabel(tr("Zones (double click: settings)")));
  list_ = new QListWidget;
  side->addWidget(list_, 1);

  auto* calibration = new QGroupBox(tr("Calibration"));
  auto* calibrationForm = new QFormLayout(calibration);
  rulerLength_ = new QSpinBox;
  rulerLength_->setRange(0, 1000000);
  rulerUnit_ = new QComboBox;
  rulerUnit_->addItem("cm", 0);
  rulerUnit_->addItem("mm", 1);
  auto* lengthRow = new QHBoxLayout;
  lengthRow->addWidget(rulerLength_);
  lengthRow->addWidget(rulerUnit_);
  calibrationForm->addRow(tr("Ruler length"), lengthRow);
  ratio_ = new QLabel;
  ratio_->setWordWrap(true);
  calibrationForm->addRow(ratio_);
  side->addWidget(calibration);

  side->addWidget(new QLabel(tr("Secondary arenas")));
  arenas_ = new QListWidget;
  arenas_->setMaximumHeight(80);
  side->addWidget(arenas_);
  auto* save = new QPushButton(tr("Save the protocol"));
  side->addWidget(save);

  auto* main = new QVBoxLayout(this);
  main->addWidget(bar);
  auto* body = new QHBoxLayout;
  body->addWidget(canvas_, 1);
  body->addLayout(side);
  main->addLayout(body, 1);

  connect(save, &QPushButton::clicked, this, [this] { Save(); });
  connect(picture_, &QComboBox::activated, this, [this] { ChoosePicture(); });
  connect(frame_, &QSpinBox::valueChanged, this, [this](int frame) { ShowFrame(frame); });
  connect(canvas_, &ZoneCanvas::ZonesEdited, this, [this] {
    RefreshRuler(zones_, rulerLength_->value(), rulerUnit_->currentData().toInt());
    RefreshList();
    RefreshCalibration();
  });
  connect(canvas_, &ZoneCanvas::ZoneActivated, this, &ZonesView::EditZone);
  connect(canvas_, &ZoneCanvas::SecondaryArenaDrawn, this, &ZonesView::AddSecondaryArena);
  connect(canvas_, &ZoneCanvas::SelectionChanged, this, [this](int id) {
    for (int row = 0; row < list_->count(); ++row) {
      if (list_->item(row)->data(Qt::UserRole).toInt() == id) list_->setCurrentRow(row);
    }
  });
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) canvas_->SelectZone(list_->item(row)->data(Qt::UserRole).toInt());
  });
  connect(list_, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { EditZone(item->data(Qt::UserRole).toInt()); });
  auto calibrate = [this] {
    RefreshRuler(zones_, rulerLength_->value(), rulerUnit_->currentData().toInt());
    RefreshCalibration();
  };
  connect(rulerLength_, &QSpinBox::valueChanged, this, calibrate);
  connect(rulerUnit_, &QComboBox::currentIndexChanged, this, calibrate);
}

void ZonesView::BuildTools(QToolBar* bar) {
  auto* tools = new QActionGroup(this);
  const std::pair<QString, ZoneTool> kinds[] = {
      {tr("Select"), ZoneTool::Select},         {tr("Rectangle"), ZoneTool::Rectangle},
      {tr("Rounded"), ZoneTool::RoundRect},     {tr("Ellipse"), ZoneTool::Ellipse},
      {tr("Polygon"), ZoneTool::Polygon},       {tr("Line"), ZoneTool::Line},
      {tr("Ruler"), ZoneTool::Ruler},           {tr("Secondary arena"), ZoneTool::SecondaryArena}};
  for (const auto& [label, tool] : kinds) {
    QAction* action = bar->addAction(label);
    action->setCheckable(true);
    action->setChecked(tool == ZoneTool::Select);
    tools->addAction(action);
    connect(action, &QAction::triggered, this, [this, tool = tool] { canvas_->SetTool(tool); });
  }
  bar->addSeparator();
  connect(bar->addAction(tr("Combined zone")), &QAction::triggered, this, &ZonesView::AddCombinedZone);
  connect(bar->addAction(tr("Delete")), &QAction::triggered, this, &ZonesView::DeleteSelected);
  connect(bar->addAction(tr("Suggest arena")), &QAction::triggered, this, &ZonesView::SuggestArena);
  bar->addSeparator();
  QAction* undo = undo_.createUndoAction(this, tr("Undo"));
  undo->setShortcut(QKeySequence::Undo);
  QAction* redo = undo_.createRedoAction(this, tr("Redo"));
  redo->setShortcut(QKeySequence::Redo);
  bar->addAction(undo);
  bar->addAction(redo);
  connect(bar->addAction(tr("Fit")), &QAction::triggered, canvas_, &FrameCanvas::FitToWindow);
}

bool ZonesView::ShowProtocol(int protocolId) {
  const CProtocol* protocol = experiment_.FindProtocol(protocolId);
  if (protocol == nullptr) return false;
  protocol_ = *protocol;
  zones_ = ZoneSet();
  LoadZoneSet(protocol_, zones_);
  if (zones_.Ruler() == nullptr && zones_.imageWidth > 0 && zones_.imageHeight > 0) {
    zones_.SetImageSize(zones_.imageWidth, zones_.imageHeight, true, false);
  }
  undo_.clear();
  picture_->clear();
  if (!protocol_.screenShotJpeg.empty()) picture_->addItem(tr("Protocol picture"), kProtocolPicture);
  for (const auto& [id, test] : experiment_.tests) {
    if (test.idProtocol == protocolId && test.source >= 0) {
      picture_->addItem(tr("Video of test %1: %2").arg(id).arg(QString::fromStdString(test.title)), id);
    }
  }
  rulerLength_->blockSignals(true);
  rulerLength_->setValue(zones_.rulerLength);
  rulerLength_->blockSignals(false);
  rulerUnit_->setCurrentIndex(zones_.rulerUnit == 0 ? 0 : 1);
  ChoosePicture();
  RefreshList();
  RefreshCalibration();
  return true;
}

void ZonesView::ChoosePicture() {
  const int choice = picture_->count() == 0 ? kProtocolPicture - 1 : picture_->currentData().toInt();
  cv::Mat picture;
  frame_->setEnabled(choice >= 0);
  if (choice == kProtocolPicture) {
    picture = cv::imdecode(protocol_.screenShotJpeg, cv::IMREAD_COLOR);
  } else if (choice >= 0) {
    const QString problem = video_.Open(experiment_, choice);
    if (!problem.isEmpty()) Warn(problem);
    frame_->blockSignals(true);
    frame_->setRange(0, std::max(0, video_.FrameCount() - 1));
    frame_->blockSignals(false);
    picture = video_.Frame(frame_->value()).clone();
  }
  if (!picture.empty() && (zones_.imageWidth < 1 || zones_.imageHeight < 1)) {
    zones_.SetImageSize(picture.cols, picture.rows, true, false);
  }
  canvas_->SetBackground(picture);
}

void ZonesView::ShowFrame(int frame) {
  if (!video_.IsOpen()) return;
  canvas_->SetBackground(video_.Frame(frame));
}

void ZonesView::RefreshList() {
  const int selected = canvas_->SelectedZone();
  list_->blockSignals(true);
  list_->clear();
  for (const auto& zone : zones_.Zones()) {
    QString label = QString::fromStdString(zone->GetName());
    if (zone->isArena != 0) label += tr(" (main arena)");
    if (zone->hidden != 0) label += tr(" (hidden)");
    if (zone->IsMovable()) label += tr(" (movable)");
    auto* item = new QListWidgetItem(label, list_);
    item->setData(Qt::UserRole, zone->id);
    if (zone->id == selected) list_->setCurrentItem(item);
  }
  list_->blockSignals(false);
  arenas_->clear();
  arenas_->addItem(QString::fromStdString(zones_.mainArenaName));
  for (const tSecondaryArena& arena : zones_.secondaryArenas) arenas_->addItem(QString::fromStdString(arena.name));
}

void ZonesView::RefreshCalibration() {
  const double ratio = MmPerPixel(zones_);
  ratio_->setText(ratio > 0 ? tr("1 pixel = %1 mm").arg(ratio, 0, 'f', 4)
                            : tr("Not calibrated: draw the ruler along an object of known length and type its length."));
}

void ZonesView::EditZone(int zoneId) {
  CDrawObj* zone = zones_.FindZone(zoneId);
  if (zone == nullptr) return;
  if (zone->isRuler != 0) {  // the ruler has no settings but its length
    rulerLength_->setFocus();
    rulerLength_->selectAll();
    return;
  }
  const ZoneSet before = zones_;
  ZoneSettingsDialog dialog(zones_, *zone, protocol_.headDetection, services_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const ZoneDialogResult& result = dialog.Result();
  ApplyZoneSettings(zones_, *zone, result.settings);
  if (auto* combined = dynamic_cast<CDrawBoolean*>(zone)) combined->SetCombination(result.operation, result.components);
  protocol_.headDetection = result.headDetection;
  canvas_->Commit(before, tr("Zone settings"));
}

void ZonesView::AddCombinedZone() {
  const ZoneSet before = zones_;
  CDrawObj* zone = zones_.AddZone(MakeShape(kKindCombined, zones_));
  ZoneSettingsDialog dialog(zones_, *zone, protocol_.headDetection, services_, this);
  if (dialog.exec() != QDialog::Accepted) {
    zones_ = before;
    canvas_->Refresh();
    return;
  }
  ApplyZoneSettings(zones_, *zone, dialog.Result().settings);
  static_cast<CDrawBoolean*>(zone)->SetCombination(dialog.Result().operation, dialog.Result().components);
  protocol_.headDetection = dialog.Result().headDetection;
  const int id = zone->id;
  canvas_->Commit(before, tr("Combined zone"));
  canvas_->SelectZone(id);
}

void ZonesView::DeleteSelected() {
  const ZoneSet before = zones_;
  int refusal = 0;
  if (!zones_.RemoveZone(canvas_->SelectedZone(), &refusal)) {
    if (refusal != 0) services_.notifier->Notify(refusal, MessageText(refusal), MessageIcon::Exclamation);
    return;
  }
  canvas_->Commit(before, tr("Delete a zone"));
}

void ZonesView::AddSecondaryArena(const PixelRect& rect) {
  bool ok = false;
  const QString name = QInputDialog::getText(this, tr("Secondary arena"), tr("Name of the arena"), QLineEdit::Normal,
                                             tr("Arena %1").arg(zones_.secondaryArenas.size() + 2), &ok);
  if (!ok) return;
  const ZoneSet before = zones_;
  if (!vx::AddSecondaryArena(zones_, name.trimmed().toStdString(), rect)) {
    return Warn(tr("An arena needs a name without \"|\" or \";\"."));
  }
  canvas_->Commit(before, tr("Secondary arena"));
}

void ZonesView::SuggestArena() {
  cv::Mat picture;
  if (video_.IsOpen()) {
    // The empty arena: the background of the whole video, as the analysis computes it.
    VideoSource& source = video_.Source();
    picture = ComputeArenaBackground(source, DetectionContext(), 0, video_.FrameCount() - 1).image;
  } else if (!protocol_.screenShotJpeg.empty()) {
    picture = cv::imdecode(protocol_.screenShotJpeg, cv::IMREAD_COLOR);
  }
  const ArenaSuggestion suggestion = picture.empty() ? ArenaSuggestion() : FindArena(picture);
  if (!suggestion.found) {
    return Warn(tr("No arena found: no even floor stands out from its surroundings away from the image's edges."));
  }
  const ZoneSet before = zones_;
  const int id = ApplySuggestedArena(zones_, suggestion)->id;  // the commit replaces the zones
  canvas_->Commit(before, tr("Suggested arena"));
  canvas_->SelectZone(id);
}

bool ZonesView::Save() {
  const int refusal = ValidateZonesPage(zones_, rulerLength_->value());
  if (refusal != 0) {
    services_.notifier->Notify(refusal, MessageText(refusal), MessageIcon::Exclamation);
    if (refusal == msg::kRulerLengthMissing) {
      rulerLength_->setFocus();
      rulerLength_->selectAll();
    }
    return false;
  }
  RefreshRuler(zones_, rulerLength_->value(), rulerUnit_->currentData().toInt());
  CProtocol changed = protocol_;
  StoreZoneSet(zones_, changed);
  if (!SaveProtocol(experiment_, changed, true)) {
    Warn(tr("The protocol could not be saved; the experiment file is unchanged."));
    return false;
  }
  protocol_ = changed;
  zones_.modified = false;
  undo_.setClean();
  return true;
}

void ZonesView::Warn(const QString& text) {
  services_.notifier->Notify(0, text.toStdString(), MessageIcon::Exclamation);
}

}  // namespace vx::gui
