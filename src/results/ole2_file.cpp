#include "results/ole2_file.h"

#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "results/little_endian.h"

namespace vx {

namespace {

using little_endian::Append16;
using little_endian::Append32;
using little_endian::Append8;

constexpr size_t kSectorSize = 512;
constexpr size_t kMiniStreamCutoff = 4096;
constexpr uint32_t kFatEntriesPerSector = kSectorSize / 4;
constexpr uint32_t kHeaderDifatEntries = 109;
constexpr uint32_t kDifatEntriesPerSector = kFatEntriesPerSector - 1;  // the last one chains

// Special sector numbers of the allocation table.
constexpr uint32_t kFreeSector = 0xFFFFFFFF;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFatSector = 0xFFFFFFFD;
constexpr uint32_t kDifatSector = 0xFFFFFFFC;
constexpr uint32_t kNoEntry = 0xFFFFFFFF;

uint32_t SectorsFor(uint64_t count, uint64_t perSector) {
  return static_cast<uint32_t>((count + perSector - 1) / perSector);
}

// Where everything goes. Sectors in order: the stream, the directory, the FAT, the DIFAT.
struct Layout {
  uint32_t streamSectors = 0;
  uint32_t directorySector = 0;
  uint32_t firstFatSector = 0;
  uint32_t fatSectors = 0;
  uint32_t firstDifatSector = 0;
  uint32_t difatSectors = 0;
};

// The FAT must also cover its own sectors and the DIFAT's, which depend on its size in turn:
// grow both until they cover everything (two or three rounds at most).
Layout PlanLayout(uint64_t streamBytes) {
  Layout layout;
  layout.streamSectors = SectorsFor(streamBytes, kSectorSize);
  layout.directorySector = layout.streamSectors;
  while (true) {
    const uint64_t sectors = uint64_t{layout.streamSectors} + 1 + layout.fatSectors + layout.difatSectors;
    const uint32_t fat = SectorsFor(sectors, kFatEntriesPerSector);
    const uint32_t difat =
        fat > kHeaderDifatEntries ? SectorsFor(fat - kHeaderDifatEntries, kDifatEntriesPerSector) : 0;
    if (fat == layout.fatSectors && difat == layout.difatSectors) break;
    layout.fatSectors = fat;
    layout.difatSectors = difat;
  }
  layout.firstFatSector = layout.directorySector + 1;
  layout.firstDifatSector = layout.firstFatSector + layout.fatSectors;
  return layout;
}

std::string Header(const Layout& layout) {
  std::string header = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
  header.append(16, '\0');  // class id
  Append16(header, 0x003E);  // minor version
  Append16(header, 0x0003);  // major version 3: 512-byte sectors
  Append16(header, 0xFFFE);  // byte order: little-endian
  Append16(header, 9);       // sector size 2^9
  Append16(header, 6);       // mini sector size 2^6
  header.append(6, '\0');
  Append32(header, 0);  // directory sectors (always 0 in version 3)
  Append32(header, layout.fatSectors);
  Append32(header, layout.directorySector);
  Append32(header, 0);  // transaction signature
  Append32(header, kMiniStreamCutoff);
  Append32(header, kEndOfChain);  // no mini FAT
  Append32(header, 0);
  Append32(header, layout.difatSectors > 0 ? layout.firstDifatSector : kEndOfChain);
  Append32(header, layout.difatSectors);
  for (uint32_t i = 0; i < kHeaderDifatEntries; ++i) {
    Append32(header, i < layout.fatSectors ? layout.firstFatSector + i : kFreeSector);
  }
  return header;
}

void AppendDirectoryEntry(std::string& out, std::string_view name, uint8_t type, uint32_t child,
                          uint32_t startSector, uint32_t size) {
  const size_t start = out.size();
  for (char c : name) Append16(out, static_cast<unsigned char>(c));
  out.resize(start + 64, '\0');
  Append16(out, name.empty() ? 0 : static_cast<uint16_t>(2 * (name.size() + 1)));
  Append8(out, type);
  Append8(out, 1);  // black: a tree of one node needs no balancing
  Append32(out, kNoEntry);  // left sibling
  Append32(out, kNoEntry);  // right sibling
  Append32(out, child);
  out.append(16 + 4 + 8 + 8, '\0');  // class id, state bits, creation and modification times
  Append32(out, startSector);
  Append32(out, size);
  Append32(out, 0);  // high half of the size
}

std::string DirectorySector(std::string_view streamName, uint32_t streamBytes) {
  constexpr uint8_t kEmpty = 0, kStream = 2, kRoot = 5;
  std::string sector;
  AppendDirectoryEntry(sector, "Root Entry", kRoot, 1, kEndOfChain, 0);
  AppendDirectoryEntry(sector, streamName, kStream, kNoEntry, 0, streamBytes);
  AppendDirectoryEntry(sector, "", kEmpty, kNoEntry, 0, 0);
  AppendDirectoryEntry(sector, "", kEmpty, kNoEntry, 0, 0);
  return sector;
}

std::string AllocationTable(const Layout& layout) {
  std::string fat;
  fat.reserve(size_t{layout.fatSectors} * kSectorSize);
  for (uint32_t i = 0; i < layout.streamSectors; ++i) {
    Append32(fat, i + 1 < layout.streamSectors ? i + 1 : kEndOfChain);
  }
  Append32(fat, kEndOfChain);  // the directory
  for (uint32_t i = 0; i < layout.fatSectors; ++i) Append32(fat, kFatSector);
  for (uint32_t i = 0; i < layout.difatSectors; ++i) Append32(fat, kDifatSector);
  while (fat.size() < size_t{layout.fatSectors} * kSectorSize) Append32(fat, kFreeSector);
  return fat;
}

// The FAT sectors past the header's 109, 127 to a sector, each sector naming the next.
std::string DifatSectors(const Layout& layout) {
  std::string difat;
  uint32_t fatIndex = kHeaderDifatEntries;
  for (uint32_t sector = 0; sector < layout.difatSectors; ++sector) {
    for (uint32_t i = 0; i < kDifatEntriesPerSector; ++i, ++fatIndex) {
      Append32(difat, fatIndex < layout.fatSectors ? layout.firstFatSector + fatIndex : kFreeSector);
    }
    const bool last = sector + 1 == layout.difatSectors;
    Append32(difat, last ? kEndOfChain : layout.firstDifatSector + sector + 1);
  }
  return difat;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool WriteCompoundFile(const std::string& path, std::string_view streamName,
                       std::string_view stream, std::string* error) {
  const size_t streamBytes = std::max(stream.size(), kMiniStreamCutoff);
  if (streamBytes > 0x7FFFFFFF) {
    if (error) *error = "the workbook is larger than the 2 GB a binary workbook can hold";
    return false;
  }
  const Layout layout = PlanLayout(streamBytes);
  const size_t padding = size_t{layout.streamSectors} * kSectorSize - stream.size();

  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    if (error) *error = "cannot create '" + path + "'";
    return false;
  }
  const std::string header = Header(layout);
  const std::string zeros(padding, '\0');
  const std::string directory = DirectorySector(streamName, static_cast<uint32_t>(streamBytes));
  const std::string fat = AllocationTable(layout);
  const std::string difat = DifatSectors(layout);
  bool written = true;
  for (const std::string_view part : {std::string_view(header), stream, std::string_view(zeros),
                                      std::string_view(directory), std::string_view(fat),
                                      std::string_view(difat)}) {
    written = written && std::fwrite(part.data(), 1, part.size(), file.get()) == part.size();
  }
  written = std::fclose(file.release()) == 0 && written;
  if (!written && error) *error = "cannot write '" + path + "'";
  return written;
}

}  // namespace vx
