// Detection settings by name: how a user gives each setting without writing the stored text,
// how the settings read back in words, and the strict reading of a stored text typed by hand.
//
// The names are those of the command line's flags (with '_' where a flag has '-'): method,
// grey, hue, saturation, tolerance, hue_band, saturation_band, value_band, threshold,
// channel, reference, size_filter. Each takes one text: a name ("auto"), a number, or a pair
// "LOW,HIGH".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "detection/detection_settings.h"

namespace vx {

class Clock;

struct DetectionField {
  const char* name;      // "hue_band"
  const char* accepted;  // what the value may be, for help and refusals
};

// Every named field, in the order they are shown.
const std::vector<DetectionField>& DetectionFields();

// The short names of the methods in their stored order ("auto", "grey", "colour",
// "colour-full", "subtract", "subtract-advanced") and of the channels 1..4 ("all", "red",
// "green", "blue"); "" outside the range. The FromName functions give -1 for an unknown name.
const char* MethodName(int method);
int MethodFromName(std::string_view name);
const char* ChannelName(int channel);
int ChannelFromName(std::string_view name);

// Sets the named field from its text. "" on success; otherwise the settings are unchanged and
// the text says what the field accepts.
std::string SetDetectionField(DetectionSettings& settings, std::string_view name,
                              std::string_view value);

// One field in words, as SetDetectionField takes it back.
struct NamedValue {
  enum Kind { Number, Pair, Word } kind = Word;
  std::string name;
  std::string value;  // "90", "0,179" or "auto"
};
std::vector<NamedValue> DescribeDetectionSettings(const DetectionSettings& settings);

// Reads a stored text typed by a user: every field its version (0 to 5) promises is present,
// nothing follows, every number parses and lies in its field's range, bands go from low to
// high and the recipe is well formed. On success settings holds the text's values (formatting
// them gives the normalised stored form); otherwise problem names the first faulty field.
bool ParseDetectionSettingsStrictly(const std::string& text, const Clock& clock,
                                    DetectionSettings& settings, std::string& problem);

// Why the settings cannot find an animal as they stand ("" when they can): the image-difference
// methods other than auto have no background of their own, so without a library image or a
// recipe every frame would be compared with nothing.
std::string MissingReference(const DetectionSettings& settings);

// A reference recipe: "%d;" then any number of "%d,%d,%d,%d,%d;" (frame, x, y, width,
// height), frames not negative and patches not empty.
bool IsValidReferenceRecipe(std::string_view recipe);

}  // namespace vx
