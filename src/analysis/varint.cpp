#include "analysis/varint.h"

namespace vx {

void AppendVarint(std::vector<uint8_t>& out, uint32_t value) {
  while (value >= 0x80) {
    out.push_back(static_cast<uint8_t>(value | 0x80));
    value >>= 7;
  }
  out.push_back(static_cast<uint8_t>(value));
}

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
