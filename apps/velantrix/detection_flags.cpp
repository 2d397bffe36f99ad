#include "detection_flags.h"

#include <CLI/CLI.hpp>

#include <algorithm>

#include "base/text.h"
#include "context.h"
#include "detection/detection_fields.h"
#include "output.h"

namespace vx::cli {

namespace {

std::string FlagOf(const char* name) {
  std::string flag = name;
  for (char& c : flag) c = c == '_' ? '-' : c;
  return "--" + flag;
}

}  // namespace

bool DetectionFlags::Given() const {
  if (textGiven) return true;
  for (bool g : given) {
    if (g) return true;
  }
  return false;
}

void AddDetectionFlags(CLI::App& command, DetectionFlags& flags, const std::string& textFlag,
                       const std::string& skip) {
  flags.textFlag = textFlag;
  command.add_option_function<std::string>(
      textFlag,
      [&flags](const std::string& text) {
        flags.text = text;
        flags.textGiven = true;
      },
      "Detection settings in their stored text form (23 fields separated by '|'); named flags "
      "apply on top");
  const std::vector<DetectionField>& fields = DetectionFields();
  flags.values.assign(fields.size(), "");
  flags.given.assign(fields.size(), false);
  for (size_t i = 0; i < fields.size(); ++i) {
    if (skip == fields[i].name) continue;
    command
        .add_option_function<std::string>(
            FlagOf(fields[i].name),
            [&flags, i](const std::string& value) {
              flags.values[i] = value;
              flags.given[i] = true;
            },
            std::string("Detection: ") + fields[i].accepted)
        ->group("Detection settings by name");
  }
}

int ApplyDetectionFlags(Context& context, const DetectionFlags& flags, DetectionSettings& settings) {
  if (flags.textGiven) {
    std::string problem;
    if (!ParseDetectionSettingsStrictly(flags.text, context.clock, settings, problem)) {
      return context.Fail(Format("%s: %s.", flags.textFlag.c_str(), problem.c_str()), kExitUsage);
    }
  }
  const std::vector<DetectionField>& fields = DetectionFields();
  for (size_t i = 0; i < fields.size(); ++i) {
    if (!flags.given[i]) continue;
    const std::string refused = SetDetectionField(settings, fields[i].name, flags.values[i]);
    if (!refused.empty()) {
      return context.Fail(Format("%s '%s': expected %s.", FlagOf(fields[i].name).c_str(),
                                 flags.values[i].c_str(), refused.c_str()),
                          kExitUsage);
    }
  }
  const bool namedGiven = std::find(flags.given.begin(), flags.given.end(), true) != flags.given.end();
  if (const std::string missing = MissingReference(settings); namedGiven && !missing.empty()) {
    return context.Fail(Format("--method %s needs --reference IMAGE_ID or recipe:TEXT: %s.",
                               MethodName(settings.method), missing.c_str()),
                        kExitUsage);
  }
  return kExitOk;
}

int ApplyDetectionFlagsToText(Context& context, const DetectionFlags& flags, std::string& text) {
  if (!flags.Given()) return kExitOk;
  DetectionSettings settings = ParseDetectionSettings(text, context.clock);
  if (const int status = ApplyDetectionFlags(context, flags, settings); status != kExitOk) {
    return status;
  }
  text = FormatDetectionSettings(settings);
  return kExitOk;
}

std::string DetectionSettingsLines(const DetectionSettings& settings, const std::string& text,
                                   const std::string& indent) {
  std::string lines;
  for (const NamedValue& value : DescribeDetectionSettings(settings)) {
    lines += indent + value.name + ": " + value.value + "\n";
  }
  return lines + indent + "text: " + (text.empty() ? "(empty: the defaults)" : text) + "\n";
}

std::string DetectionSettingsJson(const DetectionSettings& settings, const std::string& text) {
  std::string json = "{";
  for (const NamedValue& value : DescribeDetectionSettings(settings)) {
    json += JsonString(value.name) + ": ";
    if (value.kind == NamedValue::Number) {
      json += value.value;
    } else if (value.kind == NamedValue::Pair) {
      const std::vector<std::string> parts = Split(value.value, ',', true);
      json += "[" + parts[0] + ", " + parts[1] + "]";
    } else {
      json += JsonString(value.value);
    }
    json += ", ";
  }
  return json + "\"text\": " + JsonString(text) + "}";
}

}  // namespace vx::cli
