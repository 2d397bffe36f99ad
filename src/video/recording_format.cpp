#include "video/recording_format.h"

#include <mutex>

#include "base/platform.h"
#include "base/text.h"
#include "video/capture.h"
#include "video/video_writer.h"

namespace vx {

const std::vector<RecordingFormat>& RecordingFormats() {
  static const std::vector<RecordingFormat> kFormats = {
      {0, "mpeg4", "MPEG-4 in Matroska", FourCC('F', 'M', 'P', '4'), "mkv", false},
      {1, "h264", "H.264 in Matroska", FourCC('a', 'v', 'c', '1'), "mkv", false},
      {2, "ffv1", "FFV1 (lossless) in Matroska", FourCC('F', 'F', 'V', '1'), "mkv", true},
      {3, "mjpg", "Motion-JPEG in AVI", FourCC('M', 'J', 'P', 'G'), "avi", false},
      {4, "iyuv", "uncompressed YUV in AVI", FourCC('I', 'Y', 'U', 'V'), "avi", false},
  };
  return kFormats;
}

const RecordingFormat* FindRecordingFormat(const std::string& name) {
  for (const RecordingFormat& format : RecordingFormats()) {
    if (ToLower(name) == format.name) return &format;
  }
  return nullptr;
}

const RecordingFormat* RecordingFormatNumbered(int number) {
  for (const RecordingFormat& format : RecordingFormats()) {
    if (format.number == number) return &format;
  }
  return nullptr;
}

const char* RecordingFormatName(int number) {
  const RecordingFormat* format = RecordingFormatNumbered(number);
  return format != nullptr ? format->name : "best";
}

const RecordingFormat* ProbeRecordingFormat(const std::string& stem, FileSystem& files) {
  static std::mutex mutex;
  static const RecordingFormat* chosen = nullptr;
  std::lock_guard<std::mutex> lock(mutex);
  if (chosen != nullptr) return chosen;
  for (const RecordingFormat& format : RecordingFormats()) {
    const std::string path = stem + "." + format.extension;
    files.RemoveFile(path);
    VideoFileWriter writer;
    const bool opened = writer.OpenWithCodec(path, format.fourcc, 25.0, {320, 240});
    writer.Close();
    files.RemoveFile(path);
    if (opened) {
      chosen = &format;
      break;
    }
  }
  return chosen;
}

}  // namespace vx
