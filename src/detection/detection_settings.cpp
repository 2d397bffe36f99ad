#include "detection/detection_settings.h"

#include <cinttypes>

#include "base/platform.h"
#include "base/text.h"

namespace vx {

DetectionSettings::DetectionSettings(const DetectionSettings& other) { *this = other; }

DetectionSettings& DetectionSettings::operator=(const DetectionSettings& other) {
  if (this == &other) return *this;
  method = other.method;
  greyLow = other.greyLow;
  greyHigh = other.greyHigh;
  hue = other.hue;
  saturation = other.saturation;
  tolerance = other.tolerance;
  hueLow = other.hueLow;
  hueHigh = other.hueHigh;
  saturationLow = other.saturationLow;
  saturationHigh = other.saturationHigh;
  valueLow = other.valueLow;
  valueHigh = other.valueHigh;
  differenceThreshold = other.differenceThreshold;
  referenceImageId = other.referenceImageId;
  referenceRecipe = other.referenceRecipe;
  stamp = other.stamp;
  colourChannel = other.colourChannel;
  automaticThreshold = other.automaticThreshold;
  sizeMode = other.sizeMode;
  customMinSize = other.customMinSize;
  customMaxSize = other.customMaxSize;
  backgroundFlag = other.backgroundFlag;
  referenceImage = other.referenceImage.clone();
  return *this;
}

void DetectionSettings::Reset(const Clock& clock) {
  *this = DetectionSettings();
  stamp = clock.NowSeconds();
}

bool DetectionSettings::operator==(const DetectionSettings& o) const {
  const bool same = method == o.method && greyLow == o.greyLow && greyHigh == o.greyHigh &&
                    hue == o.hue && saturation == o.saturation && tolerance == o.tolerance &&
                    hueLow == o.hueLow && hueHigh == o.hueHigh &&
                    saturationLow == o.saturationLow && saturationHigh == o.saturationHigh &&
                    valueLow == o.valueLow && valueHigh == o.valueHigh &&
                    differenceThreshold == o.differenceThreshold &&
                    referenceImageId == o.referenceImageId &&
                    referenceRecipe == o.referenceRecipe && colourChannel == o.colourChannel &&
                    automaticThreshold == o.automaticThreshold && sizeMode == o.sizeMode &&
                    customMinSize == o.customMinSize && customMaxSize == o.customMaxSize;
  if (!same) return false;
  return method != kMethodAutomatic || backgroundFlag == o.backgroundFlag;
}

std::string FormatDetectionSettings(const DetectionSettings& s) {
  return Format("%d|%d|%d|%d|%d|%d|%d|%d|%d|%d|%d|%d|%d|%d|%d|%s|%" PRId64 "|%d|%d|%d|%d|%d|%d",
                DetectionSettings::kFormatVersion, s.method, s.greyLow, s.greyHigh, s.hue,
                s.saturation, s.tolerance, s.hueLow, s.hueHigh, s.saturationLow,
                s.saturationHigh, s.valueLow, s.valueHigh, s.differenceThreshold,
                s.referenceImageId, s.referenceRecipe.c_str(), s.stamp, s.colourChannel,
                s.automaticThreshold ? 1 : 0, s.sizeMode, s.customMinSize, s.customMaxSize,
                s.backgroundFlag ? 1 : 0);
}

namespace {

// Reads the fields in their stored order; every read fails once a token is missing, after
// which the remaining fields keep their defaults.
class FieldReader {
 public:
  explicit FieldReader(const std::string& text) : tokens_(text, '|', true) {}
  bool Int(int& field) {
    std::string token;
    if (!tokens_.Next(token)) return false;
    field = ToInt(token);
    return true;
  }
  bool Int64(int64_t& field) {
    std::string token;
    if (!tokens_.Next(token)) return false;
    field = ToInt64(token);
    return true;
  }
  bool Text(std::string& field) { return tokens_.Next(field); }

 private:
  Tokenizer tokens_;
};

bool ReadBandsAndReference(FieldReader& in, DetectionSettings& s) {
  int method = 0;
  if (!in.Int(method)) return false;
  if (method >= kMethodAutomatic && method <= kMethodSubtractionAdvanced) s.method = method;
  return in.Int(s.greyLow) && in.Int(s.greyHigh) && in.Int(s.hue) && in.Int(s.saturation) &&
         in.Int(s.tolerance) && in.Int(s.hueLow) && in.Int(s.hueHigh) &&
         in.Int(s.saturationLow) && in.Int(s.saturationHigh) && in.Int(s.valueLow) &&
         in.Int(s.valueHigh) && in.Int(s.differenceThreshold) && in.Int(s.referenceImageId) &&
         in.Text(s.referenceRecipe);
}

void ReadVersionedFields(FieldReader& in, int version, DetectionSettings& s) {
  if (version < 1) {
    s.stamp = 0;
    s.colourChannel = kChannelAll;
  } else if (!in.Int64(s.stamp)) {
    return;
  }
  if (version >= 2) {
    int channel = kChannelAll;
    if (!in.Int(channel)) return;
    s.colourChannel = channel < 5 ? channel : kChannelAll;
  }
  s.automaticThreshold = false;
  if (version >= 3) {
    int automatic = 0;
    if (!in.Int(automatic)) return;
    s.automaticThreshold = automatic != 0;
  }
  if (version >= 4) {
    int mode = kSizeAnimal;
    if (!in.Int(mode)) return;
    if (mode >= kSizeNone && mode <= kSizeCustom) s.sizeMode = mode;
    if (!in.Int(s.customMinSize) || !in.Int(s.customMaxSize)) return;
  }
  if (version >= 5) {
    int background = 1;
    if (!in.Int(background)) return;
    s.backgroundFlag = background != 0;
  }
}

}  // namespace

DetectionSettings ParseDetectionSettings(const std::string& text, const Clock& clock) {
  DetectionSettings settings;
  settings.Reset(clock);
  FieldReader in(text);
  int version = 0;
  if (!in.Int(version)) return settings;
  if (!ReadBandsAndReference(in, settings)) return settings;
  ReadVersionedFields(in, version, settings);
  return settings;
}

int MethodNameId(int method) {
  static const int ids[] = {211, 109, 346, 111, 307, 807};
  return method >= 0 && method <= 5 ? ids[method] : -1;
}

int ChannelNameId(int channel) { return channel >= 1 && channel <= 4 ? 807 + channel : -1; }

const char* MethodLabel(int method) {
  static const char* labels[] = {"Automatic",         "Grayscale",
                                 "Color ( Simplified )", "Color ( full )",
                                 "Image substraction", "Image substraction ( advanced )"};
  return method >= 0 && method <= 5 ? labels[method] : "";
}

const char* ChannelLabel(int channel) {
  static const char* labels[] = {"RVB", "Rouge", "Vert", "Bleu"};
  return channel >= 1 && channel <= 4 ? labels[channel - 1] : "";
}

}  // namespace vx
