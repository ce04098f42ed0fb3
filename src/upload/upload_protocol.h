#pragma once

#include "upload/byte_channel.h"
#include "upload/upload_state.h"

#include <cstdint>
#include <span>

namespace qvt {

// Time factors (ms) of the upload commands, scaled by the line speed into the
// reply wait (replyWaitMs).
inline constexpr std::uint16_t kEraseTimeFactor = 50;
inline constexpr std::uint16_t kWriteTimeFactor = 70;
inline constexpr std::uint16_t kResetTimeFactor = 100;
inline constexpr std::uint16_t kCommand06TimeFactor = 100;

inline constexpr std::size_t kFlashBlockSize = 64;

// One request, one reply: the conversation with the terminal. There are no
// retries; each exchange sends its frame, waits, reads what has arrived and
// decodes it into state.LastReply.
class UploadProtocol {
public:
    UploadProtocol(ByteChannel& channel, Clock& clock, UploadState& state);

    // Off (the default): every exchange waits its full reply time. On: it
    // stops waiting as soon as a complete, valid reply frame is in, never
    // later than the full time. The frames are the same either way.
    void setFastMode(bool on) { fast_ = on; }
    bool fastMode() const { return fast_; }

    // Sends `payload` (1..255 bytes, the command code first) to `address` and
    // returns the reply code (reply::...).
    std::uint8_t Exchange(std::uint8_t address, std::span<const std::uint8_t> payload);

    // Command 0x8B: erase flash pages first..end.
    std::uint8_t EraseFlashPages(std::uint8_t address, std::uint16_t firstPage, std::uint16_t endPage);
    // Command 0x7B: write `block` (at most 64 bytes) at `flashAddress`.
    std::uint8_t WriteFlashBlock(std::uint8_t address, std::uint32_t flashAddress, std::span<const std::uint8_t> block);
    // Command 0x09, sent while the terminal is told to reset.
    std::uint8_t SendReset(std::uint8_t address);
    // Command 0x06, the closing command of an upload.
    std::uint8_t SendCommand06(std::uint8_t address);

    UploadState& state() { return state_; }
    Clock& clock() { return clock_; }

private:
    ByteChannel& channel_;
    Clock& clock_;
    UploadState& state_;
    bool fast_ = false;
};

} // namespace qvt
