#include "db/varint.h"

namespace vx {

bool VarintReader::ReadLong(uint32_t& value) {
  value = 0;
  if (failed_) return false;
  uint32_t result = 0;
  for (int shift = 0; shift <= 28; shift += 7) {
    if (offset_ >= size_) break;
    const uint8_t byte = data_[offset_++];
    result |= static_cast<uint32_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) {
      value = result;
      return true;
    }
  }
  failed_ = true;
  return false;
}

}  // namespace vx
