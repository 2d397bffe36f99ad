// The settings side of the detection view: the method, then the panel of the chosen method
// (grey band; simplified colour; full colour in degrees and percent; image subtraction with
// its threshold, channel and reference image), and the size filter. Every edit goes through
// the core's named detection fields (SetDetectionField), so the panel accepts exactly what
// the command line accepts, and is announced at once so that the view re-detects the frame.
#pragma once

#include <QWidget>

#include <string>
#include <vector>

#include "detection/detection_settings.h"
#include "detection/reference_choices.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QSlider;
class QSpinBox;
class QStackedWidget;

namespace vx::gui {

// A slider with its spin box, kept in step.
class SliderSpin : public QWidget {
  Q_OBJECT

 public:
  SliderSpin(int low, int high, QWidget* parent = nullptr);
  int value() const;
  void setValue(int value);  // without signalling
  QSlider* slider() const { return slider_; }

 signals:
  void valueChanged(int value);

 private:
  QSlider* slider_;
  QSpinBox* spin_;
};

class DetectionPanel : public QWidget {
  Q_OBJECT

 public:
  explicit DetectionPanel(QWidget* parent = nullptr);

  // Shows settings; library: the experiment's reference images (all of them; the advanced
  // subtraction lists only colour ones, given as colourLibrary).
  void Show(const DetectionSettings& settings, const std::vector<ReferenceChoice>& library,
            const std::vector<ReferenceChoice>& colourLibrary);
  const DetectionSettings& Settings() const { return settings_; }
  // Makes library image id the reference (just stored), with the library lists updated.
  void UseLibraryImage(int id, const std::vector<ReferenceChoice>& library,
                       const std::vector<ReferenceChoice>& colourLibrary);

  // The controls, for tests and the view's tuning.
  QComboBox* Method() const { return method_; }
  SliderSpin* GreyLow() const { return greyLow_; }
  SliderSpin* GreyHigh() const { return greyHigh_; }
  SliderSpin* Threshold() const { return threshold_; }

 signals:
  // referenceChanged: the reference image must be prepared again before detecting.
  void SettingsEdited(bool referenceChanged);
  // A value the core refused (the text says what the field accepts).
  void Refused(const QString& text);

 private:
  QWidget* GreyPage();
  QWidget* SimpleColourPage();
  QWidget* FullColourPage();
  QWidget* SubtractionPage();
  QWidget* SizePage();
  // Sets a named field; false (and Refused) when the core refused it.
  bool Set(const std::string& name, const std::string& value, bool reference = false);
  void Fill();
  void FillReferences();

  DetectionSettings settings_;
  std::vector<ReferenceChoice> library_, colourLibrary_, shownReferences_;
  QComboBox* method_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  SliderSpin *greyLow_ = nullptr, *greyHigh_ = nullptr;
  QSpinBox *hue_ = nullptr, *saturation_ = nullptr;
  SliderSpin* tolerance_ = nullptr;
  QLabel* swatch_ = nullptr;
  QSpinBox *hueLow_ = nullptr, *hueHigh_ = nullptr, *satLow_ = nullptr, *satHigh_ = nullptr;
  QSpinBox *valLow_ = nullptr, *valHigh_ = nullptr;
  SliderSpin* threshold_ = nullptr;
  QCheckBox* autoThreshold_ = nullptr;
  QComboBox* channel_ = nullptr;
  QCheckBox* background_ = nullptr;
  QComboBox* reference_ = nullptr;
  QFormLayout* subtractionForm_ = nullptr;
  QComboBox* sizeMode_ = nullptr;
  QSpinBox *sizeMin_ = nullptr, *sizeMax_ = nullptr;
};

}  // namespace vx::gui
