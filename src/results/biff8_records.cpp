#include "results/biff8_records.h"

#include <algorithm>

#include "base/utf8.h"
#include "results/little_endian.h"

namespace vx {

using little_endian::Append16;
using little_endian::Append32;
using little_endian::Append8;

namespace {

constexpr uint8_t kUtf16Flag = 0x01;

// A record that goes on in CONTINUE records when its data passes the record limit.
class ContinuedRecord {
 public:
  ContinuedRecord(Biff8Stream& stream, uint16_t type) : stream_(stream), type_(type) {}

  std::string& Data() { return data_; }
  size_t Room() const { return biff8::kMaxRecordData - data_.size(); }
  // Where the next byte will sit: in the whole stream, and from the start of its record.
  uint32_t StreamOffset() const { return static_cast<uint32_t>(stream_.Size() + 4 + data_.size()); }
  uint16_t RecordOffset() const { return static_cast<uint16_t>(4 + data_.size()); }

  void Flush() {
    stream_.Record(type_, data_);
    data_.clear();
    type_ = biff8::kContinue;
  }

 private:
  Biff8Stream& stream_;
  uint16_t type_;
  std::string data_;
};

void AppendCharacters(std::string& out, const char16_t* characters, size_t count) {
  for (size_t i = 0; i < count; ++i) Append16(out, characters[i]);
}

}  // namespace

void Biff8Stream::Record(uint16_t type, std::string_view data) {
  Append16(bytes_, type);
  Append16(bytes_, static_cast<uint16_t>(data.size()));
  bytes_.append(data);
}

std::string UnicodeString(const std::u16string& text, bool shortCount) {
  std::string out;
  if (shortCount) {
    Append8(out, static_cast<uint8_t>(text.size()));
  } else {
    Append16(out, static_cast<uint16_t>(text.size()));
  }
  Append8(out, kUtf16Flag);
  AppendCharacters(out, text.data(), text.size());
  return out;
}

uint32_t SharedStrings::Index(const std::string& text) {
  ++uses_;
  const auto [place, added] = indexes_.try_emplace(text, static_cast<uint32_t>(texts_.size()));
  if (added) texts_.push_back(&place->first);
  return place->second;
}

// A string's 3-byte header (count and flags) must not be split from its first character; its
// characters may be split between records, and the CONTINUE record then starts with the flags
// byte again.
void SharedStrings::Write(Biff8Stream& stream) const {
  // Readers seek by buckets of strings: at most 128 buckets, at least 8 strings to a bucket.
  const uint32_t perBucket = std::max<uint32_t>(8, static_cast<uint32_t>(texts_.size() / 128 + 1));
  std::string index;
  Append16(index, static_cast<uint16_t>(perBucket));

  ContinuedRecord sst(stream, biff8::kSst);
  Append32(sst.Data(), uses_);
  Append32(sst.Data(), static_cast<uint32_t>(texts_.size()));
  for (size_t i = 0; i < texts_.size(); ++i) {
    const std::u16string text = Utf16FromUtf8(*texts_[i]);
    if (sst.Room() < 3 + (text.empty() ? 0 : 2)) sst.Flush();
    if (i % perBucket == 0) {
      Append32(index, sst.StreamOffset());
      Append16(index, sst.RecordOffset());
      Append16(index, 0);
    }
    Append16(sst.Data(), static_cast<uint16_t>(text.size()));
    Append8(sst.Data(), kUtf16Flag);
    for (size_t done = 0; done < text.size();) {
      if (sst.Room() < 2) {
        sst.Flush();
        Append8(sst.Data(), kUtf16Flag);
      }
      const size_t count = std::min(sst.Room() / 2, text.size() - done);
      AppendCharacters(sst.Data(), text.data() + done, count);
      done += count;
    }
  }
  sst.Flush();
  stream.Record(biff8::kExtSst, index);
}

}  // namespace vx
