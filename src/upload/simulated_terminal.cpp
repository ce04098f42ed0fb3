#include "upload/simulated_terminal.h"

#include "upload/crc16_arc.h"

#include <algorithm>
#include <cstdio>

namespace qvt {

namespace {

std::string hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", unsigned(value));
    return text;
}

} // namespace

SimulatedTerminal::SimulatedTerminal(Options options) : options_(options), flash_(kFlashSize, 0xFF) {}

void SimulatedTerminal::say(const std::string& line) const
{
    if (log)
        log(line);
}

std::vector<Bytes> SimulatedTerminal::receive(std::span<const std::uint8_t> bytes)
{
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::vector<Bytes> replies;
    while (takeFrame(replies)) {
    }
    return replies;
}

bool SimulatedTerminal::takeFrame(std::vector<Bytes>& replies)
{
    // Line noise before a frame start is dropped.
    const auto start = std::find(pending_.begin(), pending_.end(), kFrameStart);
    if (start != pending_.begin()) {
        ++badFrames_;
        pending_.erase(pending_.begin(), start);
    }
    if (pending_.empty())
        return false;

    // Un-stuff as far as needed, remembering how many raw bytes that took.
    Bytes frame{pending_[0]};
    std::size_t raw = 1;
    const auto need = [&](std::size_t count) {
        while (frame.size() < count && raw < pending_.size()) {
            const std::uint8_t b = pending_[raw++];
            if (b == kFrameStart) {
                if (raw >= pending_.size()) {
                    --raw;  // wait for the doubled partner
                    return false;
                }
                ++raw;
            }
            frame.push_back(b);
        }
        return frame.size() >= count;
    };
    const auto dropFirstByte = [&] {
        ++badFrames_;
        pending_.erase(pending_.begin());
        return true;
    };

    if (!need(5))
        return false;
    if (frame[2] != std::uint8_t(255 - frame[1]) || frame[4] != std::uint8_t(255 - frame[3]) || frame[3] == 0)
        return dropFirstByte();
    const std::size_t length = frame[3];
    if (!need(5 + length + 2))
        return false;
    pending_.erase(pending_.begin(), pending_.begin() + std::ptrdiff_t(raw));

    Request request{frame[1], Bytes(frame.begin() + 5, frame.begin() + 5 + std::ptrdiff_t(length))};
    const std::uint16_t crc = std::uint16_t(frame[5 + length] | (frame[6 + length] << 8));
    if (crc != crc16Arc(request.payload)) {
        ++badFrames_;
        return true;
    }
    if (request.address != options_.address)
        return true;
    requests_.push_back(request);
    if (auto reply = answer(request); reply && !options_.silent)
        replies.push_back(std::move(*reply));
    return true;
}

std::optional<Bytes> SimulatedTerminal::answer(const Request& request)
{
    const Bytes& p = request.payload;
    std::optional<Bytes> normal;
    bool closing = false;
    switch (p[0]) {
    case 0x8B:
        if (p.size() != 5) {
            normal = makeReply(2);
            break;
        }
        {
            const unsigned first = p[1] | (p[2] << 8), end = p[3] | (p[4] << 8);
            say("erase pages " + std::to_string(first) + " to " + std::to_string(end));
            for (unsigned page = first; page <= end && (page + 1) * 128 <= kFlashSize; ++page)
                std::fill_n(flash_.begin() + page * 128, 128, 0xFF);
            writesSinceErase_ = 0;
            lowest_ = highestEnd_ = 0;
            normal = makeReply(0);
        }
        break;
    case 0x7B: {
        if (p.size() < 5) {
            normal = makeReply(2);
            break;
        }
        const std::uint32_t at = std::uint32_t(p[1]) | (std::uint32_t(p[2]) << 8) | (std::uint32_t(p[3]) << 16)
            | (std::uint32_t(p[4]) << 24);
        const std::size_t count = p.size() - 5;
        ++writesSinceErase_;
        say("write " + hex(at) + ", " + std::to_string(count) + " bytes");
        if (options_.rejectBlock != 0 && writesSinceErase_ == options_.rejectBlock) {
            say("  rejected");
            normal = makeReply(1);
            break;
        }
        if (std::uint64_t(at) + count > kFlashSize) {
            normal = makeReply(2);
            break;
        }
        std::copy(p.begin() + 5, p.end(), flash_.begin() + at);
        if (count > 0) {
            if (highestEnd_ == 0 || at < lowest_)
                lowest_ = at;
            highestEnd_ = std::max<std::uint32_t>(highestEnd_, at + std::uint32_t(count));
        }
        normal = makeReply(0);
        break;
    }
    case 0x09:
        say("reset");
        normal = makeReply(0);
        break;
    case 0x06:
        say("closing command");
        normal = makeReply(0);
        closing = true;
        break;
    default:
        say("unknown command " + hex(p[0]));
        normal = makeReply(2);
        break;
    }
    if (options_.badCrc && normal) {
        // A data block (one tag-10 record) whose CRC does not match.
        const std::uint8_t record[] = {10, 0};
        normal = replyFrame(0, std::nullopt, record, true);
    }
    std::optional<Bytes> reply = replyOverride ? replyOverride(request) : normal;
    if (closing && onClosingCommand)
        onClosingCommand(*this);
    return reply;
}

Bytes SimulatedTerminal::makeReply(std::uint8_t status, std::optional<std::uint8_t> extra,
                                   std::span<const std::uint8_t> data) const
{
    return replyFrame(status, extra, data, false);
}

Bytes SimulatedTerminal::replyFrame(std::uint8_t status, std::optional<std::uint8_t> extra,
                                    std::span<const std::uint8_t> data, bool corruptCrc) const
{
    std::uint8_t s = status & 0x0F;
    if (extra)
        s |= 0x40;
    if (!data.empty())
        s |= 0x80;
    Bytes frame{kFrameStart, options_.address, std::uint8_t(255 - options_.address), s, std::uint8_t(255 - s)};
    if (extra)
        frame.push_back(*extra);
    if (!data.empty()) {
        frame.push_back(std::uint8_t(data.size()));
        frame.push_back(std::uint8_t(255 - data.size()));
        frame.insert(frame.end(), data.begin(), data.end());
        std::uint16_t crc = crc16Arc(data);
        if (corruptCrc)
            crc ^= 0x0101;
        frame.push_back(std::uint8_t(crc & 0xFF));
        frame.push_back(std::uint8_t(crc >> 8));
    }
    return stuffFrame(frame);
}

Bytes SimulatedTerminal::receivedImage() const
{
    if (highestEnd_ == 0)
        return {};
    return Bytes(flash_.begin() + lowest_, flash_.begin() + highestEnd_);
}

} // namespace qvt
