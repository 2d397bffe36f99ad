#include "results/biff8_scan.h"

#include <algorithm>
#include <bit>

#include "base/text.h"
#include "db/sqlite_database.h"
#include "results/little_endian.h"

namespace vx {

namespace {

using little_endian::Read16;
using little_endian::Read32;

constexpr uint16_t kBof = 0x0809, kEof = 0x000A, kBoundSheet = 0x0085, kFormat = 0x041E,
                   kXf = 0x00E0, kDimensions = 0x0200, kNumber = 0x0203, kRk = 0x027E,
                   kMulRk = 0x00BD, kFormula = 0x0006;

struct Record {
  uint16_t type = 0;
  std::string_view data;
};

// The record at `at`, or false at the end of the stream or when the record runs past it.
bool RecordAt(std::string_view stream, size_t at, Record* record) {
  if (at + 4 > stream.size()) return false;
  record->type = Read16(stream, at);
  const size_t length = Read16(stream, at + 2);
  if (at + 4 + length > stream.size()) return false;
  record->data = stream.substr(at + 4, length);
  return true;
}

// A string of `count` characters at `at`, preceded by its flags byte: 8-bit (the low half of
// UTF-16) or UTF-16.
std::string TextAt(std::string_view data, size_t at, size_t count) {
  if (at >= data.size()) return "";
  const bool wide = (data[at] & 0x01) != 0;
  std::u16string text;
  for (size_t i = 0, p = at + 1; i < count && p + (wide ? 2 : 1) <= data.size(); ++i, p += wide ? 2 : 1) {
    text += wide ? static_cast<char16_t>(Read16(data, p)) : static_cast<unsigned char>(data[p]);
  }
  return SQLite::UTF8MBSTR(text.c_str()).str();
}

// RK numbers keep the top 30 bits of a double, or a 30-bit integer, possibly scaled by 100.
double RkValue(uint32_t rk) {
  const double value = (rk & 0x02) != 0 ? static_cast<double>(static_cast<int32_t>(rk) >> 2)
                                        : std::bit_cast<double>(uint64_t{rk & 0xFFFFFFFC} << 32);
  return (rk & 0x01) != 0 ? value / 100 : value;
}

class Scanner {
 public:
  explicit Scanner(std::string_view stream) : stream_(stream) {}

  Biff8Scan Run() {
    std::vector<std::pair<std::string, uint32_t>> sheets;  // name, offset of its BOF
    std::map<uint16_t, bool> formatShowsMilliseconds;
    Record record;
    for (size_t at = 0; RecordAt(stream_, at, &record) && record.type != kEof; at += 4 + record.data.size()) {
      const std::string_view d = record.data;
      if (record.type == kBoundSheet && d.size() >= 8) {
        sheets.emplace_back(TextAt(d, 7, static_cast<unsigned char>(d[6])), Read32(d, 0));
      } else if (record.type == kFormat && d.size() >= 5) {
        formatShowsMilliseconds[Read16(d, 0)] = ToLower(TextAt(d, 4, Read16(d, 2))).find("s.0") != std::string::npos;
      } else if (record.type == kXf && d.size() >= 4) {
        xfFormats_.push_back(Read16(d, 2));
      }
    }
    for (uint16_t& format : xfFormats_) format = formatShowsMilliseconds[format] ? 1 : 0;
    // In the order of the file, each sheet after the end of the one before: a damaged sheet
    // list cannot make the same bytes be read again and again.
    std::sort(sheets.begin(), sheets.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    size_t scannedTo = 0;
    for (const auto& [name, offset] : sheets) {
      if (offset < scannedTo) continue;
      std::vector<StoredNumber>& numbers = result_.numbers[name];
      scannedTo = ScanSheet(offset, numbers);
      std::stable_sort(numbers.begin(), numbers.end(),
                       [](const StoredNumber& a, const StoredNumber& b) { return a.cell < b.cell; });
    }
    return std::move(result_);
  }

 private:
  // Scans the substream at `offset` to its EOF record; returns where it ends.
  size_t ScanSheet(size_t offset, std::vector<StoredNumber>& numbers) {
    Record record;
    if (!RecordAt(stream_, offset, &record) || record.type != kBof) return offset;
    size_t at = offset + 4 + record.data.size();
    for (; RecordAt(stream_, at, &record) && record.type != kEof; at += 4 + record.data.size()) {
      const std::string_view d = record.data;
      if (record.type == kDimensions && d.size() >= 14) {
        result_.claimedCells += uint64_t{Read32(d, 4)} * Read16(d, 10);
      } else if (record.type == kDimensions && d.size() >= 10) {  // before BIFF8: 16-bit rows
        result_.claimedCells += uint64_t{Read16(d, 2)} * Read16(d, 6);
      } else if ((record.type == kNumber || record.type == kFormula) && d.size() >= 14) {
        // A formula's result is a number unless its last two bytes are 0xFFFF.
        if (record.type == kNumber || Read16(d, 12) != 0xFFFF) {
          const uint64_t bits = Read32(d, 6) | uint64_t{Read32(d, 10)} << 32;
          Add(numbers, Read16(d, 0), Read16(d, 2), Read16(d, 4), std::bit_cast<double>(bits));
        }
      } else if (record.type == kRk && d.size() >= 10) {
        Add(numbers, Read16(d, 0), Read16(d, 2), Read16(d, 4), RkValue(Read32(d, 6)));
      } else if (record.type == kMulRk) {  // row, first column, (XF, RK) pairs, last column
        for (size_t p = 4, column = d.size() >= 4 ? Read16(d, 2) : 0; p + 8 <= d.size(); p += 6, ++column) {
          Add(numbers, Read16(d, 0), column, Read16(d, p), RkValue(Read32(d, p + 2)));
        }
      }
    }
    return at;
  }

  void Add(std::vector<StoredNumber>& numbers, uint32_t row, size_t column, uint16_t xf, double value) {
    if (column >= 256) return;
    const bool milliseconds = xf < xfFormats_.size() && xfFormats_[xf] != 0;
    numbers.push_back({static_cast<uint32_t>(row * 256 + column), value, milliseconds});
  }

  std::string_view stream_;
  std::vector<uint16_t> xfFormats_;  // per XF: 1 when its format shows milliseconds
  Biff8Scan result_;
};

}  // namespace

Biff8Scan ScanBiff8Stream(std::string_view stream) { return Scanner(stream).Run(); }

const StoredNumber* FindStoredNumber(const std::vector<StoredNumber>& numbers, unsigned row,
                                     unsigned column) {
  const uint32_t cell = row * 256 + column;
  const auto found = std::lower_bound(numbers.begin(), numbers.end(), cell,
                                      [](const StoredNumber& n, uint32_t c) { return n.cell < c; });
  return found != numbers.end() && found->cell == cell ? &*found : nullptr;
}

}  // namespace vx
