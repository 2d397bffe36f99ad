#include "detection/detection_fields.h"

#include <array>
#include <climits>

#include "base/text.h"

namespace vx {

namespace {

constexpr std::array<const char*, 6> kMethodNames = {
    "auto", "grey", "colour", "colour-full", "subtract", "subtract-advanced"};
constexpr std::array<const char*, 4> kChannelNames = {"all", "red", "green", "blue"};

// Whole sizes in cm²: far beyond any animal filmed from above, small enough to stay exact.
constexpr int kMaxSizeCm2 = 100000;

bool ReadInt(std::string_view text, int low, int high, int& value) {
  int v = 0;
  if (!TryParseInt(text, v) || v < low || v > high) return false;
  value = v;
  return true;
}

// "LOW,HIGH" with both in [low, high] and, when ordered, LOW <= HIGH.
bool ReadPair(std::string_view text, int low, int high, bool ordered, int& first, int& second) {
  const std::vector<std::string> parts = Split(text, ',', true);
  int a = 0, b = 0;
  if (parts.size() != 2 || !ReadInt(parts[0], low, high, a) || !ReadInt(parts[1], low, high, b)) {
    return false;
  }
  if (ordered && a > b) return false;
  first = a;
  second = b;
  return true;
}

std::string SetReference(DetectionSettings& s, std::string_view value) {
  static const std::string kAccepted =
      "background, none, a reference image id (1 or more) or recipe:TEXT";
  if (value == "background") {
    s.backgroundFlag = true;
    s.referenceImageId = -1;
    return {};
  }
  if (value == "none") {
    s.backgroundFlag = false;
    s.referenceImageId = -1;
    return {};
  }
  if (value.starts_with("recipe:")) {
    const std::string_view recipe = value.substr(7);
    if (!IsValidReferenceRecipe(recipe)) {
      return "recipe:FRAME; then FRAME,X,Y,WIDTH,HEIGHT; patches (for example recipe:10;250,40,30,60,50;)";
    }
    s.backgroundFlag = false;
    s.referenceImageId = 0;
    s.referenceRecipe = std::string(recipe);
    return {};
  }
  int id = 0;
  if (!ReadInt(value, 1, INT_MAX, id)) return kAccepted;
  s.backgroundFlag = false;
  s.referenceImageId = id;
  return {};
}

std::string SetSizeFilter(DetectionSettings& s, std::string_view value) {
  if (value == "animal" || value == "none") {
    s.sizeMode = value == "animal" ? kSizeAnimal : kSizeNone;
    return {};
  }
  int low = 0, high = 0;
  if (!ReadPair(value, 0, kMaxSizeCm2, true, low, high) || low == high) {
    return "animal, none or MIN,MAX in whole cm² with 0 <= MIN < MAX <= 100000";
  }
  s.sizeMode = kSizeCustom;
  s.customMinSize = low;
  s.customMaxSize = high;
  return {};
}

// Sets a named field whose value is a number or a pair; "" when name is not one of them.
bool SetNumericField(DetectionSettings& s, std::string_view name, std::string_view value,
                     bool& known) {
  known = true;
  if (name == "grey") return ReadPair(value, 0, 255, true, s.greyLow, s.greyHigh);
  if (name == "hue") return ReadInt(value, 0, 179, s.hue);
  if (name == "saturation") return ReadInt(value, 0, 255, s.saturation);
  if (name == "tolerance") return ReadInt(value, 0, 100, s.tolerance);
  if (name == "hue_band") return ReadPair(value, 0, 179, false, s.hueLow, s.hueHigh);
  if (name == "saturation_band") {
    return ReadPair(value, 0, 255, true, s.saturationLow, s.saturationHigh);
  }
  if (name == "value_band") return ReadPair(value, 0, 255, true, s.valueLow, s.valueHigh);
  known = false;
  return false;
}

std::string Pair(int a, int b) { return Format("%d,%d", a, b); }

std::string ReferenceWords(const DetectionSettings& s) {
  if (s.method == kMethodAutomatic && s.backgroundFlag) return "background";
  if (s.referenceImageId > 0) return std::to_string(s.referenceImageId);
  if (s.referenceImageId == 0) return "recipe:" + s.referenceRecipe;
  return "none";
}

std::string SizeFilterWords(const DetectionSettings& s) {
  if (s.sizeMode == kSizeAnimal) return "animal";
  if (s.sizeMode == kSizeNone) return "none";
  return Pair(s.customMinSize, s.customMaxSize);
}

}  // namespace

const std::vector<DetectionField>& DetectionFields() {
  static const std::vector<DetectionField> fields = {
      {"method", "auto, grey, colour, colour-full, subtract or subtract-advanced"},
      {"grey", "LOW,HIGH grey levels with 0 <= LOW <= HIGH <= 255 (method grey)"},
      {"hue", "0 to 179 (method colour)"},
      {"saturation", "0 to 255 (method colour)"},
      {"tolerance", "0 to 100 (method colour)"},
      {"hue_band", "LOW,HIGH, each 0 to 179; LOW above HIGH wraps through 0 (method colour-full)"},
      {"saturation_band", "LOW,HIGH with 0 <= LOW <= HIGH <= 255 (method colour-full)"},
      {"value_band", "LOW,HIGH with 0 <= LOW <= HIGH <= 255 (method colour-full)"},
      {"threshold", "0 to 255 or auto (methods subtract and subtract-advanced)"},
      {"channel", "all, red, green or blue (method subtract-advanced)"},
      {"reference", "background, none, a reference image id or recipe:TEXT"},
      {"size_filter", "animal, none or MIN,MAX in whole cm²"},
  };
  return fields;
}

const char* MethodName(int method) {
  return method >= 0 && method < static_cast<int>(kMethodNames.size()) ? kMethodNames[method] : "";
}

int MethodFromName(std::string_view name) {
  for (size_t i = 0; i < kMethodNames.size(); ++i) {
    if (name == kMethodNames[i]) return static_cast<int>(i);
  }
  return -1;
}

const char* ChannelName(int channel) {
  return channel >= 1 && channel <= 4 ? kChannelNames[channel - 1] : "";
}

int ChannelFromName(std::string_view name) {
  for (size_t i = 0; i < kChannelNames.size(); ++i) {
    if (name == kChannelNames[i]) return static_cast<int>(i) + 1;
  }
  return -1;
}

std::string SetDetectionField(DetectionSettings& settings, std::string_view name,
                              std::string_view value) {
  std::string accepted;
  for (const DetectionField& field : DetectionFields()) {
    if (name == field.name) accepted = field.accepted;
  }
  if (accepted.empty()) return Format("no detection setting is named '%s'", std::string(name).c_str());
  DetectionSettings changed = settings;
  bool known = false;
  bool ok = SetNumericField(changed, name, value, known);
  if (name == "method") {
    changed.method = MethodFromName(value);
    ok = changed.method >= 0;
  } else if (name == "channel") {
    changed.colourChannel = ChannelFromName(value);
    ok = changed.colourChannel >= 1;
  } else if (name == "threshold") {
    changed.automaticThreshold = value == "auto";
    ok = changed.automaticThreshold || ReadInt(value, 0, 255, changed.differenceThreshold);
  } else if (name == "reference" || name == "size_filter") {
    const std::string refused =
        name == "reference" ? SetReference(changed, value) : SetSizeFilter(changed, value);
    if (!refused.empty()) return refused;
    ok = true;
  }
  if (!ok) return accepted;
  settings = std::move(changed);
  return {};
}

std::vector<NamedValue> DescribeDetectionSettings(const DetectionSettings& s) {
  using K = NamedValue::Kind;
  return {
      {K::Word, "method", MethodName(s.method)},
      {K::Pair, "grey", Pair(s.greyLow, s.greyHigh)},
      {K::Number, "hue", std::to_string(s.hue)},
      {K::Number, "saturation", std::to_string(s.saturation)},
      {K::Number, "tolerance", std::to_string(s.tolerance)},
      {K::Pair, "hue_band", Pair(s.hueLow, s.hueHigh)},
      {K::Pair, "saturation_band", Pair(s.saturationLow, s.saturationHigh)},
      {K::Pair, "value_band", Pair(s.valueLow, s.valueHigh)},
      s.automaticThreshold ? NamedValue{K::Word, "threshold", "auto"}
                           : NamedValue{K::Number, "threshold", std::to_string(s.differenceThreshold)},
      {K::Word, "channel", ChannelName(s.colourChannel)},
      {s.referenceImageId > 0 && !(s.method == kMethodAutomatic && s.backgroundFlag) ? K::Number
                                                                                      : K::Word,
       "reference", ReferenceWords(s)},
      {s.sizeMode == kSizeCustom ? K::Pair : K::Word, "size_filter", SizeFilterWords(s)},
  };
}

bool IsValidReferenceRecipe(std::string_view recipe) {
  if (recipe.empty() || recipe.back() != ';') return false;
  const std::vector<std::string> items = Split(recipe.substr(0, recipe.size() - 1), ';', true);
  int frame = 0;
  if (items.empty() || !ReadInt(items[0], 0, INT_MAX, frame)) return false;
  for (size_t i = 1; i < items.size(); ++i) {
    const std::vector<std::string> parts = Split(items[i], ',', true);
    int v[5];
    if (parts.size() != 5) return false;
    for (int k = 0; k < 5; ++k) {
      if (!ReadInt(parts[k], k < 3 ? 0 : 1, INT_MAX, v[k])) return false;
    }
  }
  return true;
}

namespace {

struct StoredField {
  const char* label;
  int low, high;
};

// Tokens 1 to 22 after the version; the recipe (15) and the stamp (16) are checked apart.
const StoredField kStoredFields[] = {
    {"method", 0, 5},           {"grey low", 0, 255},        {"grey high", 0, 255},
    {"hue", 0, 179},            {"saturation", 0, 255},      {"tolerance", 0, 100},
    {"hue low", 0, 179},        {"hue high", 0, 179},        {"saturation low", 0, 255},
    {"saturation high", 0, 255}, {"value low", 0, 255},      {"value high", 0, 255},
    {"difference threshold", 0, 255}, {"reference image id", -1, INT_MAX},
    {"reference recipe", 0, 0}, {"stamp", 0, 0},             {"colour channel", 1, 4},
    {"automatic threshold", 0, 1}, {"size mode", 0, 2},     {"minimum size", 0, kMaxSizeCm2},
    {"maximum size", 0, kMaxSizeCm2}, {"background flag", 0, 1},
};

// The number of tokens a text of that version holds, the version included.
size_t TokensOfVersion(int version) {
  static const size_t counts[] = {16, 17, 18, 19, 22, 23};
  return counts[version];
}

std::string CheckToken(size_t field, const std::string& token) {
  const StoredField& f = kStoredFields[field - 1];
  if (field == 15) {
    return token.empty() || IsValidReferenceRecipe(token)
               ? std::string()
               : "field 15 (reference recipe) is not FRAME; followed by FRAME,X,Y,WIDTH,HEIGHT; patches";
  }
  int64_t stamp = 0;
  if (field == 16) {
    return token.empty() || TryParseInt64(token, stamp) ? std::string()
                                                        : "field 16 (stamp) is not a whole number";
  }
  int value = 0;
  if (ReadInt(token, f.low, f.high, value)) return {};
  return Format("field %zu (%s) must be a whole number from %d to %d", field, f.label, f.low, f.high);
}

std::string CheckOrder(const DetectionSettings& s) {
  if (s.greyLow > s.greyHigh) return "the grey band (fields 2 and 3) goes from high to low";
  if (s.saturationLow > s.saturationHigh) return "the saturation band (fields 9 and 10) goes from high to low";
  if (s.valueLow > s.valueHigh) return "the value band (fields 11 and 12) goes from high to low";
  if (s.customMinSize > s.customMaxSize) return "the minimum size (field 20) is above the maximum (field 21)";
  return {};
}

}  // namespace

bool ParseDetectionSettingsStrictly(const std::string& text, const Clock& clock,
                                    DetectionSettings& settings, std::string& problem) {
  const std::vector<std::string> tokens = Split(text, '|', true);
  int version = -1;
  if (tokens.empty() || !ReadInt(tokens[0], 0, DetectionSettings::kFormatVersion, version)) {
    problem = "the first field (the format version) must be a whole number from 0 to 5";
    return false;
  }
  const size_t expected = TokensOfVersion(version);
  if (tokens.size() != expected) {
    problem = Format("a version %d text holds %zu fields separated by '|'; this one holds %zu",
                     version, expected, tokens.size());
    return false;
  }
  for (size_t field = 1; field < expected; ++field) {
    problem = CheckToken(field, tokens[field]);
    if (!problem.empty()) return false;
  }
  DetectionSettings read = ParseDetectionSettings(text, clock);
  problem = CheckOrder(read);
  if (!problem.empty()) return false;
  settings = std::move(read);
  return true;
}

std::string MissingReference(const DetectionSettings& s) {
  if (s.method != kMethodSubtraction && s.method != kMethodSubtractionAdvanced) return {};
  if (s.referenceImageId >= 0) return {};
  return "it compares every frame with a reference image from the image library or composed by "
         "a recipe; a background computed from the video serves the automatic method only";
}

}  // namespace vx
