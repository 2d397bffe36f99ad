// A light pass over the records of a binary workbook, made before libfreexl reads it: what the
// sheets claim to hold (libfreexl sets memory aside for all of it) and the stored value of every
// numeric cell, which libfreexl turns into a "HH:MM:SS" text for time-formatted cells, losing
// the days and the fractions of a second of a duration.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

struct StoredNumber {
  uint32_t cell = 0;  // row * 256 + column
  double value = 0;
  bool showsMilliseconds = false;  // its number format shows fractions of a second
};

struct Biff8Scan {
  uint64_t claimedCells = 0;  // rows x columns of every sheet's DIMENSIONS record
  // By sheet name (UTF-8), sorted by cell.
  std::map<std::string, std::vector<StoredNumber>> numbers;
};

// Reads what it can of a Workbook stream; damaged records are skipped, never read past.
Biff8Scan ScanBiff8Stream(std::string_view stream);

// The stored number of `row`, `column` in `numbers`, or nullptr.
const StoredNumber* FindStoredNumber(const std::vector<StoredNumber>& numbers, unsigned row,
                                     unsigned column);

}  // namespace vx
