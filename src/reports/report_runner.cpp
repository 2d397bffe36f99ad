#include "reports/report_runner.h"

#include <map>
#include <memory>

#include "measures/image_measures.h"
#include "measures/measure_engine.h"
#include "db/result_store.h"

namespace vx {

namespace {

// Fresh entries are written in groups: one transaction per result would make the first run
// of a long report wait on the disk far more than on the computations.
constexpr size_t kEntriesPerWrite = 32;

// Behaviour measures over acquired tests (modes 4 to 7) need no analysis.
bool AcquiredIsEnough(const MeasureDefinition& d) {
  return IsBehaviorMeasure(d.measure) && d.periodMode >= 4 && d.periodMode <= 7;
}

void FillFromTable(const MeasureTable& table, TestResult& result) {
  if (table.PeriodCount() == 0 || table.CellCount() == 0) return;
  if (result.measure == kMeasureEntryEvents) {
    // The text is all that is kept of this measure, cached or not.
    result.text = table.text;
    return;
  }
  result.periods = table.periods;
  result.cells = table.cells;
  result.values = table.values;
}

// One run's pending cache writes.
class CacheWriter {
 public:
  CacheWriter(Experiment& experiment, int reportId, ReportRunStats& stats)
      : experiment_(experiment), reportId_(reportId), stats_(stats) {}
  ~CacheWriter() { Flush(); }

  void Add(int testId, std::vector<uint8_t> data) {
    pending_.push_back({testId, std::move(data)});
    if (pending_.size() >= kEntriesPerWrite) Flush();
  }

  void Flush() {
    if (pending_.empty()) return;
    const bool ok = StoreCachedResults(experiment_, reportId_, pending_);
    for (const CachedResult& entry : pending_) {
      if (!ok) {
        ++stats_.storeFailures;
      } else if (entry.data.empty()) {
        ++stats_.dropped;
      } else {
        ++stats_.stored;
      }
    }
    pending_.clear();
  }

 private:
  Experiment& experiment_;
  int reportId_;
  ReportRunStats& stats_;
  std::vector<CachedResult> pending_;
};

struct RunState {
  Experiment& experiment;
  const Report& report;
  const ReportShape& shape;
  bool useCache;
  ReportRunStats& stats;
  CacheWriter& writer;
};

TestResult ResultOfTest(RunState& run, const NamedId& test, const std::vector<uint8_t>* cached) {
  if (cached != nullptr) {
    if (std::optional<TestResult> decoded = DecodeResult(*cached, test.id, run.shape)) {
      decoded->title = test.name;
      ++run.stats.fromCache;
      return std::move(*decoded);
    }
  }
  TestResult result;
  const TestDataStatus status =
      ComputeTestResult(run.experiment, run.report, test.id, result);
  ++run.stats.computed;
  if (status != TestDataStatus::kOk) run.stats.failedTests.emplace_back(test.id, status);
  result.title = test.name;
  RoundToStoredPrecision(result);
  // A file that cannot be read says nothing about the entry: it stays as it is.
  if (!run.useCache || status == TestDataStatus::kReadFailed) return result;
  std::vector<uint8_t> data = EncodeResult(result, run.report.definition.measure);
  // An empty result leaves no entry; there is only something to delete when one was read.
  if (!data.empty() || cached != nullptr) run.writer.Add(test.id, std::move(data));
  return result;
}

}  // namespace

TestDataStatus ComputeTestResult(Experiment& experiment, const Report& report, int testId,
                                 TestResult& result) {
  result = TestResult();
  result.testId = testId;
  result.measure = report.definition.measure;
  if (const CInfosTest* test = experiment.FindTest(testId)) result.title = test->title;
  auto data = std::make_unique<TestMeasureData>();
  const TestDataStatus status = LoadTestMeasureData(experiment, testId, *data);
  if (status != TestDataStatus::kOk) return status;
  if (IsImageMeasure(result.measure)) {
    result.image = ComputeImageMeasure(experiment, report.definition, *data);
    return status;
  }
  MeasureTable table;
  ComputeMeasure(report.definition, data->input, table);
  FillFromTable(table, result);
  return status;
}

ReportRunStatus RunReport(Experiment& experiment, const Report& report,
                          const ReportRunOptions& options, std::vector<TestResult>& results,
                          ReportRunStats* stats) {
  results.clear();
  ReportRunStats local;
  ReportRunStats& counts = stats != nullptr ? *stats : local;
  counts = ReportRunStats();
  if (!report.readable) return ReportRunStatus::kUnreadableConfig;
  if (ValidateMeasureDefinition(report.definition) != 0) return ReportRunStatus::kRefused;
  const CProtocol* protocol = experiment.FindProtocol(report.protocolId);
  if (protocol == nullptr) return ReportRunStatus::kNoProtocol;

  std::vector<NamedId> tests;
  if (!SelectReportTests(experiment, protocol->id, AcquiredIsEnough(report.definition),
                         options.testIds, tests)) {
    return ReportRunStatus::kReadFailed;
  }
  std::map<int, std::vector<uint8_t>> cached;
  if (options.useCache) {
    std::vector<int> ids;
    for (const NamedId& test : tests) ids.push_back(test.id);
    if (!ReadCachedResults(experiment, report.id, ids, cached)) return ReportRunStatus::kReadFailed;
  }

  const ReportShape shape = ShapeOfReport(report, *protocol);
  CacheWriter writer(experiment, report.id, counts);
  RunState run{experiment, report, shape, options.useCache, counts, writer};
  const int total = static_cast<int>(tests.size());
  int done = 0;
  for (const NamedId& test : tests) {
    if (options.cancelled && options.cancelled()) return ReportRunStatus::kCancelled;
    const auto found = cached.find(test.id);
    results.push_back(ResultOfTest(run, test, found != cached.end() ? &found->second : nullptr));
    if (options.progress) options.progress(++done, total);
  }
  writer.Flush();
  return ReportRunStatus::kOk;
}

}  // namespace vx
