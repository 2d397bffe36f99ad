#include "trajectory/behavior_blob.h"

#include <algorithm>

#include "db/varint.h"

namespace vx {

namespace {

bool Qualifies(const CListRecBehavior& list, int protocolId) {
  return list.protocolId == protocolId && !list.occurrences.empty();
}

bool ReadList(VarintReader& reader, CListRecBehavior& list) {
  uint32_t count = 0;
  reader.Read(list.behaviorId);
  reader.Read(list.value);
  if (!reader.Read(count)) return false;
  // Two bytes at least per occurrence: a corrupt count cannot reserve more than the blob.
  list.occurrences.reserve(std::min<size_t>(count, reader.remaining() / 2));
  uint32_t previousEnd = 0;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t gap = 0, length = 0;
    reader.Read(gap);
    if (!reader.Read(length)) return false;
    tRecBehavior occurrence;
    occurrence.start = previousEnd + gap;
    occurrence.end = occurrence.start + length;
    list.occurrences.push_back(occurrence);
    previousEnd = occurrence.end;
  }
  return true;
}

}  // namespace

std::vector<uint8_t> WriteBehaviors(const RecordedBehaviors& behaviors) {
  std::vector<uint8_t> out;
  const auto stored = std::count_if(
      behaviors.lists.begin(), behaviors.lists.end(),
      [&](const CListRecBehavior& list) { return Qualifies(list, behaviors.protocolId); });
  if (stored == 0) return out;
  out.push_back(kBehaviorBlobVersion);
  AppendVarint(out, ClampToVarint(behaviors.protocolId));
  AppendVarint(out, static_cast<uint32_t>(stored));
  for (const CListRecBehavior& list : behaviors.lists) {
    if (!Qualifies(list, behaviors.protocolId)) continue;
    AppendVarint(out, list.behaviorId);
    AppendVarint(out, list.value);
    AppendVarint(out, static_cast<uint32_t>(list.occurrences.size()));
    int64_t previousEnd = 0;
    for (const tRecBehavior& occurrence : list.occurrences) {
      AppendVarint(out, ClampToVarint(static_cast<int64_t>(occurrence.start) - previousEnd));
      AppendVarint(out, ClampToVarint(static_cast<int64_t>(occurrence.end) - occurrence.start));
      previousEnd = occurrence.end;
    }
  }
  return out;
}

bool ReadBehaviors(RecordedBehaviors& behaviors, std::span<const uint8_t> blob, int protocolId) {
  behaviors.Clear();
  if (blob.empty()) {
    behaviors.protocolId = protocolId;
    return true;
  }
  if (blob[0] != kBehaviorBlobVersion) return false;
  VarintReader reader(blob.data() + 1, blob.size() - 1);
  uint32_t storedProtocol = 0, count = 0;
  reader.Read(storedProtocol);
  if (!reader.Read(count) || static_cast<int64_t>(storedProtocol) != protocolId) return false;
  // Three bytes at least per list.
  behaviors.lists.reserve(std::min<size_t>(count, reader.remaining() / 3));
  for (uint32_t i = 0; i < count; ++i) {
    CListRecBehavior list;
    list.protocolId = protocolId;
    if (!ReadList(reader, list)) {
      behaviors.Clear();
      return false;
    }
    behaviors.lists.push_back(std::move(list));
  }
  behaviors.protocolId = protocolId;
  return true;
}

}  // namespace vx
