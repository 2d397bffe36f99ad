#include "measures/report_periods.h"

#include <algorithm>

#include "base/text.h"

namespace vx {

namespace {

bool HasPoints(const PeriodSource& s) { return s.points != nullptr && s.first < s.points->size(); }

int64_t RelativeTime(const PeriodSource& s, size_t i) {
  return int64_t{(*s.points)[i].time} - s.origin;
}

// The report time up to which there are data.
int64_t AnalysedEndMs(const PeriodSource& s) {
  if (!HasPoints(s)) return s.durationWithoutPointsMs;
  return RelativeTime(s, s.points->size() - 1);
}

ReportPeriod MakePeriod(std::string name, int64_t start, int64_t end, int64_t analysedEnd) {
  ReportPeriod period{std::move(name), start, end, 0};
  period.lengthMs = std::max<int64_t>(0, std::min(end, analysedEnd) - start);
  return period;
}

constexpr const char* kWholeAnalysis = "Total";
constexpr const char* kEventPeriod = "Event period";

// Slice k of slice seconds: "00:05:00 - 00:10:00".
std::string SliceName(int64_t k, int64_t slice) {
  return FormatClock(k * slice * 1000) + " - " + FormatClock((k + 1) * slice * 1000);
}

std::vector<ReportPeriod> Slices(const MeasureDefinition& d, const PeriodSource& s) {
  const int64_t analysedEnd = AnalysedEndMs(s);
  const int64_t slice = d.SliceSeconds();
  if (slice <= 0) return {MakePeriod(kWholeAnalysis, 0, kOpenPeriodEnd, analysedEnd)};
  const int64_t seconds = AnalysedSeconds(s);
  const int64_t count = (seconds + slice - 1) / slice;
  std::vector<ReportPeriod> periods;
  for (int64_t k = 0; k < count; ++k) {
    const int64_t start = k * slice * 1000, end = (k + 1) * slice * 1000;
    periods.push_back(MakePeriod(SliceName(k, slice), start, end, analysedEnd));
  }
  return periods;
}

std::vector<ReportPeriod> UserPeriods(const MeasureDefinition& d, const PeriodSource& s) {
  std::vector<ReportPeriod> periods;
  for (const tPeriod& p : d.periods) {
    periods.push_back(MakePeriod(p.name, p.StartTimeMs(), p.EndTimeMs(), AnalysedEndMs(s)));
  }
  return periods;
}

ReportPeriod EventPeriod(const MeasureDefinition& d, const PeriodSource& s) {
  if (!HasPoints(s)) return MakePeriod(kEventPeriod, 0, 0, 0);
  CMyEvent start = d.startEvent, end = d.endEvent;
  start.Reset(s.zones);
  end.Reset(s.zones);
  const std::vector<tMyPoint>& points = *s.points;
  size_t i = s.first;
  for (; i < points.size(); ++i) {
    if (start.Evaluate(points[i], RelativeTime(s, i), s.events)) break;
  }
  if (i == points.size()) return MakePeriod(kEventPeriod, 0, 0, 0);
  const int64_t periodStart = RelativeTime(s, i);
  end.Rearm(periodStart);
  int64_t periodEnd = RelativeTime(s, points.size() - 1);
  for (++i; i < points.size(); ++i) {
    const int64_t t = RelativeTime(s, i);
    if (end.Evaluate(points[i], t, s.events)) {
      periodEnd = t;
      break;
    }
  }
  return MakePeriod(kEventPeriod, periodStart, periodEnd, AnalysedEndMs(s));
}

}  // namespace

int64_t AnalysedSeconds(const PeriodSource& s) {
  if (!HasPoints(s)) return (s.durationWithoutPointsMs + 500) / 1000;
  const int64_t span = int64_t{s.points->back().time} - (*s.points)[s.first].time;
  return std::max<int64_t>(0, (span + 500) / 1000);
}

std::string FormatClock(int64_t ms) {
  const int64_t seconds = ms / 1000;
  return Format("%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
}

std::vector<std::string> PeriodNames(const MeasureDefinition& d, size_t count) {
  std::vector<std::string> names;
  switch (BasePeriodMode(d.periodMode)) {
    case kPeriodEvents:
      if (count == 1) names.push_back(kEventPeriod);
      break;
    case kPeriodList:
      if (count != d.periods.size()) break;
      for (const tPeriod& p : d.periods) names.push_back(p.name);
      break;
    default: {
      const int64_t slice = d.SliceSeconds();
      if (slice <= 0) {
        if (count == 1) names.push_back(kWholeAnalysis);
        break;
      }
      for (size_t k = 0; k < count; ++k) {
        names.push_back(SliceName(static_cast<int64_t>(k), slice));
      }
      break;
    }
  }
  return names;
}

std::vector<ReportPeriod> BuildReportPeriods(const MeasureDefinition& d, const PeriodSource& s) {
  switch (BasePeriodMode(d.periodMode)) {
    case kPeriodEvents:
      return {EventPeriod(d, s)};
    case kPeriodList:
      return UserPeriods(d, s);
    default:
      return Slices(d, s);
  }
}

}  // namespace vx
