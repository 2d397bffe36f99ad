// The formats a recording is written in, and the probe that picks the first one this machine's
// encoders accept.
//
// Every format is a container that stays readable when the program is killed in the middle of
// a recording: Matroska (written cluster by cluster; a cut file plays up to its last whole
// cluster) or AVI (frames follow one another; readers rebuild the missing index). A plain MP4
// keeps its index at the end of the file and cannot be read without it, so it is never used.
// The probe's order puts first the MPEG-4 ASP codec that the FFmpeg back-end has always
// recorded with ("FMP4"): compact, and cheap enough to encode with live tracking beside it.
#pragma once

#include <string>
#include <vector>

namespace vx {

class FileSystem;

struct RecordingFormat {
  int number = -1;         // stored in Protocols.FormatRecordNoA; -1 there means "best"
  const char* name;        // what users type: "mpeg4", "h264", "ffv1", "mjpg", "iyuv"
  const char* label;       // what users read
  int fourcc = 0;
  const char* extension;   // of the file being written, without the dot
  bool lossless = false;   // frames read back exactly as written
};

// Every format, in the probe's order.
const std::vector<RecordingFormat>& RecordingFormats();
// By name (any case) or stored number; nullptr when unknown (and for "best" / -1).
const RecordingFormat* FindRecordingFormat(const std::string& name);
const RecordingFormat* RecordingFormatNumbered(int number);
// The name of a stored number: a format's, or "best" for any other.
const char* RecordingFormatName(int number);

// The first format, in the probe's order, whose writer opens on stem + "." + extension for a
// 320x240 colour stream at 25 frames per second; the file is deleted before each try and after
// the probe. The answer is remembered for the process. nullptr when no writer opens.
const RecordingFormat* ProbeRecordingFormat(const std::string& stem, FileSystem& files);

}  // namespace vx
