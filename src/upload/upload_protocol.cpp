#include "upload/upload_protocol.h"

#include "upload/frames.h"

#include <stdexcept>

namespace qvt {

UploadProtocol::UploadProtocol(ByteChannel& channel, Clock& clock, UploadState& state)
    : channel_(channel), clock_(clock), state_(state)
{
}

std::uint8_t UploadProtocol::Exchange(std::uint8_t address, std::span<const std::uint8_t> payload)
{
    const Bytes frame = stuffFrame(buildRequestFrame(address, payload));

    // A late reply to the previous request must not be taken for this one.
    if (const std::size_t stale = channel_.QueuedInputCount(); stale > 0) {
        Bytes discarded;
        channel_.ReadPort(stale, discarded);
        channel_.QueuedInputCount();
    }

    channel_.WritePort(frame);
    state_.LastReply.Status = 0;

    const int waitMs = replyWaitMs(state_.TimeFactor, state_.SpeedIndex);
    Bytes received;
    if (fast_) {
        const std::int64_t deadline = clock_.nowMs() + waitMs;
        for (;;) {
            if (const std::size_t count = channel_.QueuedInputCount(); count > 0)
                if (!channel_.ReadPort(count, received))
                    return reply::ReadFailed;
            if (completeReplyLength(received, address) > 0)
                break;
            const std::int64_t left = deadline - clock_.nowMs();
            if (left <= 0)
                break;
            channel_.waitForInput(int(left));
        }
    } else {
        clock_.sleepMs(waitMs);
    }

    // Whatever else is queued now belongs to this reply, as after a full wait.
    if (!channel_.ReadPort(channel_.QueuedInputCount(), received))
        return reply::ReadFailed;
    return decodeReply(unstuffFrame(received), address, state_.LastReply);
}

std::uint8_t UploadProtocol::EraseFlashPages(std::uint8_t address, std::uint16_t firstPage, std::uint16_t endPage)
{
    state_.TimeFactor = kEraseTimeFactor;
    const std::uint8_t payload[] = {0x8B,
                                    std::uint8_t(firstPage & 0xFF), std::uint8_t(firstPage >> 8),
                                    std::uint8_t(endPage & 0xFF), std::uint8_t(endPage >> 8)};
    return Exchange(address, payload);
}

std::uint8_t UploadProtocol::WriteFlashBlock(std::uint8_t address, std::uint32_t flashAddress,
                                             std::span<const std::uint8_t> block)
{
    if (block.size() > kFlashBlockSize)
        throw std::invalid_argument("a flash block holds at most 64 bytes");
    state_.TimeFactor = kWriteTimeFactor;
    Bytes payload{0x7B,
                  std::uint8_t(flashAddress & 0xFF), std::uint8_t((flashAddress >> 8) & 0xFF),
                  std::uint8_t((flashAddress >> 16) & 0xFF), std::uint8_t(flashAddress >> 24)};
    payload.insert(payload.end(), block.begin(), block.end());
    return Exchange(address, payload);
}

std::uint8_t UploadProtocol::SendReset(std::uint8_t address)
{
    state_.TimeFactor = kResetTimeFactor;
    const std::uint8_t payload[] = {0x09};
    return Exchange(address, payload);
}

std::uint8_t UploadProtocol::SendCommand06(std::uint8_t address)
{
    state_.TimeFactor = kCommand06TimeFactor;
    const std::uint8_t payload[] = {0x06};
    return Exchange(address, payload);
}

} // namespace qvt
