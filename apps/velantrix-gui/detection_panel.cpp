#include "detection_panel.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <functional>

#include "detection/detection_fields.h"

namespace vx::gui {

namespace {

std::string PairText(int low, int high) { return std::to_string(low) + "," + std::to_string(high); }

QSpinBox* Spin(int low, int high, const QString& suffix = QString()) {
  auto* spin = new QSpinBox;
  spin->setRange(low, high);
  spin->setSuffix(suffix);
  return spin;
}

void Quietly(QWidget* widget, const std::function<void()>& change) {
  const bool blocked = widget->blockSignals(true);
  change();
  widget->blockSignals(blocked);
}

// Full colour is shown in degrees (hue 0..359, stored halved) and percent (stored x 255 / 100).
int ToDegrees(int hue) { return hue * 2; }
int FromDegrees(int degrees) { return std::min(179, degrees / 2); }
int ToPercent(int level) { return (level * 100 + 127) / 255; }
int FromPercent(int percent) { return percent * 255 / 100; }

}  // namespace

SliderSpin::SliderSpin(int low, int high, QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  slider_ = new QSlider(Qt::Horizontal);
  slider_->setRange(low, high);
  spin_ = Spin(low, high);
  layout->addWidget(slider_, 1);
  layout->addWidget(spin_);
  connect(slider_, &QSlider::valueChanged, this, [this](int v) {
    Quietly(spin_, [&] { spin_->setValue(v); });
    emit valueChanged(v);
  });
  connect(spin_, &QSpinBox::valueChanged, this, [this](int v) {
    Quietly(slider_, [&] { slider_->setValue(v); });
    emit valueChanged(v);
  });
}

int SliderSpin::value() const { return spin_->value(); }

void SliderSpin::setValue(int value) {
  Quietly(slider_, [&] { slider_->setValue(value); });
  Quietly(spin_, [&] { spin_->setValue(value); });
}

DetectionPanel::DetectionPanel(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  method_ = new QComboBox;
  for (int m = kMethodAutomatic; m <= kMethodSubtractionAdvanced; ++m) method_->addItem(QString::fromUtf8(MethodLabel(m)), m);
  auto* methodForm = new QFormLayout;
  methodForm->addRow(tr("Method"), method_);
  layout->addLayout(methodForm);
  pages_ = new QStackedWidget;
  QWidget* subtraction = SubtractionPage();
  pages_->addWidget(subtraction);  // automatic: the same page, the background choice shown
  pages_->addWidget(GreyPage());
  pages_->addWidget(SimpleColourPage());
  pages_->addWidget(FullColourPage());
  layout->addWidget(pages_);
  layout->addWidget(SizePage());
  layout->addStretch(1);
  connect(method_, &QComboBox::currentIndexChanged, this, [this] {
    Set("method", MethodName(method_->currentData().toInt()), true);
    Fill();
  });
}

QWidget* DetectionPanel::GreyPage() {
  auto* page = new QGroupBox(tr("Grey levels of the animal"));
  auto* form = new QFormLayout(page);
  greyLow_ = new SliderSpin(0, 255);
  greyHigh_ = new SliderSpin(0, 255);
  form->addRow(tr("From"), greyLow_);
  form->addRow(tr("To"), greyHigh_);
  // Dragging one bound past the other takes the other along, so that the band stays valid.
  connect(greyLow_, &SliderSpin::valueChanged, this, [this](int low) {
    if (low > greyHigh_->value()) greyHigh_->setValue(low);
    Set("grey", PairText(low, greyHigh_->value()));
  });
  connect(greyHigh_, &SliderSpin::valueChanged, this, [this](int high) {
    if (high < greyLow_->value()) greyLow_->setValue(high);
    Set("grey", PairText(greyLow_->value(), high));
  });
  return page;
}

QWidget* DetectionPanel::SimpleColourPage() {
  auto* page = new QGroupBox(tr("Colour of the animal"));
  auto* form = new QFormLayout(page);
  hue_ = Spin(0, 179);
  saturation_ = Spin(0, 255);
  tolerance_ = new SliderSpin(0, 100);
  swatch_ = new QLabel;
  swatch_->setFixedSize(40, 20);
  form->addRow(tr("Hue"), hue_);
  form->addRow(tr("Saturation"), saturation_);
  form->addRow(tr("Tolerance"), tolerance_);
  form->addRow(tr("Colour"), swatch_);
  connect(hue_, &QSpinBox::valueChanged, this, [this](int v) { Set("hue", std::to_string(v)); Fill(); });
  connect(saturation_, &QSpinBox::valueChanged, this, [this](int v) { Set("saturation", std::to_string(v)); Fill(); });
  connect(tolerance_, &SliderSpin::valueChanged, this, [this](int v) { Set("tolerance", std::to_string(v)); });
  return page;
}

QWidget* DetectionPanel::FullColourPage() {
  auto* page = new QGroupBox(tr("Colour ranges of the animal"));
  auto* form = new QFormLayout(page);
  auto row = [&](const QString& label, QSpinBox* low, QSpinBox* high) {
    auto* line = new QHBoxLayout;
    line->addWidget(low);
    line->addWidget(new QLabel(tr("to")));
    line->addWidget(high);
    form->addRow(label, line);
  };
  hueLow_ = Spin(0, 359, QString::fromUtf8("°"));
  hueHigh_ = Spin(0, 359, QString::fromUtf8("°"));
  satLow_ = Spin(0, 100, " %");
  satHigh_ = Spin(0, 100, " %");
  valLow_ = Spin(0, 100, " %");
  valHigh_ = Spin(0, 100, " %");
  row(tr("Hue"), hueLow_, hueHigh_);
  row(tr("Saturation"), satLow_, satHigh_);
  row(tr("Value"), valLow_, valHigh_);
  auto hue = [this] { Set("hue_band", PairText(FromDegrees(hueLow_->value()), FromDegrees(hueHigh_->value()))); };
  auto band = [this](const char* name, QSpinBox* low, QSpinBox* high) {
    return [this, name, low, high] {
      if (!Set(name, PairText(FromPercent(low->value()), FromPercent(high->value())))) Fill();
    };
  };
  connect(hueLow_, &QSpinBox::valueChanged, this, hue);
  connect(hueHigh_, &QSpinBox::valueChanged, this, hue);
  connect(satLow_, &QSpinBox::valueChanged, this, band("saturation_band", satLow_, satHigh_));
  connect(satHigh_, &QSpinBox::valueChanged, this, band("saturation_band", satLow_, satHigh_));
  connect(valLow_, &QSpinBox::valueChanged, this, band("value_band", valLow_, valHigh_));
  connect(valHigh_, &QSpinBox::valueChanged, this, band("value_band", valLow_, valHigh_));
  return page;
}

QWidget* DetectionPanel::SubtractionPage() {
  auto* page = new QGroupBox(tr("Difference with the empty arena"));
  auto* form = new QFormLayout(page);
  subtractionForm_ = form;
  background_ = new QCheckBox(tr("Background computed from the test's video"));
  form->addRow(background_);
  reference_ = new QComboBox;
  form->addRow(tr("Reference image"), reference_);
  autoThreshold_ = new QCheckBox(tr("Automatic threshold"));
  form->addRow(autoThreshold_);
  threshold_ = new SliderSpin(0, 255);
  form->addRow(tr("Threshold"), threshold_);
  channel_ = new QComboBox;
  for (int c = kChannelAll; c <= kChannelBlue; ++c) channel_->addItem(QString::fromUtf8(ChannelLabel(c)), c);
  form->addRow(tr("Channel"), channel_);
  connect(threshold_, &SliderSpin::valueChanged, this, [this](int v) { Set("threshold", std::to_string(v)); });
  connect(autoThreshold_, &QCheckBox::toggled, this, [this](bool on) {
    Set("threshold", on ? "auto" : std::to_string(threshold_->value()));
    Fill();
  });
  connect(channel_, &QComboBox::currentIndexChanged, this,
          [this] { Set("channel", ChannelName(channel_->currentData().toInt())); });
  connect(background_, &QCheckBox::toggled, this, [this](bool on) {
    Set("reference", on ? "background" : "none", true);
    Fill();
  });
  connect(reference_, &QComboBox::activated, this, [this](int index) {
    const int id = shownReferences_[static_cast<size_t>(index)].id;
    if (id > 0) Set("reference", std::to_string(id), true);
  });
  return page;
}

QWidget* DetectionPanel::SizePage() {
  auto* page = new QGroupBox(tr("Size of the animal"));
  auto* form = new QFormLayout(page);
  sizeMode_ = new QComboBox;
  sizeMode_->addItem(tr("Any size"), kSizeNone);
  sizeMode_->addItem(tr("The animal's size"), kSizeAnimal);
  sizeMode_->addItem(tr("From ... to ..."), kSizeCustom);
  form->addRow(tr("Keep blobs of"), sizeMode_);
  sizeMin_ = Spin(0, 100000, QString::fromUtf8(" cm²"));
  sizeMax_ = Spin(0, 100000, QString::fromUtf8(" cm²"));
  auto* line = new QHBoxLayout;
  line->addWidget(sizeMin_);
  line->addWidget(new QLabel(tr("to")));
  line->addWidget(sizeMax_);
  form->addRow(tr("Custom size"), line);
  auto apply = [this] {
    const int mode = sizeMode_->currentData().toInt();
    const std::string value = mode == kSizeNone ? "none" : mode == kSizeAnimal ? "animal" : PairText(sizeMin_->value(), sizeMax_->value());
    if (!Set("size_filter", value)) Fill();
    sizeMin_->setEnabled(mode == kSizeCustom);
    sizeMax_->setEnabled(mode == kSizeCustom);
  };
  connect(sizeMode_, &QComboBox::currentIndexChanged, this, apply);
  connect(sizeMin_, &QSpinBox::editingFinished, this, apply);
  connect(sizeMax_, &QSpinBox::editingFinished, this, apply);
  return page;
}

bool DetectionPanel::Set(const std::string& name, const std::string& value, bool reference) {
  const std::string refused = SetDetectionField(settings_, name, value);
  if (!refused.empty()) {
    emit Refused(tr("%1: %2").arg(QString::fromStdString(name), QString::fromStdString(refused)));
    return false;
  }
  emit SettingsEdited(reference);
  return true;
}

void DetectionPanel::Show(const DetectionSettings& settings, const std::vector<ReferenceChoice>& library,
                          const std::vector<ReferenceChoice>& colourLibrary) {
  settings_ = settings;
  library_ = library;
  colourLibrary_ = colourLibrary;
  Fill();
}

void DetectionPanel::UseLibraryImage(int id, const std::vector<ReferenceChoice>& library,
                                     const std::vector<ReferenceChoice>& colourLibrary) {
  library_ = library;
  colourLibrary_ = colourLibrary;
  Set("reference", std::to_string(id), true);
  Fill();
}

void DetectionPanel::Fill() {
  const DetectionSettings& s = settings_;
  const int method = s.method;
  Quietly(method_, [&] { method_->setCurrentIndex(method_->findData(method)); });
  const bool subtraction = method == kMethodAutomatic || method >= kMethodSubtraction;
  pages_->setCurrentIndex(subtraction ? 0 : method);
  greyLow_->setValue(s.greyLow);
  greyHigh_->setValue(s.greyHigh);
  Quietly(hue_, [&] { hue_->setValue(s.hue); });
  Quietly(saturation_, [&] { saturation_->setValue(s.saturation); });
  tolerance_->setValue(s.tolerance);
  swatch_->setStyleSheet(QString("background: %1").arg(QColor::fromHsv(s.hue * 2, s.saturation, 220).name()));
  for (auto [spin, value] : {std::pair{hueLow_, ToDegrees(s.hueLow)}, {hueHigh_, ToDegrees(s.hueHigh)},
                             {satLow_, ToPercent(s.saturationLow)}, {satHigh_, ToPercent(s.saturationHigh)},
                             {valLow_, ToPercent(s.valueLow)}, {valHigh_, ToPercent(s.valueHigh)}}) {
    Quietly(spin, [&] { spin->setValue(value); });
  }
  threshold_->setValue(s.differenceThreshold);
  Quietly(autoThreshold_, [&] { autoThreshold_->setChecked(method == kMethodAutomatic || s.automaticThreshold); });
  autoThreshold_->setEnabled(method != kMethodAutomatic);
  subtractionForm_->setRowVisible(threshold_, method != kMethodAutomatic && !s.automaticThreshold);
  subtractionForm_->setRowVisible(channel_, method == kMethodSubtractionAdvanced);
  Quietly(channel_, [&] { channel_->setCurrentIndex(channel_->findData(s.colourChannel)); });
  subtractionForm_->setRowVisible(background_, method == kMethodAutomatic);
  Quietly(background_, [&] { background_->setChecked(s.backgroundFlag); });
  FillReferences();
  reference_->setEnabled(method != kMethodAutomatic || !s.backgroundFlag);
  Quietly(sizeMode_, [&] { sizeMode_->setCurrentIndex(sizeMode_->findData(s.sizeMode)); });
  Quietly(sizeMin_, [&] { sizeMin_->setValue(s.customMinSize); });
  Quietly(sizeMax_, [&] { sizeMax_->setValue(s.customMaxSize); });
  sizeMin_->setEnabled(s.sizeMode == kSizeCustom);
  sizeMax_->setEnabled(s.sizeMode == kSizeCustom);
}

void DetectionPanel::FillReferences() {
  int chosen = 0;
  shownReferences_ = ReferenceChoices(settings_, settings_.method == kMethodSubtractionAdvanced ? colourLibrary_ : library_, chosen);
  Quietly(reference_, [&] {
    reference_->clear();
    for (const ReferenceChoice& choice : shownReferences_) reference_->addItem(QString::fromStdString(choice.label));
    reference_->setCurrentIndex(chosen);
  });
}

}  // namespace vx::gui
