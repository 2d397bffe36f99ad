// Setting up a protocol's record the way every program does: a new protocol with the default
// stage diagram, and a new image size that the zones and the ruler follow.
#pragma once

#include <string>

#include "db/protocol.h"

namespace vx {

// A protocol not stored yet, with the default diagram.
CProtocol NewProtocol(const std::string& name);

// Gives the protocol the camera's image size. A protocol without a size gets its default
// ruler with it (so that the calibration exists before the first zone); one with a size has
// its zones and ruler scaled to the new one. False when the size is unchanged (nothing done).
bool SetProtocolImageSize(CProtocol& protocol, int width, int height);

}  // namespace vx
