// The record stream of a binary workbook (BIFF8): every record is a 2-byte type, a 2-byte
// length and at most 8224 bytes of data; longer data goes on in CONTINUE records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vx {

namespace biff8 {
constexpr uint16_t kBof = 0x0809;
constexpr uint16_t kEof = 0x000A;
constexpr uint16_t kCodepage = 0x0042;
constexpr uint16_t kWindow1 = 0x003D;
constexpr uint16_t kDateMode = 0x0022;
constexpr uint16_t kFont = 0x0031;
constexpr uint16_t kFormat = 0x041E;
constexpr uint16_t kXf = 0x00E0;
constexpr uint16_t kStyle = 0x0293;
constexpr uint16_t kBoundSheet = 0x0085;
constexpr uint16_t kSst = 0x00FC;
constexpr uint16_t kExtSst = 0x00FF;
constexpr uint16_t kContinue = 0x003C;
constexpr uint16_t kDimensions = 0x0200;
constexpr uint16_t kWindow2 = 0x023E;
constexpr uint16_t kLabelSst = 0x00FD;
constexpr uint16_t kNumber = 0x0203;
constexpr uint16_t kBoolErr = 0x0205;

constexpr size_t kMaxRecordData = 8224;
}  // namespace biff8

class Biff8Stream {
 public:
  // Appends one record; `data` must fit in one record.
  void Record(uint16_t type, std::string_view data);
  size_t Size() const { return bytes_.size(); }
  std::string& Bytes() { return bytes_; }

 private:
  std::string bytes_;
};

// The data of an XLUnicodeString: a 16-bit character count (or 8-bit with `shortCount`, for
// sheet and font names), a flags byte saying "UTF-16", and the characters.
std::string UnicodeString(const std::u16string& text, bool shortCount);

// The shared string table: every text cell names its text by index into it.
class SharedStrings {
 public:
  // The index of `text` (UTF-8), adding it on first use.
  uint32_t Index(const std::string& text);
  // Appends the SST record with its CONTINUE records, then the EXTSST index readers use to
  // seek into it.
  void Write(Biff8Stream& stream) const;

 private:
  std::unordered_map<std::string, uint32_t> indexes_;
  std::vector<const std::string*> texts_;  // the keys of indexes_, in index order
  uint32_t uses_ = 0;
};

}  // namespace vx
