#include "upload/reply_decoder.h"

#include "upload/crc16_arc.h"
#include "upload/frames.h"

#include <algorithm>
#include <cstring>

namespace qvt {

namespace {

std::uint32_t le32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16)
        | (std::uint32_t(p[3]) << 24);
}

std::uint16_t le16(const std::uint8_t* p)
{
    return std::uint16_t(p[0] | (p[1] << 8));
}

// Length of the zero-terminated text at p[0..available), or -1 without a zero.
long textLength(const std::uint8_t* p, std::size_t available)
{
    const void* zero = std::memchr(p, 0, available);
    return zero ? long(static_cast<const std::uint8_t*>(zero) - p) : -1;
}

} // namespace

bool decodeDataRecords(std::span<const std::uint8_t> data, TqvtResult& r)
{
    std::size_t pos = 0;
    while (pos < data.size()) {
        const std::uint8_t tag = data[pos];
        const std::uint8_t* p = data.data() + pos + 1;
        const std::size_t rest = data.size() - pos - 1;
        std::size_t body = 0;  // bytes after the tag
        switch (tag) {
        case 5:
        case 6:
        case 9:
            body = 4;
            if (rest < body)
                return false;
            (tag == 5 ? r.Tag5Value : tag == 6 ? r.Tag6Value : r.Tag9Value) = le32(p);
            break;
        case 10:
            body = 1;
            if (rest < body)
                return false;
            r.Tag10Byte = p[0];
            break;
        case 11:
            body = 2;
            if (rest < body)
                return false;
            r.HasTag11 = true;
            r.Extra = p[0];
            r.Tag11Second = p[1];
            break;
        case 12:
        case 14: {
            // A lead byte (ignored for 12, the selector for 14), the text, a zero.
            if (rest < 2)
                return false;
            const long length = textLength(p + 1, rest - 1);
            if (length < 0)
                return false;
            body = 2 + std::size_t(length);
            std::string text(reinterpret_cast<const char*>(p + 1), std::size_t(length));
            if (tag == 12) {
                r.HasText12 = true;
                r.Text12 = std::move(text);
            } else if (p[0] == 3) {
                r.HasText14Sel3 = true;
                r.Text14Sel3 = std::move(text);
            } else {
                r.HasText14Other = true;
                r.Text14Other = std::move(text);
            }
            break;
        }
        case 16:
            body = 8;
            if (rest < body)
                return false;
            std::copy_n(p, 8, r.Tag16Bytes.begin());
            break;
        case 19:
            body = 3;
            if (rest < body)
                return false;
            r.Tag19Word = le16(p);
            r.Tag19Byte = p[2];
            break;
        case 32:
            body = 40;
            if (rest < body)
                return false;
            r.Text32A.assign(reinterpret_cast<const char*>(p), 20);
            r.Text32B.assign(reinterpret_cast<const char*>(p + 20), 20);
            break;
        case 35: {
            // Tag35Bytes holds 64 places; a count of 0 or above 64 is not a record.
            if (rest < 1 || p[0] == 0 || p[0] > 64)
                return false;
            const std::size_t count = p[0];
            body = 1 + count;
            if (rest < body)
                return false;
            std::copy_n(p + 1, count, r.Tag35Bytes.begin());
            break;
        }
        case 38:
            body = 43;
            if (rest < body)
                return false;
            r.Tag38Flag = p[0] != 0;
            std::copy_n(p + 1, 42, r.Tag38Bytes.begin());
            break;
        case 40:
            body = 2;
            if (rest < body)
                return false;
            r.Tag40Word = le16(p);
            break;
        case 79:
            body = 13;
            if (rest < body)
                return false;
            r.Text79.assign(reinterpret_cast<const char*>(p + 4), 9);
            break;
        default:
            return false;
        }
        pos += 1 + body;
    }
    return true;
}

std::uint8_t decodeReply(std::span<const std::uint8_t> b, std::uint8_t requestAddress, TqvtResult& r)
{
    // Header bytes that never arrived read as 0, as from a cleared buffer.
    const auto at = [&](std::size_t i) -> std::uint8_t { return i < b.size() ? b[i] : 0; };

    if (b.empty() || b[0] != kFrameStart)
        return reply::NoReply;
    if (b.size() < 5)
        return reply::TooShort;
    if (b[1] != requestAddress)
        return reply::WrongAddress;
    if (b[2] != std::uint8_t(255 - b[1]))
        return reply::BadComplement;
    r.Address = b[1];

    const std::uint8_t s = b[3];
    if (b[4] != std::uint8_t(255 - s))
        return reply::BadComplement;
    r.Status = s & 0x0F;
    std::size_t pos = 5;
    if (s & 0x40)
        r.Extra = at(pos++);
    if (!(s & 0x80))
        return r.Status;

    const std::size_t dataLength = at(pos++);
    if (dataLength == 0)
        return reply::BadComplement;
    ++pos;  // the complement-like byte the terminal puts after the length
    // A CRC-16/ARC over zero bytes is zero, so a block that never arrived
    // would pass as zeros; a reply cut short is refused here instead.
    if (b.size() < pos + dataLength + 2)
        return reply::BadCrc;
    const auto data = b.subspan(pos, dataLength);
    const std::uint16_t crc = std::uint16_t(b[pos + dataLength] | (b[pos + dataLength + 1] << 8));
    if (crc != crc16Arc(data))
        return reply::BadCrc;
    return decodeDataRecords(data, r) ? r.Status : reply::UnknownRecord;
}

} // namespace qvt
