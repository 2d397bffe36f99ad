// Animal size settings and the size-level conversion.
//
// A size level (a positive integer on the settings' slider) maps to a size in cm² through nine
// fixed points; a setting is seven integers "0|1|preset|min size|max size|min level|max level".
#pragma once

#include <string>

namespace vx {

struct AnimalSizeSetting {
  int preset = 6;
  int minSize = 5;    // cm²
  int maxSize = 50;   // cm²
  int minLevel = 10;
  int maxLevel = 70;
};

// Size (cm²) of a level: exact points, linear in between, extrapolated above 360 along the
// 240..360 segment, 5 - (10 - level) * 0.5 below 10, -1 below 1.
double SizeFromLevel(int level);
// The level whose size is closest to size (the inverse of SizeFromLevel); at least 1.
int LevelFromSize(double size);
// Preset number of a (minimum, maximum) level pair, -1 for any other pair.
int PresetOfLevels(int minLevel, int maxLevel);
// A setting built from two levels: sizes from the conversion (rounded), the pair's preset.
AnimalSizeSetting SettingFromLevels(int minLevel, int maxLevel);
// A setting built from two sizes (cm², kept as given): levels by the inverse conversion, the
// preset of that level pair.
AnimalSizeSetting SettingFromSizes(int minSize, int maxSize);

std::string FormatAnimalSize(const AnimalSizeSetting& setting);
// False (and the setting untouched) when the text is not a seven-integer setting.
bool ParseAnimalSize(const std::string& text, AnimalSizeSetting& setting);

}  // namespace vx
