#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace qvt {

// The terminal's screen: 8 lines of 20 bytes, line after line.
inline constexpr int kScreenLines = 8;
inline constexpr int kScreenColumns = 20;
inline constexpr int kScreenSize = kScreenLines * kScreenColumns;

using ScreenBytes = std::array<std::uint8_t, kScreenSize>;

// A variable shown on a screen is stored in the text as this byte followed by
// a letter whose code minus 65 is the variable index ('A' is the constant).
inline constexpr unsigned char kScreenVariableMarker = 0xB2;

// Lines are separated by CR LF; short lines and missing lines become spaces,
// lines past 20 characters and past the eighth line are cut. A variable turns
// its two characters into the operand's type and value bytes. A marker whose
// letter names no variable (index outside 0..115) is kept as an ordinary
// character. Throws CompileFailure when the result would exceed 160 bytes,
// which a variable marker in a line's twentieth column can cause.
ScreenBytes EncodeScreen(std::string_view text);

} // namespace qvt
