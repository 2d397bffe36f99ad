// A report's settings by name, for people who never write a Config text: the measure (name or
// number), its zones by name, its periods, value kind, unit and precision. The names of
// measures, value kinds and units are those of measures/measure_names.h.
//
// Periods: "whole"; "slices:DURATION"; "periods:NAME=START-END,..."; "events:START/END" with
// the conditions "never", "immediately", "after:DURATION", "active:DURATION",
// "inactive:DURATION", "in:ZONE:DURATION", "entered:ZONE:N", "out:ZONE:DURATION",
// "left:ZONE:N". Durations and times: a whole number with "s", "min" or "h" (a bare number is
// seconds).
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "db/protocol.h"
#include "measures/measure_definition.h"

namespace vx {

struct ReportField {
  const char* name;      // "measure", "zones", "periods", "value", "unit", "precision"
  const char* accepted;  // for help and refusals
};

// In the order they must be applied (value and unit names depend on the measure).
const std::vector<ReportField>& ReportFields();

// Sets one named field; zones are looked up in protocol. "" on success; otherwise the
// definition is unchanged and the text says what is accepted.
std::string SetReportField(MeasureDefinition& definition, const CProtocol& protocol,
                           std::string_view name, std::string_view value);

// The definition in words, (name, value) in the order of ReportFields(), as SetReportField
// takes them back.
std::vector<std::pair<std::string, std::string>> DescribeReport(const MeasureDefinition& definition,
                                                                const CProtocol& protocol);

// "90s" -> 90, "5min" -> 300, "1h" -> 3600, "45" -> 45 (seconds); false when malformed,
// negative or beyond a year.
bool ParseSeconds(std::string_view text, int64_t& seconds);

}  // namespace vx
