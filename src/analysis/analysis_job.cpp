#include "analysis/analysis_job.h"

#include "db/frame_times.h"
#include "db/test_store.h"
#include "db/video_store.h"
#include "detection/detection_settings.h"
#include "video/capture.h"
#include "video/video_info.h"
#include "video/video_scan.h"
#include "zones/ref_image.h"

namespace vx {

namespace {

int ReferenceIdOf(const std::string& settings, const Clock& clock) {
  return ParseDetectionSettings(settings, clock).referenceImageId;
}

void LoadLibraryImages(Experiment& experiment, TestJob& job) {
  const Clock* clock = experiment.file.services.clock;
  if (clock == nullptr) return;
  std::vector<std::string> texts = {job.test.paramsDetection};
  for (const AlternativeSettings& alternative : job.alternatives) {
    texts.push_back(alternative.settings);
  }
  for (const std::string& text : texts) {
    const int id = ReferenceIdOf(text, *clock);
    if (id > 0 && !job.libraryImages.count(id)) {
      job.libraryImages[id] = LoadRefImage(experiment.file, id);
    }
  }
}

}  // namespace

cv::Mat TestJob::LibraryImage(int id) const {
  const auto found = libraryImages.find(id);
  return found == libraryImages.end() ? cv::Mat() : found->second;
}

JobStatus LoadTestJob(Experiment& experiment, int testId, const std::string& alternative,
                      TestJob& job) {
  job = TestJob();
  if (!LoadTest(experiment, testId, job.test)) return JobStatus::kTestUnreadable;
  if (const CProtocol* protocol = experiment.FindProtocol(job.test.idProtocol)) {
    job.protocol = *protocol;
    job.protocolFound = true;
  }
  job.sizes = AnimalSizeOf(experiment.FindAnimal(job.test.idAnimal), experiment.settings.animalSize);
  job.smoothing = ParseSmoothingSettings(experiment.settings.smooth);

  if (!alternative.empty()) job.alternatives.push_back({-1, std::string(), alternative});
  CVideoFile video;
  if (job.test.source < 0 || !LoadVideo(experiment, job.test.source, video)) {
    return JobStatus::kNoVideo;
  }
  for (auto it = video.testIds.rbegin(); it != video.testIds.rend(); ++it) {
    if (*it == testId) continue;
    // The lists loaded with the experiment do not hold the settings texts: read each one.
    CInfosTest other;
    if (LoadTest(experiment, *it, other)) {
      job.alternatives.push_back({other.id, other.title, other.paramsDetection});
    }
  }
  LoadLibraryImages(experiment, job);

  job.frameTimesBlob = video.listePoints;
  // The analysis times every frame by the stored times, so that the trajectory read back
  // later has exactly the times the analysis used.
  FrameTimes times;
  if (ReadFrameTimes(job.frameTimesBlob, times)) job.openOptions.frameTimes = ExpandFrameTimes(times);
  job.openOptions.analysedWithFfmpeg =
      !job.test.infosAnalyse.empty() &&
      VideoFieldsOf(ParseInfo(job.test.infosAnalyse)).backend == kBackendFfmpeg;
  job.videoPath = ResolveVideoPath(experiment.file, video.file);
  const FileSystem* files = experiment.file.services.files;
  if (job.videoPath.empty() || (files != nullptr && !files->Exists(job.videoPath))) {
    return JobStatus::kVideoMissing;
  }
  return JobStatus::kReady;
}

}  // namespace vx
