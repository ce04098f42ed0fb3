#pragma once

#include <string>
#include <string_view>

namespace qvt {

// Replaces the file at `path` with `bytes` so that readers see either the old
// file or the whole new one: the bytes go to a temporary file beside it, which
// is renamed over the old one only after every byte was written and flushed.
// Returns false (and leaves any old file untouched) on any failure.
//
// QSaveFile alone is not enough: a write error that only shows when its buffer
// is flushed (a full disk, a file-size limit) still lets commit() succeed and
// rename a truncated file into place, so every step is checked here.
// Why a write failed: the file (or its temporary twin) could not be created
// at all, or writing it failed part-way; `reason` is the system's text.
struct FileWriteFailure {
    bool createFailed = false;
    std::string reason;
};

bool WriteFileAtomically(const std::string& path, std::string_view bytes, FileWriteFailure* failure = nullptr);

} // namespace qvt
