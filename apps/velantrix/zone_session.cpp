#include "zone_session.h"

#include <opencv2/imgcodecs.hpp>

#include <cmath>

#include "base/text.h"
#include "db/protocol_store.h"
#include "experiment_access.h"
#include "zones/calibration.h"
#include "zones/zone_geometry.h"
#include "zones/zone_rows.h"

namespace vx::cli {

const char* ZoneKindName(int kind) {
  static const char* const kNames[] = {"rect", "rounded", "ellipse", "line", "ruler", "combined", "polygon"};
  return kind >= 0 && kind <= kKindPolygon ? kNames[kind] : "unknown";
}

const char* DetectModeName(int detectInZone) {
  switch (detectInZone) {
    case kDetectCentre: return "centre";
    case kDetectHead: return "head";
    case kDetectBody: return "body";
    default: return "none";
  }
}

const std::map<std::string, int>& DetectModeNames() {
  static const std::map<std::string, int> kNames = {{"centre", kDetectCentre}, {"head", kDetectHead},
                                                    {"body", kDetectBody}};
  return kNames;
}

const std::map<std::string, int>& DistanceUnitNames() {
  static const std::map<std::string, int> kNames = {{"cm", 0}, {"mm", 1}};
  return kNames;
}

int OpenZoneSession(Context& context, const std::string& path, int protocolId, ZoneSession& session) {
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, session.experiment, status)) return status;
  const CProtocol* protocol = session.experiment.FindProtocol(protocolId);
  if (protocol == nullptr) {
    return context.Fail(Format("There is no protocol %d in '%s'.", protocolId, path.c_str()));
  }
  session.protocol = *protocol;
  LoadZoneSet(session.protocol, session.zones);
  if (session.zones.Ruler() == nullptr && session.zones.imageWidth > 0 && session.zones.imageHeight > 0) {
    session.zones.SetImageSize(session.zones.imageWidth, session.zones.imageHeight, true, false);
  }
  return kExitOk;
}

int SaveZoneSession(Context& context, ZoneSession& session) {
  StoreZoneSet(session.zones, session.protocol);
  if (!SaveProtocol(session.experiment, session.protocol, true)) {
    return context.Fail(Format("The protocol %d could not be saved; the experiment file is unchanged.",
                               session.protocol.id));
  }
  return kExitOk;
}

RecordTable ZoneTable(const ZoneSet& zones) {
  RecordTable table({"id", "name", "kind", "left", "top", "right", "bottom", "arena", "detect",
                     "entry", "exit", "hidden", "hidden_distance", "hidden_unit", "movable",
                     "area_px", "area_mm2", "geometry", "points"});
  const double ratio = MmPerPixel(zones);
  for (const auto& zone : zones.Zones()) {
    const PixelRect r = zone->GetRect();
    const int64_t area = zone->GetArea();
    table.Add({Cell::Int(zone->id), Cell::Str(zone->GetName()), Cell::Str(ZoneKindName(zone->GetTypeRect())),
               Cell::Int(r.left), Cell::Int(r.top), Cell::Int(r.right), Cell::Int(r.bottom),
               Cell::Bool(zone->isArena != 0), Cell::Str(DetectModeName(zone->detectInZone)),
               Cell::Int(zone->percentEntry), Cell::Int(zone->percentExit), Cell::Bool(zone->hidden != 0),
               Cell::Int(zone->hiddenDistance), Cell::Str(zone->hiddenUnit == 0 ? "cm" : "mm"),
               Cell::Bool(zone->IsMovable()), Cell::Int(area),
               Cell::Real(ratio > 0 ? static_cast<double>(area) * ratio * ratio : NAN, 3),
               Cell::Str(NamedGeometryOf(*zone)), Cell::Str(zone->GetPointsText())});
  }
  return table;
}

bool WriteImageFile(const std::string& path, const cv::Mat& image) {
  try {
    return cv::imwrite(path, image);
  } catch (const cv::Exception&) {  // an unknown extension, an unwritable folder
    return false;
  }
}

}  // namespace vx::cli
