#include "db/analysis_info.h"

#include <iterator>

#include "base/text.h"

namespace vx {

namespace {

constexpr int kStampSlot = 0;   // the 64-bit value
constexpr int kZeroSlot = -1;   // the field always written 0 and skipped on reading

// The fields after the version, in text order, with the format version that introduced them.
struct Slot {
  int value;  // 1..17, kStampSlot or kZeroSlot
  int sinceVersion;
};

constexpr Slot kSlots[] = {
    {1, 0},  {2, 0},  {3, 0},  {4, 0},  {5, 0},  {6, 0},  {7, 0},  {8, 0},  {kStampSlot, 1},
    {9, 2},  {10, 2}, {11, 3}, {12, 4}, {13, 4}, {14, 4}, {15, 4}, {kZeroSlot, 4},
    {16, 4}, {17, 5}};

bool IsUnsigned(int value) { return value == 2 || value == 6 || value == 14; }

}  // namespace

AnalysisInfo::AnalysisInfo() {
  values = {0, -1, 0, 0, -1, -1, 0, 0, -1, -1, 0, 1900, -1, -1, 0, -1, -1, 0};
}

std::string FormatAnalysisInfo(const AnalysisInfo& info) {
  std::string text = Format("%d", 5);
  for (const Slot& slot : kSlots) {
    if (slot.value == kStampSlot) {
      text += Format("|%lld", static_cast<long long>(info.stamp));
    } else if (slot.value == kZeroSlot) {
      text += "|0";
    } else if (IsUnsigned(slot.value)) {
      text += Format("|%u", static_cast<uint32_t>(info.values[slot.value]));
    } else {
      text += Format("|%d", static_cast<int32_t>(info.values[slot.value]));
    }
  }
  return text;
}

AnalysisInfo ParseAnalysisInfo(const std::string& text) {
  AnalysisInfo info;
  Tokenizer tokens(text, '|');
  std::string token;
  if (!tokens.Next(token)) return info;
  info.version = ToInt(token);
  for (const Slot& slot : kSlots) {
    if (slot.sinceVersion > info.version) break;
    if (!tokens.Next(token)) {
      info.stamp = 0;
      break;
    }
    if (slot.value == kStampSlot) {
      info.stamp = ToInt64(token);
    } else if (slot.value != kZeroSlot) {
      const int64_t wide = ToInt64(token);
      info.values[slot.value] =
          IsUnsigned(slot.value) ? static_cast<int64_t>(static_cast<uint32_t>(wide))
                                 : static_cast<int64_t>(static_cast<int32_t>(wide));
    }
  }
  return info;
}

}  // namespace vx
