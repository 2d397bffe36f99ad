// The video fields of a test's analysis information (column Tests.InfosAnalyse): how the
// video was read when the test was analysed, and the readable line shown for them.
//
// In the stored text these are values 11 to 17 of the analysis information: back-end, timing
// source, start frame, start time (unsigned), last frame, frame-count correction and the
// version of the program that wrote the record.
#pragma once

#include <cstdint>
#include <string>

#include "db/analysis_info.h"

namespace vx {

// The program version stored in the record: major·65536 + minor·256 + patch.
int PackedProgramVersion();
int PackVersion(int major, int minor, int patch);

struct VideoInfoFields {
  int backend = 1900;      // 700 DSHOW, 1400 MSMF, 1900 FFMPEG, anything else unknown
  int timing = -1;         // the source's seekByTime: 0 own times, 1 from the rate, 2 backend ms
  int startFrame = -1;     // backend index of the test's first frame
  uint32_t startTimeMs = 0;
  int lastFrame = -1;      // last frame index relative to the file start
  int correction = -1;     // extra frames seen when an FFMPEG-analysed video is read by MSMF
  int version = 0;         // packed program version; 0 before versions were recorded
};

// The video fields in and out of a whole analysis information record (values 11 to 17); the
// run's own values are left as they are.
VideoInfoFields VideoFieldsOf(const AnalysisInfo& info);
void SetVideoFields(AnalysisInfo& info, const VideoInfoFields& fields);

// The stored text of a record and back (the whole-text codec of db/analysis_info.h).
std::string FormatInfo(const AnalysisInfo& info);
AnalysisInfo ParseInfo(const std::string& text);
// The readable line of a record's video fields (see below).
std::string DescribeInfo(const AnalysisInfo& info);

// "Vela", "Fps", "mSec" or "Unknown".
const char* TimingSourceName(int timing);

// The readable form: "v 1.2.3, FFMPEG, Fps, 0 ( 0 ) -> 249, c = 0"; "Unknown" for version 0.
std::string DescribeInfo(const VideoInfoFields& fields);

}  // namespace vx
