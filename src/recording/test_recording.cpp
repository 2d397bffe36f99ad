#include "recording/test_recording.h"

#include <memory>
#include <set>

#include "analysis/analysis_run.h"
#include "analysis/analysis_store.h"
#include "analysis/reference_image.h"
#include "base/messages.h"
#include "base/recording_messages.h"
#include "base/text.h"
#include "db/frame_times.h"
#include "db/recorded_video_store.h"
#include "db/test_analysis_store.h"
#include "db/test_store.h"
#include "db/video_store.h"
#include "protocol/stage_program.h"
#include "recording/recording_files.h"
#include "video/video_info.h"
#include "zones/ref_image.h"
#include "zones/zone_rows.h"

namespace vx {

namespace {


// The protocol's amounts of time (units 0 h, 1 min, 2 s), in ms; 0 for none.
int DurationMs(int amount, int unit) {
  return static_cast<int>(MaximumDurationSeconds(amount, unit) * 1000);
}

const RecordingFormat* ChooseFormat(const RecordRequest& request, const CProtocol& protocol,
                                    const std::string& stem, FileSystem& files) {
  if (!request.format.empty()) return FindRecordingFormat(request.format);
  if (const RecordingFormat* stored = RecordingFormatNumbered(protocol.formatRecordNoA)) {
    return stored;
  }
  return ProbeRecordingFormat(stem, files);
}

std::unique_ptr<LiveStream> OpenStream(const RecordRequest& request, const CProtocol& protocol,
                                       std::string& detail) {
  VideoStatus status = VideoStatus::kOk;
  std::unique_ptr<LiveStream> stream;
  if (!request.standIn.empty()) {
    stream = OpenStandInStream(request.standIn, request.pace, status);
  } else {
    CameraRequest camera;
    camera.index = request.camera;
    camera.fps = protocol.maxFps > 0 ? protocol.maxFps : 0;
    if (protocol.width > 0 && protocol.height > 0) camera.size = {protocol.width, protocol.height};
    stream = OpenCameraStream(camera, status);
  }
  if (!stream) detail = VideoStatusText(status);
  return stream;
}

// The stop actions of the protocol's program that act on the video (their video flag): they
// end the recording, where the others only stop the tracking.
std::set<int> VideoStopActions(const CProtocol& protocol) {
  StageProgram program;
  LoadProgram(program, protocol);
  std::set<int> ids;
  for (const CAction& action : program.actions) {
    if (action.kind == kActionStop && action.videoFlag) ids.insert(action.id);
  }
  return ids;
}

// Everything the live tracking needs, kept alive for the recording.
struct LiveTracking {
  AnalysisSource source;
  ZoneSet zones;
  DetectionSettings settings;
  std::unique_ptr<FrameProgram> program;
  std::unique_ptr<FrameTracker> tracker;
};

RecordStatus PrepareTracking(Experiment& experiment, const TestJob& job, LiveTracking& live,
                             const Clock& clock) {
  live.settings = ParseDetectionSettings(job.test.paramsDetection, clock);
  if (UsesReference(live.settings.method)) {
    if (live.settings.referenceImageId <= 0) return RecordStatus::kNeedsReference;
    live.settings.referenceImage = LoadRefImage(experiment.file, live.settings.referenceImageId);
    if (live.settings.referenceImage.empty()) return RecordStatus::kNeedsReference;
  }
  PrepareSource(live.source, job, live.zones, live.settings);
  SetReference(live.source, live.settings.referenceImage);
  live.source.info[run_info::kFramesExpected] = 0;
  return RecordStatus::kRecorded;
}

CVideoFile VideoRecord(const TestJob& job, const RecordingResult& recording,
                       const std::string& storedFile, int64_t dateAcq) {
  CVideoFile video;
  video.name = job.test.title.empty() ? Format("Test %d", job.test.id) : job.test.title;
  video.file = storedFile;
  video.idProtocol = job.test.idProtocol;
  video.dateAcq = dateAcq;
  video.nbFrames = static_cast<int>(recording.frameTimes.size());
  video.duration = static_cast<int>(recording.frameTimes.back());
  video.width = recording.size.width;
  video.height = recording.size.height;
  video.listePoints = WriteFrameTimes(FrameTimes::FromList(recording.frameTimes));
  video.infos.backend = kBackendFfmpeg;
  video.infos.known = 1;
  video.infos.first = 0;
  video.infos.second = video.nbFrames - 1;
  video.infos.timeBase = 0;  // the program's own times
  return video;
}

// The live analysis as an attempt of the analysis run, so that it is finished and stored the
// way every analysis is.
AttemptResult LiveAttempt(LiveTracking& live, const RecordingResult& recording) {
  AttemptResult attempt;
  attempt.settings = live.settings;
  attempt.trajectory = live.source.CopyTrajectory();
  attempt.trajectory.FinishAppending();
  const int frames = static_cast<int>(recording.frameTimes.size());
  attempt.framesWithAnimal = static_cast<int>(attempt.trajectory.size());
  attempt.framesInPeriod = frames;
  attempt.framesExpected = frames;
  attempt.rate = DetectionRate(attempt.framesWithAnimal, frames);
  AnalysisInfo& info = attempt.info;
  info = live.source.info;
  info[run_info::kLastFrame] = frames - 1;
  info[run_info::kEndTime] = recording.frameTimes.back();
  info[run_info::kEnding] = static_cast<int>(recording.trackingEnding);
  info[run_info::kFramesExpected] = frames;
  info[run_info::kPeriodFrames] = frames;
  info[run_info::kAnimalFrames] = attempt.framesWithAnimal;
  VideoInfoFields fields;
  fields.timing = 0;
  fields.startFrame = 0;
  fields.lastFrame = frames - 1;
  fields.correction = 0;
  fields.version = PackedProgramVersion();
  SetVideoFields(info, fields);
  return attempt;
}

void Store(Experiment& experiment, TestJob& job, LiveTracking* live, RecordOutcome& outcome) {
  ExperimentFile& file = experiment.file;
  FileSystem& files = *file.services.files;
  const Clock& clock = *file.services.clock;
  const RecordingResult& recording = outcome.recording;
  const std::string name = StoredRecordingName(
      job.test.id, [&](const std::string& stored) { return VideoFileInUse(experiment, stored); });
  const std::string stored = file.CompanionFolder() + name;
  files.RemoveFile(stored);  // no video uses it
  if (!files.MoveFile(outcome.temporaryPath, stored)) {
    outcome.status = RecordStatus::kNotStored;
    outcome.detail = Format("the recording cannot be moved to '%s'", stored.c_str());
    return;
  }
  const int64_t now = clock.NowSeconds();
  CVideoFile video = VideoRecord(job, recording, name, now - recording.frameTimes.back() / 1000);
  if (!StoreRecordedVideo(experiment, video, job.test.id, video.dateAcq)) {
    files.MoveFile(stored, outcome.temporaryPath);  // as if it had never been stored
    outcome.status = RecordStatus::kNotStored;
    outcome.detail = "the experiment file cannot be written";
    return;
  }
  outcome.status = RecordStatus::kRecorded;
  outcome.storedPath = stored;
  outcome.videoId = video.id;
  if (live == nullptr) return;
  job.test.source = video.id;
  job.test.dateAcq = video.dateAcq;
  job.frameTimesBlob = video.listePoints;
  const AttemptResult attempt = LiveAttempt(*live, recording);
  outcome.points = attempt.framesWithAnimal;
  outcome.rate = attempt.rate;
  StoredAnalysis analysis = FinishAnalysis(job, attempt, now);
  outcome.tracked = StoreAnalysis(experiment, analysis);
  outcome.trackingNotStored = !outcome.tracked;
}

// The test a recording asks to create; a status other than kRecorded when it cannot be.
RecordStatus CreateTest(Experiment& experiment, const RecordRequest& request, int& testId) {
  if (experiment.FindProtocol(request.newProtocol) == nullptr) return RecordStatus::kNoProtocol;
  if (experiment.FindAnimal(request.newAnimal) == nullptr) return RecordStatus::kNoAnimal;
  CInfosTest test;
  test.idProtocol = request.newProtocol;
  test.idAnimal = request.newAnimal;
  test.title = request.newTitle;
  LatestDetectionSettingsOfAnimal(experiment, request.newAnimal, test.paramsDetection);
  if (!SaveTest(experiment, test, false)) return RecordStatus::kTestNotCreated;
  testId = test.id;
  return RecordStatus::kRecorded;
}

RecordOutcome RecordExistingTest(Experiment& experiment, const RecordRequest& request,
                                 RecordingObserver& observer, const ProgramFactory& programs) {
  RecordOutcome outcome;
  outcome.testId = request.testId;
  TestJob job;
  if (LoadTestJob(experiment, request.testId, "", job) == JobStatus::kTestUnreadable) {
    outcome.status = RecordStatus::kNoTest;
    return outcome;
  }
  if (!job.protocolFound) {
    outcome.status = RecordStatus::kNoProtocol;
    return outcome;
  }
  const CProtocol& protocol = job.protocol;
  ExperimentFile& file = experiment.file;
  FileSystem& files = *file.services.files;
  files.CreateDirectories(file.CompanionFolder());
  const std::string stem = TemporaryRecordingStem(file.CompanionFolder());
  outcome.format = ChooseFormat(request, protocol, stem, files);
  if (outcome.format == nullptr) {
    outcome.status = request.format.empty() ? RecordStatus::kWriterUnavailable
                                            : RecordStatus::kBadFormat;
    return outcome;
  }
  outcome.temporaryPath = stem + "." + outcome.format->extension;

  const std::unique_ptr<LiveStream> stream = OpenStream(request, protocol, outcome.detail);
  if (!stream) {
    outcome.status = RecordStatus::kStreamUnavailable;
    return outcome;
  }
  const cv::Size image(protocol.width, protocol.height);
  if (image.area() > 0 && stream->FrameSize() != image) {
    outcome.status = RecordStatus::kSizeMismatch;
    outcome.detail = Format("the frames are %dx%d pixels, the protocol's image is %dx%d",
                            stream->FrameSize().width, stream->FrameSize().height, image.width,
                            image.height);
    return outcome;
  }

  std::unique_ptr<LiveTracking> live;
  VideoSource idle(CaptureFactory{}, nullptr);  // runs the threads when nothing is tracked
  std::unique_ptr<FrameProgram> program;
  if (request.track) {
    live = std::make_unique<LiveTracking>();
    LoadZoneSet(protocol, live->zones);
    outcome.status = PrepareTracking(experiment, job, *live, *file.services.clock);
    if (outcome.status != RecordStatus::kRecorded) return outcome;
  }
  const ZoneSet* zones = live ? &live->zones : nullptr;
  ZoneSet noZones;
  if (programs) program = programs(job, zones != nullptr ? *zones : noZones);
  if (!program) program = std::make_unique<RecordEverythingProgram>();
  if (live) live->tracker = std::make_unique<FrameTracker>(live->source, *program);

  RecordingPlan plan;
  plan.path = outcome.temporaryPath;
  plan.format = outcome.format;
  plan.delayMs = DurationMs(protocol.delayRecordNoA, protocol.typeDelayRecordNoA);
  plan.durationMs = request.durationMs >= 0
                        ? request.durationMs
                        : DurationMs(protocol.durationRecordNoA, protocol.typeDurationRecordNoA);
  plan.waitForRoom = request.pace == StreamPace::kFast;
  plan.videoStopIds = VideoStopActions(protocol);
  files.RemoveFile(plan.path);
  outcome.recording = Record(*stream, plan, live ? live->source.video : idle,
                             live ? live->tracker.get() : nullptr, *program, observer);
  switch (outcome.recording.end) {
    case RecordingEnd::kWriterUnavailable: outcome.status = RecordStatus::kWriterUnavailable; return outcome;
    case RecordingEnd::kWriteFailed: outcome.status = RecordStatus::kWriteFailed; return outcome;
    default: break;
  }
  if (outcome.recording.frameTimes.empty()) {
    files.RemoveFile(plan.path);
    outcome.status = RecordStatus::kNothingRecorded;
    return outcome;
  }
  Store(experiment, job, live.get(), outcome);
  return outcome;
}

}  // namespace

RecordOutcome RecordTest(Experiment& experiment, const RecordRequest& request,
                         RecordingObserver& observer, const ProgramFactory& programs) {
  if (request.testId >= 0) return RecordExistingTest(experiment, request, observer, programs);
  RecordRequest made = request;
  RecordOutcome outcome;
  outcome.status = CreateTest(experiment, request, made.testId);
  if (outcome.status != RecordStatus::kRecorded) return outcome;
  outcome = RecordExistingTest(experiment, made, observer, programs);
  if (outcome.status != RecordStatus::kRecorded) DeleteTest(experiment, made.testId);  // made for nothing
  return outcome;
}

const char* RecordStatusText(RecordStatus status) {
  switch (status) {
    case RecordStatus::kRecorded: return "recorded";
    case RecordStatus::kNoTest: return "there is no such test";
    case RecordStatus::kNoProtocol: return "the test's protocol does not exist";
    case RecordStatus::kNoAnimal: return "the test's animal does not exist";
    case RecordStatus::kTestNotCreated: return "the test cannot be added: the experiment file cannot be written";
    case RecordStatus::kBadFormat: return "the recording format is unknown";
    case RecordStatus::kWriterUnavailable:
    case RecordStatus::kWriteFailed: return MessageText(msg::kRecordingFailed);
    case RecordStatus::kStreamUnavailable: return "the camera or the video cannot be opened";
    case RecordStatus::kSizeMismatch: return "the frames are not the size of the protocol's image";
    case RecordStatus::kNeedsReference:
      return "live tracking compares the frames with a reference image, and the test's settings "
             "name none from the image library (a background cannot be made from a video that "
             "does not exist yet): choose a library image, or a method without reference";
    case RecordStatus::kNothingRecorded: return "the recording stopped before its first frame";
    case RecordStatus::kNotStored: return "the recording could not be stored";
  }
  return "unknown error";
}

}  // namespace vx
