#pragma once

#include "core/messages.h"
#include "upload/upload_protocol.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qvt {

// Largest image the compiler produces; anything longer is not an image.
inline constexpr std::size_t kMaxImageSize = 122880;
// Where the image goes in the terminal's flash; pages are 128 bytes.
inline constexpr std::uint32_t kImageFlashAddress = 0x4500;
inline constexpr std::uint32_t kFlashPageSize = 128;
inline constexpr std::string_view kImageDisplayName = "IT";

inline constexpr std::string_view kFlashWriteError = "Could not write to Flash.";
inline constexpr std::string_view kUploadCompleted = "Upload Completed";
inline constexpr std::string_view kResettingStatus = "QVT is resetting";

// How the upload shows itself: the status text, the progress (0..100) and a
// chance for the window to process its pending messages. Any may be empty.
struct UploadHooks {
    std::function<void(std::string_view)> setStatus;
    std::function<void(double)> setProgress;
    std::function<void()> processMessages;
    // Asked before each block and during the pause after the erase; true
    // stops the burning there. The reset and the closing command still go out.
    std::function<bool()> cancelRequested;
};

struct UploadOutcome {
    enum class Result {
        Completed,       // every block accepted
        ImageNotOpened,  // the image file could not be opened
        ImageReadError,  // reading the opened image file failed
        ImageTooLarge,   // longer than kMaxImageSize
        BlockRejected,   // a block's reply code was not 0
    };
    Result result = Result::Completed;
    std::size_t imageSize = 0;
    std::size_t blockCount = 0;
    std::size_t blocksAccepted = 0;
    std::uint8_t rejectCode = 0;  // reply code of the rejected block
    bool cancelled = false;       // stopped on request after blocksAccepted blocks

    bool ok() const { return result == Result::Completed && !cancelled; }
};

// Sends the image file to the terminal at state().TerminalAddress: erases its
// pages, writes it in 64-byte blocks from `startAddress` (the last block padded
// with zero bytes), then resets the terminal and sends the closing command.
// The reset and the closing command go out in every case, also after a
// failure, and the status ends as "Upload Completed". Failures are shown
// through `messages`. The port must be open; this neither opens nor closes it.
// `pauseClock` paces the two pauses (about two and three seconds) that give
// the terminal time to erase and to reset.
UploadOutcome UploadImage(UploadProtocol& protocol, const std::string& imagePath, std::string_view displayName,
                          std::uint32_t startAddress, const UploadHooks& hooks, Clock& pauseClock,
                          Messages& messages);

} // namespace qvt
