#include "reports/report_result.h"

#include <cstring>

#include <opencv2/imgcodecs.hpp>

#include "measures/report_periods.h"
#include "measures/speed_ranges.h"

namespace vx {

namespace {

constexpr size_t kHeaderBytes = 8;
constexpr size_t kImageHeaderBytes = 16;  // header, width, height
constexpr size_t kHeatMapHeaderBytes = 20;  // and the largest time
// Larger images are no track or heat map of a video frame (and would overflow sizes).
constexpr int kLargestImageSide = 1 << 15;

void PutI32(std::vector<uint8_t>& out, int32_t value) {
  const uint32_t u = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(u >> shift));
}

int32_t GetI32(std::span<const uint8_t> in, size_t at) {
  uint32_t u = 0;
  for (int k = 3; k >= 0; --k) u = (u << 8) | in[at + static_cast<size_t>(k)];
  return static_cast<int32_t>(u);
}

void PutF32(std::vector<uint8_t>& out, double value) {
  const float f = static_cast<float>(value);
  uint32_t u = 0;
  std::memcpy(&u, &f, sizeof u);
  PutI32(out, static_cast<int32_t>(u));
}

float GetF32(std::span<const uint8_t> in, size_t at) {
  const uint32_t u = static_cast<uint32_t>(GetI32(in, at));
  float f = 0;
  std::memcpy(&f, &u, sizeof f);
  return f;
}

bool ValidSize(int width, int height) {
  return width > 0 && height > 0 && width <= kLargestImageSide && height <= kLargestImageSide;
}

bool ValidImage(const ResultImage& image) {
  return ValidSize(image.width, image.height) && image.pixels.type() == CV_8UC1 &&
         image.pixels.cols == image.width && image.pixels.rows == image.height;
}

std::vector<uint8_t> Header(int measure) {
  std::vector<uint8_t> blob;
  PutI32(blob, kReportBlobVersion);
  PutI32(blob, measure);
  return blob;
}

size_t TrackBytes(int width, int height) {
  return (static_cast<size_t>(width) * static_cast<size_t>(height) + 3) / 4;
}

std::vector<uint8_t> EncodeTrack(const ResultImage& image, int measure) {
  std::vector<uint8_t> blob = Header(measure);
  PutI32(blob, image.width);
  PutI32(blob, image.height);
  blob.resize(kImageHeaderBytes + TrackBytes(image.width, image.height), 0);
  size_t i = 0;
  for (int y = 0; y < image.height; ++y) {
    const uint8_t* row = image.pixels.ptr<uint8_t>(y);
    for (int x = 0; x < image.width; ++x, ++i) {
      const uint8_t v = row[x];
      const uint8_t code = v == kTrackLevel ? 0 : (v == kTrackOutside ? 3 : 1);
      blob[kImageHeaderBytes + i / 4] |= static_cast<uint8_t>(code << (2 * (i % 4)));
    }
  }
  return blob;
}

std::optional<ResultImage> DecodeTrack(std::span<const uint8_t> blob) {
  if (blob.size() < kImageHeaderBytes) return std::nullopt;
  ResultImage image;
  image.width = GetI32(blob, 8);
  image.height = GetI32(blob, 12);
  if (!ValidSize(image.width, image.height) ||
      blob.size() != kImageHeaderBytes + TrackBytes(image.width, image.height)) {
    return std::nullopt;
  }
  image.pixels.create(image.height, image.width, CV_8UC1);
  size_t i = 0;
  for (int y = 0; y < image.height; ++y) {
    uint8_t* row = image.pixels.ptr<uint8_t>(y);
    for (int x = 0; x < image.width; ++x, ++i) {
      switch ((blob[kImageHeaderBytes + i / 4] >> (2 * (i % 4))) & 3) {
        case 0:
          row[x] = kTrackLevel;
          break;
        case 1:
          row[x] = kTrackBackground;
          break;
        case 3:
          row[x] = kTrackOutside;
          break;
        default:  // the encoder never writes 2
          return std::nullopt;
      }
    }
  }
  return image;
}

std::vector<uint8_t> EncodeHeatMap(const ResultImage& image, int measure) {
  std::vector<uint8_t> png;
  try {
    if (!cv::imencode(".png", image.pixels, png)) return {};
  } catch (const cv::Exception&) {
    return {};
  }
  std::vector<uint8_t> blob = Header(measure);
  PutI32(blob, image.width);
  PutI32(blob, image.height);
  PutI32(blob, image.maximumMs);
  blob.insert(blob.end(), png.begin(), png.end());
  return blob;
}

uint32_t GetBigEndian32(std::span<const uint8_t> in, size_t at) {
  return uint32_t{in[at]} << 24 | uint32_t{in[at + 1]} << 16 | uint32_t{in[at + 2]} << 8 |
         uint32_t{in[at + 3]};
}

// True when png is framed as a PNG (signature, header chunk, end chunk) whose header states
// width x height: checked before decoding so that a damaged blob never makes the decoder
// allocate a huge image, and a truncated one is refused without a word from the decoder.
bool PngOfSize(std::span<const uint8_t> png, int width, int height) {
  static const uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  static const uint8_t kHeaderChunk[] = {'I', 'H', 'D', 'R'};
  static const uint8_t kEndChunk[] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
  return png.size() >= 24 + sizeof kEndChunk && std::memcmp(png.data(), kSignature, 8) == 0 &&
         std::memcmp(png.data() + 12, kHeaderChunk, 4) == 0 &&
         std::memcmp(png.data() + png.size() - sizeof kEndChunk, kEndChunk, sizeof kEndChunk) ==
             0 &&
         GetBigEndian32(png, 16) == static_cast<uint32_t>(width) &&
         GetBigEndian32(png, 20) == static_cast<uint32_t>(height);
}

std::optional<ResultImage> DecodeHeatMap(std::span<const uint8_t> blob) {
  if (blob.size() <= kHeatMapHeaderBytes) return std::nullopt;
  ResultImage image;
  image.width = GetI32(blob, 8);
  image.height = GetI32(blob, 12);
  image.maximumMs = GetI32(blob, 16);
  if (!ValidSize(image.width, image.height)) return std::nullopt;
  const std::span<const uint8_t> png = blob.subspan(kHeatMapHeaderBytes);
  if (!PngOfSize(png, image.width, image.height)) return std::nullopt;
  try {
    const cv::Mat bytes(1, static_cast<int>(png.size()), CV_8UC1,
                        const_cast<uint8_t*>(png.data()));
    image.pixels = cv::imdecode(bytes, cv::IMREAD_GRAYSCALE);
  } catch (const cv::Exception&) {
    return std::nullopt;
  }
  if (!ValidImage(image)) return std::nullopt;
  return image;
}

// The names and labels of a values table of count values of the report, or false.
bool RebuildTable(const ReportShape& shape, size_t count, TestResult& result) {
  const MeasureDefinition& d = shape.definition;
  if (d.measure == kMeasureSpeedByRange) {
    result.cells = SpeedRangeLabels(d, count);
    if (result.cells.size() != count) return false;
    result.periods = {kSpeedRangesPeriod};
    return true;
  }
  const size_t cells = shape.cells.size();
  if (cells == 0 || count % cells != 0) return false;
  result.periods = PeriodNames(d, count / cells);
  if (result.periods.size() != count / cells) return false;
  result.cells = shape.cells;
  return true;
}

}  // namespace

std::vector<uint8_t> EncodeResult(const TestResult& result, int measure) {
  if (measure == kMeasureEntryEvents) {
    if (!result.text) return {};
    std::vector<uint8_t> blob = Header(measure);
    blob.insert(blob.end(), result.text->begin(), result.text->end());
    return blob;
  }
  if (IsImageMeasure(measure)) {
    if (!result.image || !ValidImage(*result.image)) return {};
    return measure == kMeasureHeatMap ? EncodeHeatMap(*result.image, measure)
                                      : EncodeTrack(*result.image, measure);
  }
  if (result.values.empty()) return {};
  std::vector<uint8_t> blob = Header(measure);
  blob.reserve(kHeaderBytes + 4 * result.values.size());
  for (const double v : result.values) PutF32(blob, v);
  return blob;
}

std::optional<TestResult> DecodeResult(std::span<const uint8_t> blob, int testId,
                                       const ReportShape& shape) {
  const int measure = shape.definition.measure;
  if (blob.size() < kHeaderBytes || GetI32(blob, 0) != kReportBlobVersion ||
      GetI32(blob, 4) != measure) {
    return std::nullopt;
  }
  TestResult result;
  result.testId = testId;
  result.measure = measure;
  const std::span<const uint8_t> body = blob.subspan(kHeaderBytes);
  if (measure == kMeasureEntryEvents) {
    result.text = std::string(body.begin(), body.end());
    return result;
  }
  if (IsImageMeasure(measure)) {
    result.image = measure == kMeasureHeatMap ? DecodeHeatMap(blob) : DecodeTrack(blob);
    if (!result.image) return std::nullopt;
    return result;
  }
  if (body.empty() || body.size() % 4 != 0) return std::nullopt;
  const size_t count = body.size() / 4;
  if (!RebuildTable(shape, count, result)) return std::nullopt;
  result.values.reserve(count);
  for (size_t i = 0; i < count; ++i) result.values.push_back(GetF32(body, 4 * i));
  return result;
}

void RoundToStoredPrecision(TestResult& result) {
  for (double& v : result.values) v = static_cast<float>(v);
}

}  // namespace vx
