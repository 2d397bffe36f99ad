// A test's detection settings: the method that finds the animal in its frames, the method's
// thresholds and colour bands, where the reference image comes from, and how blob sizes are
// filtered. Stored as one line of text in Tests.ParamsDetection.
//
// Text form (version 5): 23 fields separated by '|': the version, then the fields below in
// order (booleans as 1 or 0, the stamp as a 64-bit integer, the recipe unchanged).
#pragma once

#include <opencv2/core/mat.hpp>

#include <cstdint>
#include <string>

namespace vx {

class Clock;

// The detection methods, by their stored codes.
enum DetectionMethod : int {
  kMethodAutomatic = 0,         // grey difference against a background, Otsu threshold
  kMethodGrayscale = 1,         // grey level inside a band
  kMethodColorSimplified = 2,   // HSV near one hue and saturation, within a tolerance
  kMethodColorFull = 3,         // HSV inside three ranges
  kMethodSubtraction = 4,       // difference against a grey reference image
  kMethodSubtractionAdvanced = 5,  // difference against a colour reference, one channel or all
  kMethodNone = 6,              // nothing configured: detection does nothing
};

// Colour channel choices of the advanced subtraction.
enum ColourChannel : int { kChannelAll = 1, kChannelRed = 2, kChannelGreen = 3, kChannelBlue = 4 };

// Size filter modes.
enum SizeMode : int { kSizeNone = 0, kSizeAnimal = 1, kSizeCustom = 2 };

struct DetectionSettings {
  static constexpr int kFormatVersion = 5;

  int method = kMethodAutomatic;
  int greyLow = 0;            // method 1, 0..255
  int greyHigh = 255;
  int hue = 90;               // method 2, OpenCV hue units 0..179
  int saturation = 127;       // method 2, 0..255
  int tolerance = 50;         // method 2, 0..100
  int hueLow = 0;             // method 3; hueLow > hueHigh wraps through 0
  int hueHigh = 179;
  int saturationLow = 0;
  int saturationHigh = 255;
  int valueLow = 0;
  int valueHigh = 255;
  int differenceThreshold = 20;  // methods 4 and 5, 0..255
  int referenceImageId = -1;  // -1 none; 0 composed by the recipe; > 0 an ImgRef id
  std::string referenceRecipe;  // "%d;" then any number of "%d,%d,%d,%d,%d;"
  int64_t stamp = 0;          // seconds since 1970 at reset; see SaveDetectionSettings
  int colourChannel = kChannelAll;
  bool automaticThreshold = false;
  int sizeMode = kSizeAnimal;
  int customMinSize = 10;     // cm²
  int customMaxSize = 30;     // cm²
  bool backgroundFlag = true;  // method 0: the reference is a background of the test's video

  // In memory only: the reference image (8-bit grey or colour; empty when none).
  cv::Mat referenceImage;

  DetectionSettings() = default;
  // Copies are deep: the reference image is cloned.
  DetectionSettings(const DetectionSettings& other);
  DetectionSettings& operator=(const DetectionSettings& other);
  DetectionSettings(DetectionSettings&&) = default;
  DetectionSettings& operator=(DetectionSettings&&) = default;

  // Every field to its default, the stamp to the clock's current time, no reference image.
  void Reset(const Clock& clock);

  // Whether the user changed anything that matters: the stamp and the images do not count;
  // the background flag counts only for method 0.
  bool operator==(const DetectionSettings& other) const;
  bool operator!=(const DetectionSettings& other) const { return !(*this == other); }
};

// The stored text of the settings.
std::string FormatDetectionSettings(const DetectionSettings& settings);

// Reads any version 0..5 after a reset (stamp from the clock). A missing token ends the
// reading and leaves later fields at their defaults; an out-of-range method, channel or size
// mode keeps its default. Never fails.
DetectionSettings ParseDetectionSettings(const std::string& text, const Clock& clock);

// Names for lists: the string ids of methods 0..5 (211, 109, 346, 111, 307, 807) and of the
// channels 1..4 (808..811), and their built-in English labels. -1 / "" outside the range.
int MethodNameId(int method);
int ChannelNameId(int channel);
const char* MethodLabel(int method);
const char* ChannelLabel(int channel);

}  // namespace vx
