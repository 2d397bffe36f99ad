// One test's result for a report, and its cached form (table ReportsData, column Data).
//
// A result holds, by measure:
//   - the values table: one value per (period, cell), period-major, with the period names and
//     the cell labels (every measure but 13 and 26 to 28);
//   - the entry-event text, "%d:%d;" per event (measure 13), without the table;
//   - an image: the heat map (26) or a track image (27, 28).
// A result with none of these is empty: nothing could be computed, and nothing is cached.
//
// Cache blob, little-endian:
//   i32 10001, i32 measure, then by measure
//   13      the text in UTF-8, no terminator (an empty text: the 8-byte header alone)
//   26      i32 width, i32 height, i32 the largest time per pixel (ms), the image as PNG
//   27, 28  i32 width, i32 height, 2 bits per pixel, row-major, four pixels per byte from the
//           low bits: 0 a track pixel (0), 1 the background (1 to 254), 3 outside the arena
//           (255); (width * height + 3) / 4 bytes
//   others  one f32 per value, in table order: 4 * values + 8 bytes
// Values are cached in single precision: a value read back is the computed one rounded to f32.
//
// Only the values travel in the blob: the period names and cell labels are rebuilt from the
// report (ReportShape), so a blob whose number of values does not fit the report's cells and
// periods is refused like a blob of another version or measure.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "measures/measure_definition.h"
#include "measures/result_image.h"

namespace vx {

inline constexpr int32_t kReportBlobVersion = 10001;

struct TestResult {
  int testId = -1;
  std::string title;
  int measure = 0;
  std::vector<std::string> periods;  // names
  std::vector<std::string> cells;    // labels
  std::vector<double> values;        // values[p * cells.size() + c]
  std::optional<std::string> text;   // measure 13
  std::optional<ResultImage> image;  // measures 26 to 28

  bool IsEmpty() const { return values.empty() && !text && !image; }
  size_t PeriodCount() const { return periods.size(); }
  size_t CellCount() const { return cells.size(); }
  double At(size_t period, size_t cell) const { return values[period * cells.size() + cell]; }
};

// What a report's results look like, known without any trajectory: the definition (its
// periods and ranges) and the cells of its zones or behaviours.
struct ReportShape {
  MeasureDefinition definition;
  std::vector<std::string> cells;  // zone cells (zone_cells.h) or behaviour names
};

// The cache blob of result for measure; empty for an empty result (which is not cached), an
// image that is not 8-bit single-channel of its stated size, or a result of another kind.
std::vector<uint8_t> EncodeResult(const TestResult& result, int measure);

// The result a blob holds for a test of the report, or nothing when the blob is not a valid
// entry for it: shorter than 8 bytes, another version or measure, a length that does not fit,
// an undecodable image, or a number of values the report's cells and periods cannot take.
// The title is left for the caller.
std::optional<TestResult> DecodeResult(std::span<const uint8_t> blob, int testId,
                                       const ReportShape& shape);

// The values rounded to single precision, as the cache keeps them.
void RoundToStoredPrecision(TestResult& result);

}  // namespace vx
