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

// Decodes the sequence starting at text[i]: its length, or 0 when it is not well-formed UTF-8.
size_t DecodeAt(std::string_view text, size_t i, uint32_t& code) {
  static constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};  // by length
  const size_t length = SequenceLength(static_cast<unsigned char>(text[i]), code);
  if (length == 0 || i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3F);
  }
  if (length > 1 && (code < kSmallest[length] || code > 0x10FFFF ||
                     (code >= 0xD800 && code <= 0xDFFF))) {
    return 0;
  }
  return length;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    uint32_t code = 0;
    const size_t length = DecodeAt(text, i, code);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::u16string Utf16FromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    uint32_t code = 0;
    size_t length = DecodeAt(text, i, code);
    if (length == 0) code = 0xFFFD, length = 1;
    if (code >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(code);
    }
    i += length;
  }
  return out;
}

}  // namespace vx
