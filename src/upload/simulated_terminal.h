#pragma once

#include "upload/frames.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qvt {

// The terminal's side of the upload protocol: it takes the bytes that arrive
// on the line, answers the requests addressed to it and keeps the flash it is
// sent. It knows erase (0x8B), write (0x7B), reset (0x09) and the closing
// command (0x06); any other command is answered with status 2. Frames with
// wrong complements or CRC, or for another address, get no answer.
class SimulatedTerminal {
public:
    struct Options {
        std::uint8_t address = 1;
        bool silent = false;        // never answer
        bool badCrc = false;        // answer with a data block whose CRC is wrong
        std::size_t rejectBlock = 0;  // answer the n-th write after an erase (from 1) with status 1; 0 = none
    };

    // A request as it arrived, after un-stuffing and checks.
    struct Request {
        std::uint8_t address = 0;
        Bytes payload;  // command code first
    };

    static constexpr std::size_t kFlashSize = 256 * 1024;

    explicit SimulatedTerminal(Options options);

    // Feeds bytes from the line; returns the replies to send, stuffed, in order.
    std::vector<Bytes> receive(std::span<const std::uint8_t> bytes);

    // Replaces the normal answer: called for every accepted request; a value
    // is sent as it is (raw, not stuffed again), nothing means no answer.
    std::function<std::optional<Bytes>(const Request&)> replyOverride;
    // Told of every accepted request, as a short line ("write 0x4500, 64 bytes").
    std::function<void(const std::string&)> log;
    // Called when the closing command has arrived, before its answer goes out.
    std::function<void(const SimulatedTerminal&)> onClosingCommand;

    // The bytes written since the last erase, from the lowest written address
    // to the end of the highest written block (unwritten gaps read 0xFF).
    Bytes receivedImage() const;
    std::uint32_t lowestWritten() const { return lowest_; }

    const std::vector<Request>& requests() const { return requests_; }
    std::size_t badFrames() const { return badFrames_; }
    std::size_t writesSinceErase() const { return writesSinceErase_; }
    const Options& options() const { return options_; }

    // A reply frame from this terminal, stuffed: status, optional extra byte,
    // optional data block (with its CRC).
    Bytes makeReply(std::uint8_t status, std::optional<std::uint8_t> extra = std::nullopt,
                    std::span<const std::uint8_t> data = {}) const;

private:
    // Takes one frame off the front of pending_; false when more bytes are needed.
    bool takeFrame(std::vector<Bytes>& replies);
    Bytes replyFrame(std::uint8_t status, std::optional<std::uint8_t> extra, std::span<const std::uint8_t> data,
                     bool corruptCrc) const;
    std::optional<Bytes> answer(const Request& request);
    void say(const std::string& line) const;

    Options options_;
    Bytes pending_;
    Bytes flash_;
    std::uint32_t lowest_ = 0;
    std::uint32_t highestEnd_ = 0;
    std::size_t writesSinceErase_ = 0;
    std::size_t badFrames_ = 0;
    std::vector<Request> requests_;
};

} // namespace qvt
