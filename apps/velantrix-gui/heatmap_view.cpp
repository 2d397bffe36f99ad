#include "heatmap_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "base/platform.h"
#include "gui_session.h"
#include "image_label.h"
#include "measures/test_measure_data.h"
#include "measures/heat_map_picture.h"
#include "measures/image_measures.h"
#include "test_picker.h"

namespace vx::gui {

namespace {

constexpr const char* kSection = "HeatMap";
constexpr int kBlurSliderMax = 50;  // the blur divisor is 60 minus the slider's position

class HeatMapView : public QWidget {
 public:
  HeatMapView(GuiSession& session, QWidget* parent)
      : QWidget(parent),
        session_(session),
        test_(new TestPicker(session, this)),
        spot_(new QComboBox(this)),
        blur_(new QCheckBox("Blur", this)),
        blurAmount_(new QSlider(Qt::Horizontal, this)),
        palette_(new QComboBox(this)),
        picture_(new ImageLabel(this)),
        caption_(new QLabel(this)) {
    spot_->setObjectName("spot");
    spot_->addItem("Automatic (animal's size)", -1);
    for (int divisor = 10; divisor <= 50; divisor += 5) {
      spot_->addItem(QString("1/%1 of the arena").arg(divisor), divisor);
    }
    blurAmount_->setRange(0, kBlurSliderMax);
    palette_->addItem("Viridis", static_cast<int>(HeatPalette::kViridis));
    palette_->addItem("Inferno", static_cast<int>(HeatPalette::kInferno));
    picture_->setObjectName("heatmap");
    ReadSettings();

    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel("Test", this));
    bar->addWidget(test_, 1);
    bar->addWidget(new QLabel("Spot", this));
    bar->addWidget(spot_);
    bar->addWidget(blur_);
    bar->addWidget(blurAmount_);
    bar->addWidget(new QLabel("Colours", this));
    bar->addWidget(palette_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(picture_, 1);
    layout->addWidget(caption_);

    connect(test_, &TestPicker::TestChosen, this, &HeatMapView::Draw);
    connect(spot_, &QComboBox::activated, this, &HeatMapView::SettingsChanged);
    connect(palette_, &QComboBox::activated, this, &HeatMapView::SettingsChanged);
    connect(blur_, &QCheckBox::toggled, this, &HeatMapView::SettingsChanged);
    connect(blurAmount_, &QSlider::valueChanged, this, &HeatMapView::SettingsChanged);
    Draw();
  }

 private:
  void ReadSettings() {
    const SettingsStore& settings = *session_.services().settings;
    spot_->setCurrentIndex(std::max(0, spot_->findData(settings.GetInt(kSection, "Spot", -1))));
    const int blur = settings.GetInt(kSection, "Blur", 0);
    blur_->setChecked(blur > 0);
    blurAmount_->setValue(blur > 0 ? std::clamp(60 - blur, 0, kBlurSliderMax) : 30);
    palette_->setCurrentIndex(std::max(0, palette_->findData(settings.GetInt(kSection, "Palette", 0))));
  }

  HeatMapSettings Settings() const {
    return {spot_->currentData().toInt(), blur_->isChecked() ? 60 - blurAmount_->value() : 0};
  }

  void SettingsChanged() {
    SettingsStore& settings = *session_.services().settings;
    const HeatMapSettings chosen = Settings();
    settings.SetInt(kSection, "Spot", chosen.spot);
    settings.SetInt(kSection, "Blur", chosen.blur);
    settings.SetInt(kSection, "Palette", palette_->currentData().toInt());
    blurAmount_->setEnabled(blur_->isChecked());
    Draw();
  }

  void Draw() {
    blurAmount_->setEnabled(blur_->isChecked());
    picture_->SetImage({});
    caption_->clear();
    const int testId = test_->testId();
    if (test_->count() == 0) {
      picture_->SetText("No test is analysed yet: analyse one on the Analysis page.");
      return;
    }
    auto data = std::make_unique<TestMeasureData>();
    if (LoadTestMeasureData(session_.experiment(), testId, *data) != TestDataStatus::kOk) {
      picture_->SetText(QString("Test %1 could not be read.").arg(testId));
      return;
    }
    MeasureDefinition definition;
    definition.measure = kMeasureHeatMap;
    const HeatMapSettings chosen = Settings();
    definition.heatMap = {0, chosen.spot, chosen.blur};
    const std::optional<ResultImage> image = ComputeImageMeasure(session_.experiment(), definition, *data);
    if (!image) {
      picture_->SetText(QString("Test %1 has no point to draw.").arg(testId));
      return;
    }
    const HeatCanvas canvas = TestCanvas(session_.experiment(), *data);
    const auto palette = static_cast<HeatPalette>(palette_->currentData().toInt());
    picture_->SetImage(ToQImage(HeatMapPicture(*image, canvas, &data->zones, palette)));
    caption_->setText(QString("At most %1 s on one pixel.").arg(image->maximumMs / 1000.0, 0, 'f', 3));
  }

  GuiSession& session_;
  TestPicker* test_;
  QComboBox* spot_;
  QCheckBox* blur_;
  QSlider* blurAmount_;
  QComboBox* palette_;
  ImageLabel* picture_;
  QLabel* caption_;
};

}  // namespace

QWidget* MakeHeatMapView(GuiSession& session, int, QWidget* parent) { return new HeatMapView(session, parent); }

}  // namespace vx::gui
