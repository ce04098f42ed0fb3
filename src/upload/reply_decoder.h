#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace qvt {

// What the terminal's replies carried. Each field keeps its value until a
// reply part of its kind arrives again; the record is never cleared as a whole.
struct TqvtResult {
    std::uint32_t Tag5Value = 0;
    std::uint32_t Tag6Value = 0;
    std::uint16_t Tag19Word = 0;
    std::uint8_t Tag19Byte = 0;
    std::uint32_t Tag9Value = 0;
    std::uint8_t Tag11Second = 0;
    std::uint8_t Address = 0;
    std::uint8_t Extra = 0;
    std::uint8_t Status = 0;
    std::uint8_t Tag10Byte = 0;
    bool HasText14Other = false;
    bool HasText14Sel3 = false;
    bool HasText12 = false;
    bool HasTag11 = false;
    std::string Text12;
    std::string Text32A;  // always 20 bytes once set, zero bytes included
    std::string Text32B;
    std::string Text14Sel3;
    std::string Text14Other;
    std::string Text79;   // always 9 bytes once set
    std::array<std::uint8_t, 8> Tag16Bytes{};
    std::array<std::uint8_t, 64> Tag35Bytes{};
    std::uint16_t Tag40Word = 0;
    std::array<std::uint8_t, 42> Tag38Bytes{};
    bool Tag38Flag = false;
};

// Result of one exchange: 0x00..0x0F is the terminal's status (0 = success),
// the rest say what was wrong with the reply.
namespace reply {
inline constexpr std::uint8_t Ok = 0x00;
inline constexpr std::uint8_t UnknownRecord = 0x0F;  // also status 15
inline constexpr std::uint8_t NoReply = 0x10;        // nothing, or not starting with AA
inline constexpr std::uint8_t BadComplement = 0x20;  // address/status complement, or empty data block
inline constexpr std::uint8_t WrongAddress = 0x30;
inline constexpr std::uint8_t ReadFailed = 0x40;
inline constexpr std::uint8_t TooShort = 0x50;       // AA but under 5 bytes
inline constexpr std::uint8_t BadCrc = 0x60;         // data block CRC wrong or block cut short
} // namespace reply

// Checks an unstuffed reply to a request sent to `requestAddress` and decodes
// it into `result`; returns the reply code. `result.Status` is expected to be
// 0 already (the exchange clears it once the request is out).
//
// Bytes after the end of the reply are ignored. A header byte that did not
// arrive (the extra byte, the data length) reads as 0. A data block or CRC
// that did not arrive in full gives BadCrc; a data record that would run past
// the end of the block, a text without its closing zero byte and a tag-35
// count outside 1..64 give UnknownRecord like an unknown tag. Records decoded
// before the faulty one keep their effect.
std::uint8_t decodeReply(std::span<const std::uint8_t> reply, std::uint8_t requestAddress, TqvtResult& result);

// Decodes the data records of a reply's data block; false at the first record
// that is unknown or malformed.
bool decodeDataRecords(std::span<const std::uint8_t> data, TqvtResult& result);

} // namespace qvt
