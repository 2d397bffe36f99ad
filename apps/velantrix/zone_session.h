// What the zone commands share: an experiment file opened for one of its protocols, with the
// protocol's zones as a ZoneSet, and the table that lists zones (zone list, protocol show).
#pragma once

#include <opencv2/core/mat.hpp>

#include <map>
#include <string>

#include "commands.h"
#include "context.h"
#include "db/experiment.h"
#include "db/protocol.h"
#include "output.h"
#include "zones/zone_set.h"

namespace vx::cli {

struct ZoneSession {
  Experiment experiment;
  CProtocol protocol;
  ZoneSet zones;
};

// Opens EXP (it must be an experiment file of the current schema) and loads protocol
// protocolId with its zones. A protocol with an image size but no ruler gets its ruler, as
// the editor gives it when the size is first set. Returns kExitOk, or the failure status
// after printing the reason.
int OpenZoneSession(Context& context, const std::string& path, int protocolId, ZoneSession& session);

// Writes the zones back into the protocol and saves it; kExitOk or the failure status.
int SaveZoneSession(Context& context, ZoneSession& session);

// One row per zone: id, name, kind, rectangle, rules, areas in pixels and mm^2 (null when
// the protocol is not calibrated).
RecordTable ZoneTable(const ZoneSet& zones);

// The command-line names of the zone kinds (TypeRect 0 to 6) and detection rules.
const char* ZoneKindName(int kind);
const char* DetectModeName(int detectInZone);
// Name -> code maps of the detection rules and of the hidden-zone distance units.
const std::map<std::string, int>& DetectModeNames();
const std::map<std::string, int>& DistanceUnitNames();

// Registers `zone set` and `zone delete` on the zone verb.
void RegisterZoneEdit(CLI::App& zone, Context& context, CommandResult& result);

// Writes an image file in the format its extension names; false when it cannot be written.
bool WriteImageFile(const std::string& path, const cv::Mat& image);

}  // namespace vx::cli
