#include "db/frame_times.h"

#include <algorithm>
#include <cmath>

#include "db/varint.h"

namespace vx {

FrameTimes FrameTimes::Uniform(uint32_t frameCount, uint32_t durationMs) {
  FrameTimes result;
  result.count = frameCount;
  result.durationMs = durationMs;
  return result;
}

FrameTimes FrameTimes::FromList(std::vector<uint32_t> frameTimes) {
  FrameTimes result;
  result.count = static_cast<uint32_t>(frameTimes.size());
  result.durationMs = frameTimes.empty() ? 0 : frameTimes.back();
  result.times = std::move(frameTimes);
  return result;
}

std::vector<uint8_t> WriteFrameTimes(const FrameTimes& frameTimes) {
  std::vector<uint8_t> out;
  if (!frameTimes.Listed()) {
    if (frameTimes.count == 0) return out;
    AppendVarint(out, frameTimes.count);
    AppendVarint(out, frameTimes.durationMs);
    return out;
  }
  const std::vector<uint32_t>& t = frameTimes.times;
  // Steps as unsigned differences: a time going backwards reads as a huge step, never as the
  // smallest, so every stored remainder stays non-negative. A single time has no step: d = 0.
  uint32_t d = t.size() < 2 ? 0 : UINT32_MAX;
  for (size_t i = 1; i < t.size() && d != 0; ++i) d = std::min(d, t[i] - t[i - 1]);
  out.reserve(t.size() + 10);
  AppendVarint(out, static_cast<uint32_t>(t.size()));
  AppendVarint(out, d);
  AppendVarint(out, t[0]);
  for (size_t i = 1; i < t.size(); ++i) AppendVarint(out, t[i] - t[i - 1] - d);
  return out;
}

bool ReadFrameTimes(std::span<const uint8_t> blob, FrameTimes& frameTimes) {
  frameTimes = FrameTimes();
  if (blob.empty()) return true;
  VarintReader reader(blob.data(), blob.size());
  uint32_t n = 0, v = 0;
  if (!reader.Read(n) || !reader.Read(v) || n == 0) return false;
  if (reader.AtEnd()) {
    frameTimes = FrameTimes::Uniform(n, v);
    return true;
  }
  std::vector<uint32_t> times;
  // Every time takes at least one byte: a corrupt N cannot make us reserve more than the blob.
  times.reserve(std::min<size_t>(n, reader.remaining()));
  uint32_t value = 0;
  if (!reader.Read(value)) return false;
  times.push_back(value);
  while (times.size() < n) {
    if (!reader.Read(value)) return false;
    times.push_back(times.back() + value + v);
  }
  frameTimes = FrameTimes::FromList(std::move(times));
  return true;
}

bool TimeOfFrame(const FrameTimes& frameTimes, uint32_t frame, int& timeMs) {
  timeMs = -1;
  if (frameTimes.count <= 1) return true;
  if (frameTimes.Listed()) {
    if (frame >= frameTimes.times.size()) return false;
    timeMs = static_cast<int>(frameTimes.times[frame]);
    return true;
  }
  const double exact = static_cast<double>(frame) * frameTimes.durationMs /
                       static_cast<double>(frameTimes.count - 1);
  // Only a corrupt header gives times beyond 32 bits; they wrap like the stored times do
  // rather than overflow the conversion.
  const double wrapped = std::fmod(std::floor(exact + 0.5), 4294967296.0);
  timeMs = static_cast<int>(static_cast<uint32_t>(wrapped));
  return true;
}

}  // namespace vx
