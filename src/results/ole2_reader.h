// Reading one stream out of a compound file (the container of the older office formats), for
// checks made before a whole file is handed to a library that trusts what it reads.
//
// Everything in the file is untrusted: every sector number, chain and size is checked, a chain
// that loops or leaves the file makes the read fail, and nothing is allocated beyond the size
// of the file itself.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace vx {

// The bytes of the first stream named one of `names` (compared without ASCII case), from the
// file's bytes `file`. False with the reason in *error when the file is not a compound file,
// is damaged or holds no such stream.
bool ReadCompoundStream(std::string_view file, std::initializer_list<std::string_view> names,
                        std::string* stream, std::string* error);

}  // namespace vx
