// Appending little-endian integers and doubles to a byte string, the byte order of the binary
// workbook and its compound file on every machine.
#pragma once

#include <bit>
#include <cstdint>
#include <string>

namespace vx::little_endian {

inline void Append(std::string& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}
inline void Append8(std::string& out, uint8_t value) { Append(out, value, 1); }
inline void Append16(std::string& out, uint16_t value) { Append(out, value, 2); }
inline void Append32(std::string& out, uint32_t value) { Append(out, value, 4); }
inline void AppendDouble(std::string& out, double value) {
  Append(out, std::bit_cast<uint64_t>(value), 8);
}

// Overwrites four bytes at `offset`, for fields whose value is known only later.
inline void Put32(std::string& out, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace vx::little_endian
