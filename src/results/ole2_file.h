// The compound file container of the older office formats: a small file system of 512-byte
// sectors holding named streams (the binary workbook keeps its records in a "Workbook" stream).
//
// Only what a one-stream document needs is written: the header, the sector allocation table
// (FAT), the extra DIFAT sectors that list FAT sectors beyond the header's 109 (a document over
// ~7 MB needs them), and one directory sector with the root entry and the stream. Streams under
// 4096 bytes would have to live in the "mini stream", a second allocation layer; the stream is
// padded with zero bytes to 4096 instead, which every reader accepts after the stream's end.
#pragma once

#include <string>
#include <string_view>

namespace vx {

// Writes a compound file at `path` holding one stream named `streamName` (ASCII, at most 31
// characters) with `stream` as its bytes. False with the reason in *error when the file cannot
// be written; a partial file may then be left at `path`.
bool WriteCompoundFile(const std::string& path, std::string_view streamName,
                       std::string_view stream, std::string* error);

}  // namespace vx
