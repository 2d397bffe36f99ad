#include "results/ole2_reader.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/text.h"
#include "results/little_endian.h"

namespace vx {

namespace {

constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr size_t kDirectoryEntrySize = 128;
constexpr uint8_t kStreamEntry = 2;

using little_endian::Read16;
using little_endian::Read32;

class CompoundFile {
 public:
  explicit CompoundFile(std::string_view file) : file_(file) {}

  bool Open() {
    if (file_.size() < 512 || file_.substr(0, 8) != "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") return false;
    const uint16_t sectorShift = Read16(file_, 30);
    if (sectorShift != 9 && sectorShift != 12) return false;
    sectorSize_ = size_t{1} << sectorShift;
    miniCutoff_ = Read32(file_, 56);
    return ReadAllocationTable() &&
           ReadChain(fat_, Read32(file_, 48), sectorSize_, file_, &directory_) &&
           directory_.size() >= kDirectoryEntrySize;
  }

  // The stream of the directory entry named one of `names`.
  bool Stream(std::initializer_list<std::string_view> names, std::string* stream) const {
    for (size_t entry = 0; entry + kDirectoryEntrySize <= directory_.size(); entry += kDirectoryEntrySize) {
      if (static_cast<uint8_t>(directory_[entry + 66]) != kStreamEntry || !NameIsOneOf(entry, names)) {
        continue;
      }
      const uint32_t start = Read32(directory_, entry + 116);
      const uint32_t size = Read32(directory_, entry + 120);
      if (size >= miniCutoff_) return ReadChain(fat_, start, sectorSize_, file_, stream, size);
      std::string miniStream;
      std::vector<uint32_t> miniFat;
      return ReadChain(fat_, Read32(directory_, 116), sectorSize_, file_, &miniStream) &&
             ReadTable(Read32(file_, 60), &miniFat) &&
             ReadChain(miniFat, start, 64, miniStream, stream, size, true);
    }
    return false;
  }

 private:
  bool SectorOffset(uint32_t sector, size_t* offset) const {
    *offset = (size_t{sector} + 1) * sectorSize_;
    return sector < kEndOfChain - 3 && *offset + sectorSize_ <= file_.size();
  }

  // The FAT sectors are listed by the header (109 of them) and then by a chain of DIFAT sectors.
  bool ReadAllocationTable() {
    const uint32_t fatSectors = Read32(file_, 44);
    if (fatSectors > file_.size() / sectorSize_) return false;
    std::vector<uint32_t> sectors;
    for (uint32_t i = 0; i < 109 && sectors.size() < fatSectors; ++i) sectors.push_back(Read32(file_, 76 + 4 * i));
    uint32_t difat = Read32(file_, 68);
    const size_t perDifat = sectorSize_ / 4 - 1;
    for (size_t guard = 0; sectors.size() < fatSectors; ++guard) {
      size_t offset = 0;
      if (guard > fatSectors || !SectorOffset(difat, &offset)) return false;
      for (size_t i = 0; i < perDifat && sectors.size() < fatSectors; ++i) {
        sectors.push_back(Read32(file_, offset + 4 * i));
      }
      difat = Read32(file_, offset + 4 * perDifat);
    }
    for (uint32_t sector : sectors) {
      size_t offset = 0;
      if (!SectorOffset(sector, &offset)) return false;
      for (size_t i = 0; i < sectorSize_; i += 4) fat_.push_back(Read32(file_, offset + i));
    }
    return true;
  }

  // A table of sector numbers stored in a chain of the FAT (the mini FAT).
  bool ReadTable(uint32_t start, std::vector<uint32_t>* table) const {
    std::string bytes;
    if (!ReadChain(fat_, start, sectorSize_, file_, &bytes)) return false;
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4) table->push_back(Read32(bytes, i));
    return true;
  }

  // Follows a chain of `unit`-byte pieces of `source` (sectors of the file, or the 64-byte
  // pieces of the mini stream) and keeps the first `size` bytes, or all of them.
  bool ReadChain(const std::vector<uint32_t>& table, uint32_t start, size_t unit,
                 std::string_view source, std::string* out, size_t size = SIZE_MAX,
                 bool mini = false) const {
    out->clear();
    for (uint32_t piece = start; piece != kEndOfChain && out->size() < size; piece = table[piece]) {
      const size_t offset = (size_t{piece} + (mini ? 0 : 1)) * unit;
      if (piece >= table.size() || offset + unit > source.size() || out->size() > source.size()) {
        return false;
      }
      out->append(source.substr(offset, unit));
    }
    if (size == SIZE_MAX) return true;
    if (out->size() < size) return false;
    out->resize(size);
    return true;
  }

  bool NameIsOneOf(size_t entry, std::initializer_list<std::string_view> names) const {
    const size_t bytes = std::min<size_t>(Read16(directory_, entry + 64), 64);
    std::string name;
    for (size_t i = 0; i + 1 < bytes; i += 2) {
      const uint16_t c = Read16(directory_, entry + i);
      if (c == 0) break;
      name += c < 0x80 ? static_cast<char>(c) : '?';
    }
    for (std::string_view wanted : names) {
      if (EqualsNoCase(name, wanted)) return true;
    }
    return false;
  }

  std::string_view file_;
  size_t sectorSize_ = 512;
  uint32_t miniCutoff_ = 4096;
  std::vector<uint32_t> fat_;
  std::string directory_;
};

}  // namespace

bool ReadCompoundStream(std::string_view file, std::initializer_list<std::string_view> names,
                        std::string* stream, std::string* error) {
  CompoundFile compound(file);
  if (!compound.Open()) {
    if (error) *error = "is not a binary workbook (.xls) or is damaged";
    return false;
  }
  if (!compound.Stream(names, stream)) {
    if (error) *error = "holds no workbook";
    return false;
  }
  return true;
}

}  // namespace vx
