// Little-endian integers and doubles in byte strings, the byte order of the binary workbook and
// its compound file on every machine.
#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

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

// Reads at `offset`; the caller has checked that the bytes are there.
inline uint16_t Read16(std::string_view bytes, size_t offset) {
  return static_cast<uint16_t>(static_cast<unsigned char>(bytes[offset]) |
                               static_cast<unsigned char>(bytes[offset + 1]) << 8);
}
inline uint32_t Read32(std::string_view bytes, size_t offset) {
  return Read16(bytes, offset) | static_cast<uint32_t>(Read16(bytes, offset + 2)) << 16;
}

}  // namespace vx::little_endian
