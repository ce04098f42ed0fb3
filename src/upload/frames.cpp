#include "upload/frames.h"

#include "upload/crc16_arc.h"

#include <limits>
#include <stdexcept>

namespace qvt {

Bytes buildRequestFrame(std::uint8_t address, std::span<const std::uint8_t> payload)
{
    if (payload.empty() || payload.size() > 255)
        throw std::invalid_argument("request payload must hold 1 to 255 bytes");
    const auto length = std::uint8_t(payload.size());
    Bytes frame;
    frame.reserve(payload.size() + 7);
    frame.push_back(kFrameStart);
    frame.push_back(address);
    frame.push_back(std::uint8_t(255 - address));
    frame.push_back(length);
    frame.push_back(std::uint8_t(255 - length));
    frame.insert(frame.end(), payload.begin(), payload.end());
    const std::uint16_t crc = crc16Arc(payload);
    frame.push_back(std::uint8_t(crc & 0xFF));
    frame.push_back(std::uint8_t(crc >> 8));
    return frame;
}

Bytes stuffFrame(std::span<const std::uint8_t> frame)
{
    Bytes out;
    out.reserve(frame.size() + 8);
    for (std::size_t i = 0; i < frame.size(); ++i) {
        out.push_back(frame[i]);
        if (i > 0 && frame[i] == kFrameStart)
            out.push_back(kFrameStart);
    }
    return out;
}

Bytes unstuffFrame(std::span<const std::uint8_t> raw)
{
    Bytes out;
    out.reserve(raw.size());
    if (raw.empty())
        return out;
    out.push_back(raw[0]);
    for (std::size_t i = 1; i < raw.size(); ++i) {
        out.push_back(raw[i]);
        if (raw[i] == kFrameStart)
            ++i;
    }
    return out;
}

std::size_t completeReplyLength(std::span<const std::uint8_t> raw, std::uint8_t address)
{
    constexpr std::size_t kPending = std::numeric_limits<std::size_t>::max();
    if (raw.empty() || raw[0] != kFrameStart)
        return 0;
    // Unstuff, remembering where each kept byte ends on the line.
    Bytes bytes{raw[0]};
    std::vector<std::size_t> rawEnd{1};
    for (std::size_t i = 1; i < raw.size(); ++i) {
        bytes.push_back(raw[i]);
        if (raw[i] == kFrameStart) {
            if (i + 1 >= raw.size()) {
                rawEnd.push_back(kPending);
                break;
            }
            ++i;
        }
        rawEnd.push_back(i + 1);
    }

    if (bytes.size() < 5 || bytes[1] != address || bytes[2] != std::uint8_t(255 - bytes[1])
        || bytes[4] != std::uint8_t(255 - bytes[3]))
        return 0;
    const std::uint8_t status = bytes[3];
    std::size_t total = 5 + ((status & 0x40) ? 1 : 0);
    if (status & 0x80) {
        if (bytes.size() < total + 1)
            return 0;
        const std::size_t dataLength = bytes[total];
        if (dataLength == 0)
            return 0;
        const std::size_t dataStart = total + 2;
        total = dataStart + dataLength + 2;
        if (bytes.size() < total)
            return 0;
        const std::uint16_t crc = std::uint16_t(bytes[total - 2] | (bytes[total - 1] << 8));
        if (crc != crc16Arc(std::span(bytes).subspan(dataStart, dataLength)))
            return 0;
    }
    if (bytes.size() < total || rawEnd[total - 1] == kPending)
        return 0;
    return rawEnd[total - 1];
}

} // namespace qvt
