#pragma once

#include <optional>
#include <string>

namespace qvt {

// The whole file at `path` (a local 8-bit file name) as bytes; nothing when it
// cannot be opened or read to the end.
std::optional<std::string> ReadWholeFile(const std::string& path);

} // namespace qvt
