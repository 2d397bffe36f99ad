// Where a recording lives: the temporary file it is written to, and the name it is stored
// under in the experiment's companion folder.
//
//   in progress: "<folder>Video_tmp.<extension of the format>"
//   stored:      "<folder>Test_<test id>.vxf", or "<folder>Test_<test id>_<n>.vxf" (n = 2, 3,
//                ...) when a stored video already uses that name: a test recorded again keeps
//                its earlier video, which no move ever overwrites. A file of the name that no
//                video uses (left by a recording killed after its move) is replaced.
// The stored file keeps its container (Matroska or AVI) under the program's own extension,
// which tells the readers to take its frames one by one, timed by the stored frame times.
#pragma once

#include <functional>
#include <string>

namespace vx {

// "<folder>Video_tmp": the temporary recording without its extension.
std::string TemporaryRecordingStem(const std::string& companionFolder);

// The stored file for a recording of testId; inUse tells whether a video row already names a
// file (given the name as stored, relative to the folder).
std::string StoredRecordingName(int testId, const std::function<bool(const std::string&)>& inUse);

}  // namespace vx
