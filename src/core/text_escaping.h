#pragma once

#include <string>
#include <string_view>

namespace qvt {

// Texts stored on one line of a file (item records, the label text, label
// design files) carry their line feeds as byte 248 and carriage returns as
// byte 249; where a backslash ends a field, it is stored as byte 255 too.
// Bytes 248, 249 and 255 of the original text therefore read back changed.
inline constexpr char kStoredLineFeed = static_cast<char>(248);
inline constexpr char kStoredCarriageReturn = static_cast<char>(249);
inline constexpr char kStoredBackslash = static_cast<char>(255);

enum class Backslashes { Stored, Kept };

std::string StoreText(std::string_view text, Backslashes backslashes = Backslashes::Stored);
std::string RestoreText(std::string_view text, Backslashes backslashes = Backslashes::Stored);

} // namespace qvt
