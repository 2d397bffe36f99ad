// The detection settings flags shared by "test add", "test set" and "detect": the stored text
// (read strictly) and the named fields, one flag each, applied on top of it.
#pragma once

#include <string>
#include <vector>

#include "detection/detection_settings.h"

namespace CLI {
class App;
}  // namespace CLI

namespace vx::cli {

struct Context;

// Filled while the command line is parsed (CLI11 forgets its counts once parsing ends).
struct DetectionFlags {
  std::string textFlag;
  std::string text;
  bool textGiven = false;
  std::vector<std::string> values;  // one per named field (DetectionFields())
  std::vector<bool> given;

  // Whether any detection flag was given.
  bool Given() const;
};

// Adds the stored-text flag (textFlag, e.g. "--detection") and one flag per named field,
// except the field named skip (a command whose own flag of that name means something else).
void AddDetectionFlags(CLI::App& command, DetectionFlags& flags, const std::string& textFlag,
                       const std::string& skip = "");

// Applies the given flags on settings: the stored text first (it replaces every field), then
// each named flag. kExitOk, or kExitUsage after saying which flag is wrong (settings may then
// be half changed; nothing has been written).
int ApplyDetectionFlags(Context& context, const DetectionFlags& flags, DetectionSettings& settings);

// The same on a stored text (an empty one reads as the defaults), which is rewritten in the
// normalised form only when a flag was given.
int ApplyDetectionFlagsToText(Context& context, const DetectionFlags& flags, std::string& text);

// The settings in words, one "name: value" line each, then the stored text they were read
// from (an empty text reads as the defaults).
std::string DetectionSettingsLines(const DetectionSettings& settings, const std::string& text,
                                   const std::string& indent);
// The settings as a JSON object of named fields plus "text", the stored text.
std::string DetectionSettingsJson(const DetectionSettings& settings, const std::string& text);

}  // namespace vx::cli
