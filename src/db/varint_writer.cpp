#include "db/varint_writer.h"

namespace vx {

void AppendVarint(std::vector<uint8_t>& out, int64_t value) {
  uint32_t rest = value < 1 ? 0u : static_cast<uint32_t>(value);
  while (rest >= 0x80) {
    out.push_back(static_cast<uint8_t>(rest | 0x80));
    rest >>= 7;
  }
  out.push_back(static_cast<uint8_t>(rest));
}

}  // namespace vx
