#include "reports/report_runner.h"

#include <algorithm>
#include <map>
#include <memory>

#include "measures/image_measures.h"
#include "measures/measure_engine.h"
#include "db/result_store.h"

namespace vx {

namespace {

// Fresh entries are written, and the trajectories read, in groups: one transaction (and one
// opening of the file) per result would make the first run of a long report wait on the disk
// far more than on the computations. A group's trajectories are all in memory at once.
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
  bool preloading = false;  // the smoothing setting was read: blobs are read by groups
  PreloadedTestData preloaded;
  std::map<int, TestBlobs> blobs;  // the current group's tests without a cache entry
};

// Reads at once the blobs of the tests of [from, to) that the cache cannot answer.
void PreloadGroup(RunState& run, const std::vector<NamedId>& tests, size_t from, size_t to,
                  const std::map<int, std::vector<uint8_t>>& cached) {
  run.blobs.clear();
  if (!run.preloading) return;
  std::vector<const CInfosTest*> group;
  for (size_t i = from; i < to; ++i) {
    const CInfosTest* test = run.experiment.FindTest(tests[i].id);
    if (test != nullptr && cached.count(test->id) == 0) group.push_back(test);
  }
  // A failed read leaves the map empty: each test then reads (and reports) for itself.
  if (!group.empty()) LoadTestsBlobs(run.experiment, group, run.blobs);
}

TestResult ResultOfTest(RunState& run, const NamedId& test, const std::vector<uint8_t>* cached) {
  if (cached != nullptr) {
    if (std::optional<TestResult> decoded = DecodeResult(*cached, test.id, run.shape)) {
      decoded->title = test.name;
      ++run.stats.fromCache;
      return std::move(*decoded);
    }
  }
  TestResult result;
  const auto blobs = run.blobs.find(test.id);
  PreloadedTestData preloaded = run.preloaded;
  preloaded.blobs = blobs != run.blobs.end() ? &blobs->second : nullptr;
  const TestDataStatus status = ComputeTestResult(run.experiment, run.report, test.id, result,
                                                  run.preloading ? &preloaded : nullptr);
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
                                 TestResult& result, const PreloadedTestData* preloaded) {
  result = TestResult();
  result.testId = testId;
  result.measure = report.definition.measure;
  if (const CInfosTest* test = experiment.FindTest(testId)) result.title = test->title;
  auto data = std::make_unique<TestMeasureData>();
  const TestDataStatus status = LoadTestMeasureData(experiment, testId, *data, preloaded);
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
  run.preloading = LoadSmoothingSettings(experiment.file, run.preloaded.smoothing);
  const int total = static_cast<int>(tests.size());
  int done = 0;
  for (size_t i = 0; i < tests.size(); ++i) {
    if (options.cancelled && options.cancelled()) return ReportRunStatus::kCancelled;
    if (i % kEntriesPerWrite == 0) PreloadGroup(run, tests, i, std::min(tests.size(), i + kEntriesPerWrite), cached);
    const auto found = cached.find(tests[i].id);
    results.push_back(ResultOfTest(run, tests[i], found != cached.end() ? &found->second : nullptr));
    if (options.progress) options.progress(++done, total);
  }
  writer.Flush();
  return ReportRunStatus::kOk;
}

}  // namespace vx
