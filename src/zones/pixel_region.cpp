#include "zones/pixel_region.h"

#include <algorithm>

namespace vx {

namespace {

// Sorts and merges the spans of one row in place (touching spans join).
void NormalizeRow(std::vector<PixelRegion::Span>& row) {
  std::sort(row.begin(), row.end(),
            [](const PixelRegion::Span& a, const PixelRegion::Span& b) { return a.x0 < b.x0; });
  size_t out = 0;
  for (size_t i = 0; i < row.size(); ++i) {
    if (out > 0 && row[i].x0 <= row[out - 1].x1) {
      row[out - 1].x1 = std::max(row[out - 1].x1, row[i].x1);
    } else {
      row[out++] = row[i];
    }
  }
  row.resize(out);
}

}  // namespace

void PixelRegion::Builder::AddSpan(int y, int x0, int x1) {
  if (y < -kRegionLimit || y >= kRegionLimit) return;
  x0 = std::max(x0, -kRegionLimit);
  x1 = std::min(x1, kRegionLimit);
  if (x1 <= x0) return;
  if (!hasRow_ || y != rowY_) {
    FlushRow();
    rowY_ = y;
    hasRow_ = true;
  }
  row_.push_back({x0, x1});
}

void PixelRegion::Builder::FlushRow() {
  if (!hasRow_ || row_.empty()) return;
  NormalizeRow(row_);
  rowYs_.push_back(rowY_);
  rowStarts_.push_back(static_cast<int>(spans_.size()));
  spans_.insert(spans_.end(), row_.begin(), row_.end());
  row_.clear();
}

PixelRegion PixelRegion::Builder::Build() {
  FlushRow();
  hasRow_ = false;
  PixelRegion region;
  if (rowYs_.empty()) return region;
  region.top_ = rowYs_.front();
  const int rows = rowYs_.back() - rowYs_.front() + 1;
  region.rowStarts_.assign(static_cast<size_t>(rows) + 1, 0);
  size_t next = 0;
  for (int r = 0; r < rows; ++r) {
    // A row that received no span starts where the next stored row starts.
    while (next < rowYs_.size() && rowYs_[next] < region.top_ + r) ++next;
    region.rowStarts_[static_cast<size_t>(r)] =
        next < rowYs_.size() ? rowStarts_[next] : static_cast<int>(spans_.size());
  }
  region.rowStarts_[static_cast<size_t>(rows)] = static_cast<int>(spans_.size());
  region.spans_ = std::move(spans_);
  region.box_ = region.ComputeBoundingBox();
  rowYs_.clear();
  rowStarts_.clear();
  spans_.clear();
  return region;
}

PixelRegion PixelRegion::FromRect(const PixelRect& rect) {
  Builder builder;
  const int top = std::max(rect.top, -kRegionLimit);
  const int bottom = std::min(rect.bottom, kRegionLimit);
  for (int y = top; y < bottom; ++y) builder.AddSpan(y, rect.left, rect.right);
  return builder.Build();
}

PixelRegion PixelRegion::FromMask(const cv::Mat& mask, cv::Point origin) {
  Builder builder;
  if (mask.empty() || mask.type() != CV_8UC1) return builder.Build();
  for (int r = 0; r < mask.rows; ++r) {
    const uint8_t* row = mask.ptr<uint8_t>(r);
    int c = 0;
    while (c < mask.cols) {
      while (c < mask.cols && row[c] == 0) ++c;
      const int start = c;
      while (c < mask.cols && row[c] != 0) ++c;
      if (c > start) builder.AddSpan(origin.y + r, origin.x + start, origin.x + c);
    }
  }
  return builder.Build();
}

int PixelRegion::RowIndex(int y) const {
  const int64_t r = int64_t{y} - top_;
  if (r < 0 || r + 1 >= static_cast<int64_t>(rowStarts_.size())) return -1;
  return static_cast<int>(r);
}

bool PixelRegion::Contains(int x, int y) const {
  const int r = RowIndex(y);
  if (r < 0) return false;
  const Span* first = spans_.data() + rowStarts_[static_cast<size_t>(r)];
  const Span* last = spans_.data() + rowStarts_[static_cast<size_t>(r) + 1];
  // Rows of zone shapes hold one or two spans; only long rows are worth a binary search.
  if (last - first > 8) {
    first = std::upper_bound(first, last, x, [](int v, const Span& s) { return v < s.x1; });
    return first != last && x >= first->x0;
  }
  for (; first != last; ++first) {
    if (x < first->x0) return false;
    if (x < first->x1) return true;
  }
  return false;
}

int64_t PixelRegion::PixelCount() const {
  int64_t count = 0;
  for (const Span& s : spans_) count += int64_t{s.x1} - s.x0;
  return count;
}

PixelRect PixelRegion::ComputeBoundingBox() const {
  if (spans_.empty()) return {};
  int left = spans_.front().x0;
  int right = spans_.front().x1;
  for (const Span& s : spans_) {
    left = std::min(left, s.x0);
    right = std::max(right, s.x1);
  }
  return {left, top_, right, top_ + static_cast<int>(rowStarts_.size()) - 1};
}

std::vector<PixelRect> PixelRegion::Rectangles() const {
  std::vector<PixelRect> rects;
  const int rows = static_cast<int>(rowStarts_.size()) - 1;
  auto sameRow = [&](int a, int b) {
    const int na = rowStarts_[a + 1] - rowStarts_[a];
    if (na != rowStarts_[b + 1] - rowStarts_[b]) return false;
    for (int i = 0; i < na; ++i) {
      const Span& sa = spans_[static_cast<size_t>(rowStarts_[a] + i)];
      const Span& sb = spans_[static_cast<size_t>(rowStarts_[b] + i)];
      if (sa.x0 != sb.x0 || sa.x1 != sb.x1) return false;
    }
    return true;
  };
  int r = 0;
  while (r < rows) {
    int end = r + 1;
    while (end < rows && sameRow(r, end)) ++end;
    for (int i = rowStarts_[r]; i < rowStarts_[r + 1]; ++i) {
      const Span& s = spans_[static_cast<size_t>(i)];
      rects.push_back({s.x0, top_ + r, s.x1, top_ + end});
    }
    r = end;
  }
  return rects;
}

PixelRegion PixelRegion::Combine(const PixelRegion& a, const PixelRegion& b, Op op) {
  Builder builder;
  if (a.IsEmpty() && b.IsEmpty()) return builder.Build();
  const int aRows = static_cast<int>(a.rowStarts_.size()) - 1;
  const int bRows = static_cast<int>(b.rowStarts_.size()) - 1;
  int first = a.IsEmpty() ? b.top_ : (b.IsEmpty() ? a.top_ : std::min(a.top_, b.top_));
  int last = a.IsEmpty() ? b.top_ + bRows : (b.IsEmpty() ? a.top_ + aRows
                                                         : std::max(a.top_ + aRows, b.top_ + bRows));
  std::vector<std::pair<int, int>> events;  // (x, +1/-1 for a, +2/-2 for b)
  for (int y = first; y < last; ++y) {
    events.clear();
    for (const auto& [region, weight] : {std::pair{&a, 1}, std::pair{&b, 2}}) {
      const int r = region->RowIndex(y);
      if (r < 0) continue;
      for (int i = region->rowStarts_[r]; i < region->rowStarts_[r + 1]; ++i) {
        events.emplace_back(region->spans_[static_cast<size_t>(i)].x0, weight);
        events.emplace_back(region->spans_[static_cast<size_t>(i)].x1, -weight);
      }
    }
    if (events.empty()) continue;
    std::sort(events.begin(), events.end());
    bool inA = false, inB = false;
    int start = 0;
    bool inside = false;
    for (size_t i = 0; i < events.size();) {
      const int x = events[i].first;
      for (; i < events.size() && events[i].first == x; ++i) {
        const int w = events[i].second;
        if (w == 1 || w == -1) inA = w > 0; else inB = w > 0;
      }
      const bool now = op == Op::Union ? (inA || inB)
                       : op == Op::Intersect ? (inA && inB)
                                             : (inA && !inB);
      if (now && !inside) start = x;
      if (!now && inside) builder.AddSpan(y, start, x);
      inside = now;
    }
  }
  return builder.Build();
}

PixelRegion PixelRegion::Union(const PixelRegion& other) const {
  return Combine(*this, other, Op::Union);
}
PixelRegion PixelRegion::Intersect(const PixelRegion& other) const {
  return Combine(*this, other, Op::Intersect);
}
PixelRegion PixelRegion::Subtract(const PixelRegion& other) const {
  return Combine(*this, other, Op::Subtract);
}

PixelRegion PixelRegion::Grown(int margin) const {
  if (margin <= 0 || IsEmpty()) return *this;
  margin = std::min(margin, kRegionLimit);
  Builder builder;
  const int rows = static_cast<int>(rowStarts_.size()) - 1;
  std::vector<Span> row;
  for (int y = top_ - margin; y < top_ + rows + margin; ++y) {
    row.clear();
    const int from = std::max(0, y - margin - top_);
    const int to = std::min(rows - 1, y + margin - top_);
    for (int r = from; r <= to; ++r) {
      for (int i = rowStarts_[r]; i < rowStarts_[r + 1]; ++i) {
        const Span& s = spans_[static_cast<size_t>(i)];
        row.push_back({s.x0 - margin, s.x1 + margin});
      }
    }
    for (const Span& s : row) builder.AddSpan(y, s.x0, s.x1);
  }
  return builder.Build();
}

void PixelRegion::Paint(cv::Mat& mask, cv::Point origin, uint8_t value) const {
  if (mask.empty() || mask.type() != CV_8UC1) return;
  const int rows = static_cast<int>(rowStarts_.size()) - 1;
  for (int r = 0; r < rows; ++r) {
    const int64_t my = int64_t{top_} + r - origin.y;
    if (my < 0 || my >= mask.rows) continue;
    uint8_t* line = mask.ptr<uint8_t>(static_cast<int>(my));
    for (int i = rowStarts_[r]; i < rowStarts_[r + 1]; ++i) {
      const Span& s = spans_[static_cast<size_t>(i)];
      const int64_t x0 = std::max<int64_t>(0, int64_t{s.x0} - origin.x);
      const int64_t x1 = std::min<int64_t>(mask.cols, int64_t{s.x1} - origin.x);
      if (x1 > x0) std::fill(line + x0, line + x1, value);
    }
  }
}

bool PixelRegion::operator==(const PixelRegion& other) const {
  if (spans_.size() != other.spans_.size()) return false;
  if (IsEmpty()) return true;
  if (top_ != other.top_ || rowStarts_ != other.rowStarts_) return false;
  for (size_t i = 0; i < spans_.size(); ++i) {
    if (spans_[i].x0 != other.spans_[i].x0 || spans_[i].x1 != other.spans_[i].x1) return false;
  }
  return true;
}

}  // namespace vx
