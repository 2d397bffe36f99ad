#include "shell/protocol_setup.h"

#include "zones/zone_rows.h"
#include "zones/zone_set.h"

namespace vx {

CProtocol NewProtocol(const std::string& name) {
  CProtocol protocol;
  protocol.name = name;
  protocol.diagram = kDefaultDiagram;
  return protocol;
}

bool SetProtocolImageSize(CProtocol& protocol, int width, int height) {
  if (width == protocol.width && height == protocol.height) return false;
  const bool hadSize = protocol.width > 0 && protocol.height > 0;
  ZoneSet zones;
  LoadZoneSet(protocol, zones);
  zones.SetImageSize(width, height, true, hadSize);
  StoreZoneSet(zones, protocol);
  return true;
}

}  // namespace vx
