// The cache blob of a report result, against byte layouts worked out by hand, and every kind
// of bad blob: too short, another version or measure, a length or shape that does not fit,
// damaged images.
#include "reports/report_result.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include <opencv2/imgcodecs.hpp>

namespace vx {
namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> bytes;
  for (int v : values) bytes.push_back(static_cast<uint8_t>(v));
  return bytes;
}

// 10001 = 0x2711, little-endian.
std::vector<uint8_t> HeaderBytes(int measure) {
  return Bytes({0x11, 0x27, 0, 0, measure, 0, 0, 0});
}

ReportShape ShapeFor(int measure, std::vector<std::string> cells, int sliceSeconds = 0) {
  ReportShape shape;
  shape.definition.measure = measure;
  shape.definition.sliceLength = sliceSeconds;
  shape.definition.sliceUnit = 2;
  shape.cells = std::move(cells);
  return shape;
}

TestResult ValuesResult(int measure, std::vector<std::string> periods,
                        std::vector<std::string> cells, std::vector<double> values) {
  TestResult r;
  r.measure = measure;
  r.periods = std::move(periods);
  r.cells = std::move(cells);
  r.values = std::move(values);
  return r;
}

TEST(ReportBlob, ValuesAreSingleFloatsAfterTheHeader) {
  const TestResult r = ValuesResult(12, {"Total"}, {"A ( in )", "A ( out )"}, {1.5, -1});
  const std::vector<uint8_t> blob = EncodeResult(r, 12);
  std::vector<uint8_t> expected = HeaderBytes(12);
  // 1.5f = 0x3FC00000, -1.0f = 0xBF800000.
  for (int b : {0x00, 0x00, 0xC0, 0x3F, 0x00, 0x00, 0x80, 0xBF}) expected.push_back(b);
  EXPECT_EQ(blob, expected);

  const std::optional<TestResult> back = DecodeResult(blob, 7, ShapeFor(12, r.cells));
  ASSERT_TRUE(back);
  EXPECT_EQ(std::tuple(back->testId, back->measure, back->periods, back->cells, back->values),
            std::tuple(7, 12, r.periods, r.cells, r.values));
}

TEST(ReportBlob, EntryEventsAreTheTextAlone) {
  TestResult r;
  r.text = "0:1;1:-2;";
  std::vector<uint8_t> expected = HeaderBytes(13);
  for (char c : *r.text) expected.push_back(static_cast<uint8_t>(c));
  EXPECT_EQ(EncodeResult(r, 13), expected);
  const std::optional<TestResult> back = DecodeResult(expected, 2, ShapeFor(13, {}));
  ASSERT_TRUE(back && back->text);
  EXPECT_EQ(*back->text, "0:1;1:-2;");
  // No event at all is a result, not a missing one.
  const std::optional<TestResult> none = DecodeResult(HeaderBytes(13), 2, ShapeFor(13, {}));
  ASSERT_TRUE(none && none->text);
  EXPECT_FALSE(none->IsEmpty());
}

TEST(ReportBlob, TrackImageTakesTwoBitsPerPixel) {
  TestResult r;
  r.measure = 27;
  ResultImage image;
  image.width = 3;
  image.height = 3;
  // The pixels are the top of a taller matrix whose row below the image must not be read.
  cv::Mat canvas(4, 3, CV_8UC1, cv::Scalar(100));
  image.pixels = canvas.rowRange(0, 3);
  cv::Mat((cv::Mat_<uint8_t>(3, 3) << 0, 100, 255, 255, 0, 7, 100, 100, 0)).copyTo(image.pixels);
  r.image = image;
  const std::vector<uint8_t> blob = EncodeResult(r, 27);
  ASSERT_EQ(blob.size(), 19u);  // 16 + (9 + 3) / 4
  std::vector<uint8_t> expected = HeaderBytes(27);
  for (int b : {3, 0, 0, 0, 3, 0, 0, 0}) expected.push_back(b);
  // Codes 0 1 3 3 | 0 1 1 1 | 0, four to a byte from the low bits.
  for (int b : {0 | 1 << 2 | 3 << 4 | 3 << 6, 0 | 1 << 2 | 1 << 4 | 1 << 6, 0}) expected.push_back(b);
  EXPECT_EQ(blob, expected);

  const std::optional<TestResult> back = DecodeResult(blob, 1, ShapeFor(27, {}));
  ASSERT_TRUE(back && back->image);
  const cv::Mat want = (cv::Mat_<uint8_t>(3, 3) << 0, 100, 255, 255, 0, 100, 100, 100, 0);
  EXPECT_EQ(cv::countNonZero(back->image->pixels != want), 0);

  EXPECT_EQ(EncodeResult(r, 28).size(), 19u);
  EXPECT_FALSE(DecodeResult(blob, 1, ShapeFor(28, {})));  // measure 27's blob
}

TEST(ReportBlob, HeatMapIsAPngAfterItsSizeAndMaximum) {
  TestResult r;
  r.measure = 26;
  ResultImage image;
  image.width = 4;
  image.height = 2;
  image.maximumMs = 1234;
  image.pixels = (cv::Mat_<uint8_t>(2, 4) << 0, 10, 20, 30, 254, 255, 128, 1);
  r.image = image;
  const std::vector<uint8_t> blob = EncodeResult(r, 26);
  ASSERT_GT(blob.size(), 20u);
  EXPECT_EQ(std::vector<uint8_t>(blob.begin(), blob.begin() + 8), HeaderBytes(26));
  EXPECT_EQ(std::tuple(blob[8], blob[12], blob[16] | blob[17] << 8), std::tuple(4, 2, 1234));
  const std::vector<uint8_t> png(blob.begin() + 20, blob.end());
  const cv::Mat decoded = cv::imdecode(png, cv::IMREAD_UNCHANGED);
  ASSERT_EQ(decoded.type(), CV_8UC1);
  EXPECT_EQ(cv::countNonZero(decoded != image.pixels), 0);

  const std::optional<TestResult> back = DecodeResult(blob, 1, ShapeFor(26, {}));
  ASSERT_TRUE(back && back->image);
  EXPECT_EQ(back->image->maximumMs, 1234);
  EXPECT_EQ(cv::countNonZero(back->image->pixels != image.pixels), 0);
}

std::vector<uint8_t> Changed(std::vector<uint8_t> blob, size_t at, uint8_t value) {
  if (at == blob.size()) blob.push_back(value);
  blob[at] = value;
  return blob;
}

TEST(ReportBlob, BlobsThatDoNotFitTheReportAreRefused) {
  const std::vector<std::string> two{"A ( in )", "A ( out )"};
  const std::vector<uint8_t> good =
      EncodeResult(ValuesResult(12, {"Total"}, two, {1, 2}), 12);
  ASSERT_TRUE(DecodeResult(good, 1, ShapeFor(12, two)));
  TestResult image;
  image.image = ResultImage{3, 3, 0, cv::Mat(3, 3, CV_8UC1, cv::Scalar(100))};
  const std::vector<uint8_t> track = EncodeResult(image, 27);
  image.image = ResultImage{4, 4, 10, cv::Mat(4, 4, CV_8UC1, cv::Scalar(7))};
  const std::vector<uint8_t> heat = EncodeResult(image, 26);
  std::vector<uint8_t> garbled = heat;
  for (size_t i = 40; i < garbled.size(); ++i) garbled[i] ^= 0x5A;

  struct Case {
    const char* why;
    std::vector<uint8_t> blob;
    ReportShape shape;
  } cases[] = {
      {"another version", Changed(good, 0, 0x10), ShapeFor(12, two)},  // 10000
      {"another measure", Changed(good, 4, 4), ShapeFor(12, two)},
      {"the report's measure changed", good, ShapeFor(5, two)},
      {"not whole floats", Changed(good, good.size(), 0), ShapeFor(12, two)},
      {"cells changed", good, ShapeFor(12, {"A ( in )", "A ( out )", "B ( in )"})},
      {"no cell left", good, ShapeFor(12, {})},
      {"one period of the whole test", EncodeResult(ValuesResult(12, {}, two, {1, 2, 3, 4}), 12),
       ShapeFor(12, two)},
      {"a track level never written", Changed(track, 16, 2), ShapeFor(27, {})},
      {"a track longer than its pixels", Changed(track, track.size(), 0), ShapeFor(27, {})},
      {"a negative width", Changed(track, 11, 0xFF), ShapeFor(27, {})},
      {"sides beyond any image and the bytes", Changed(Changed(track, 10, 0x7F), 14, 0x7F),
       ShapeFor(27, {})},
      {"a heat map whose PNG has another size", Changed(heat, 8, 5), ShapeFor(26, {})},
      {"a garbled PNG", garbled, ShapeFor(26, {})},
  };
  for (const Case& c : cases) EXPECT_FALSE(DecodeResult(c.blob, 1, c.shape)) << c.why;
}

TEST(ReportBlob, EveryTruncationOfEveryKindIsHandled) {
  const std::vector<std::string> two{"A ( in )", "A ( out )"};
  TestResult values = ValuesResult(12, {"Total"}, two, {1, 2});
  TestResult track;
  track.image = ResultImage{5, 3, 0, cv::Mat(3, 5, CV_8UC1, cv::Scalar(255))};
  TestResult heat;
  heat.image = ResultImage{6, 6, 99, cv::Mat(6, 6, CV_8UC1, cv::Scalar(40))};
  const std::pair<int, std::vector<uint8_t>> blobs[] = {
      {12, EncodeResult(values, 12)}, {27, EncodeResult(track, 27)}, {26, EncodeResult(heat, 26)}};
  for (const auto& [measure, blob] : blobs) {
    for (size_t n = 0; n < blob.size(); ++n) {
      const std::span<const uint8_t> prefix(blob.data(), n);
      // A whole period fewer is indistinguishable from a shorter test; anything else is refused.
      const std::optional<TestResult> r = DecodeResult(prefix, 1, ShapeFor(measure, two));
      EXPECT_FALSE(r) << "measure " << measure << ", " << n << " bytes";
    }
  }
}

}  // namespace
}  // namespace vx
