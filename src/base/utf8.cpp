#include "base/utf8.h"

#include <cstdint>

namespace vx {

namespace {

// The length of the sequence a lead byte starts, with the bits of the code point it holds;
// 0 for a byte that cannot start a sequence.
size_t SequenceLength(unsigned char lead, uint32_t& code) {
  if (lead < 0x80) return code = lead, 1;
  if ((lead & 0xE0) == 0xC0) return code = lead & 0x1F, 2;
  if ((lead & 0xF0) == 0xE0) return code = lead & 0x0F, 3;
  if ((lead & 0xF8) == 0xF0) return code = lead & 0x07, 4;
  return 0;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
  static constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};  // by length
  size_t i = 0;
  while (i < text.size()) {
    uint32_t code = 0;
    const size_t length = SequenceLength(static_cast<unsigned char>(text[i]), code);
    if (length == 0 || i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    if (length > 1 && (code < kSmallest[length] || code > 0x10FFFF ||
                       (code >= 0xD800 && code <= 0xDFFF))) {
      return false;
    }
    i += length;
  }
  return true;
}

}  // namespace vx
