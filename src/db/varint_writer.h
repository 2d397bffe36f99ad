// The variable-length unsigned integer of the stored blobs: groups of 7 bits, least significant
// first, bit 7 set on every byte but the last. The database layer writes the two blobs it builds
// itself (the uniform frame times of a new video, the points of an old per-test table during an
// upgrade); the trajectory code above owns the full reader and writer.
#pragma once

#include <cstdint>
#include <vector>

namespace vx {

// Appends value as a varint; negative values are written as 0 (the blobs never hold one).
void AppendVarint(std::vector<uint8_t>& out, int64_t value);

}  // namespace vx
