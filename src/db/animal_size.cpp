#include "db/animal_size.h"

#include <cmath>
#include <iterator>

#include "base/text.h"

namespace vx {

namespace {

struct LevelPoint {
  int level;
  double size;
};

constexpr LevelPoint kPoints[] = {{10, 5},  {20, 10}, {30, 20},   {40, 30},  {70, 50},
                                  {80, 55}, {170, 100}, {240, 125}, {360, 185}};

struct Preset {
  int minLevel;
  int maxLevel;
};

constexpr Preset kPresets[] = {{10, 30}, {20, 40},  {30, 70},  {30, 100},
                               {80, 240}, {170, 360}, {10, 70}, {30, 360}};

// Below the first point the size falls by half a cm² per level; above the last it grows along
// the slope of the last segment.
constexpr double kLowSlope = 0.5;
constexpr double kHighSlope = (185.0 - 125.0) / (360.0 - 240.0);

}  // namespace

double SizeFromLevel(int level) {
  if (level < 1) return -1;
  const LevelPoint& first = kPoints[0];
  const LevelPoint& last = kPoints[std::size(kPoints) - 1];
  if (level < first.level) return first.size - (first.level - level) * kLowSlope;
  if (level > last.level) return last.size + (level - last.level) * kHighSlope;
  for (size_t i = 0; i + 1 < std::size(kPoints); ++i) {
    const LevelPoint& a = kPoints[i];
    const LevelPoint& b = kPoints[i + 1];
    if (level == a.level) return a.size;
    if (level < b.level) {
      return a.size + (b.size - a.size) * (level - a.level) / static_cast<double>(b.level - a.level);
    }
  }
  return last.size;
}

int LevelFromSize(double size) {
  const LevelPoint& first = kPoints[0];
  const LevelPoint& last = kPoints[std::size(kPoints) - 1];
  double level = 0;
  if (size < first.size) {
    level = first.level - (first.size - size) / kLowSlope;
  } else if (size >= last.size) {
    level = last.level + (size - last.size) / kHighSlope;
  } else {
    for (size_t i = 0; i + 1 < std::size(kPoints); ++i) {
      const LevelPoint& a = kPoints[i];
      const LevelPoint& b = kPoints[i + 1];
      if (size < b.size) {
        level = a.level + (size - a.size) * (b.level - a.level) / (b.size - a.size);
        break;
      }
    }
  }
  const int rounded = RoundHalfAway(level);
  return rounded < 1 ? 1 : rounded;
}

int PresetOfLevels(int minLevel, int maxLevel) {
  for (size_t i = 0; i < std::size(kPresets); ++i) {
    if (kPresets[i].minLevel == minLevel && kPresets[i].maxLevel == maxLevel) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

AnimalSizeSetting SettingFromLevels(int minLevel, int maxLevel) {
  AnimalSizeSetting setting;
  setting.minLevel = minLevel;
  setting.maxLevel = maxLevel;
  setting.preset = PresetOfLevels(minLevel, maxLevel);
  setting.minSize = RoundHalfAway(SizeFromLevel(minLevel));
  setting.maxSize = RoundHalfAway(SizeFromLevel(maxLevel));
  return setting;
}

AnimalSizeSetting SettingFromSizes(int minSize, int maxSize) {
  AnimalSizeSetting setting;
  setting.minSize = minSize;
  setting.maxSize = maxSize;
  setting.minLevel = LevelFromSize(minSize);
  setting.maxLevel = LevelFromSize(maxSize);
  setting.preset = PresetOfLevels(setting.minLevel, setting.maxLevel);
  return setting;
}

std::string FormatAnimalSize(const AnimalSizeSetting& setting) {
  return Format("%d|%d|%d|%d|%d|%d|%d", 0, 1, setting.preset, setting.minSize, setting.maxSize,
                setting.minLevel, setting.maxLevel);
}

bool ParseAnimalSize(const std::string& text, AnimalSizeSetting& setting) {
  const std::vector<std::string> tokens = Split(text, '|', false);
  if (tokens.size() < 7) return false;
  int values[7];
  for (int i = 0; i < 7; ++i) {
    if (!TryParseInt(tokens[i], values[i])) return false;
  }
  setting.preset = values[2];
  setting.minSize = values[3];
  setting.maxSize = values[4];
  setting.minLevel = values[5];
  setting.maxLevel = values[6];
  return true;
}

}  // namespace vx
