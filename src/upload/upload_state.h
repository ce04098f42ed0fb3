#pragma once

#include "upload/reply_decoder.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace qvt {

// Line speeds the uploader offers, in this order; SpeedIndex is a position here.
inline constexpr std::array<std::string_view, 5> kSpeedTexts = {"9600", "19200", "38400", "57600", "115200"};
inline constexpr int kDefaultSpeedIndex = 4;

// Position of `speedText` in kSpeedTexts, or nothing.
std::optional<int> speedIndexOf(std::string_view speedText);

// Milliseconds the exchange waits for a reply: the command's time factor
// scaled by (SpeedIndex + 2) / (SpeedIndex + 1), integer division, so slower
// lines wait longer (100 ms gives 200 at 9600 baud and 120 at 115200).
int replyWaitMs(std::uint16_t timeFactor, int speedIndex);

// What the upload keeps between exchanges and between uploads.
struct UploadState {
    int TerminalAddress = 1;           // 1..255
    int SpeedIndex = kDefaultSpeedIndex;
    std::uint16_t TimeFactor = 0;      // set by each command before its exchange
    TqvtResult LastReply;
};

} // namespace qvt
