// The variable-length unsigned integer of the stored trajectory, frame-time and behaviour blobs.
//
// A value is cut into groups of 7 bits, least significant first, one byte per group, with bit 7
// set on every byte but the last: 127 is 7F, 128 is 80 01, 16384 is 80 80 01. Values are
// unsigned 32-bit, so a value never takes more than 5 bytes, and a reader refuses a sixth.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The writer, AppendVarint(out, value), lives in the database layer, which builds a few blobs
// itself; values below 1 are written as 0.
#include "db/varint_writer.h"

namespace vx {

// The blob formats never store negative quantities: anything below 1 is stored as 0, and
// anything beyond the 32-bit range as the largest value.
inline uint32_t ClampToVarint(int64_t value) {
  if (value < 1) return 0;
  if (value > static_cast<int64_t>(UINT32_MAX)) return UINT32_MAX;
  return static_cast<uint32_t>(value);
}

// Reads varints one after the other from a byte range it does not own. Once a read fails
// (the range ends inside a value, or a value runs past 5 bytes) every later read fails too, so
// a decoder may check once at the end of a record.
class VarintReader {
 public:
  VarintReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  explicit VarintReader(const std::vector<uint8_t>& bytes)
      : VarintReader(bytes.data(), bytes.size()) {}

  // False, with value 0, when no whole value is left. Bits of a fifth byte beyond the 32-bit
  // range are dropped. Inline: decoding a trajectory reads about a hundred values per point.
  bool Read(uint32_t& value) {
    if (offset_ < size_ && data_[offset_] < 0x80 && !failed_) {
      value = data_[offset_++];
      return true;
    }
    return ReadLong(value);
  }

  bool AtEnd() const { return offset_ >= size_; }
  bool failed() const { return failed_; }
  size_t remaining() const { return size_ - offset_; }
  size_t offset() const { return offset_; }

 private:
  bool ReadLong(uint32_t& value);

  const uint8_t* data_;
  size_t size_;
  size_t offset_ = 0;
  bool failed_ = false;
};

}  // namespace vx
