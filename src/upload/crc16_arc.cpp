#include "upload/crc16_arc.h"

#include <array>

namespace qvt {

namespace {

constexpr std::array<std::uint16_t, 256> makeTable()
{
    std::array<std::uint16_t, 256> table{};
    for (unsigned n = 0; n < 256; ++n) {
        std::uint16_t crc = std::uint16_t(n);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? std::uint16_t((crc >> 1) ^ 0xA001) : std::uint16_t(crc >> 1);
        table[n] = crc;
    }
    return table;
}

constexpr auto kTable = makeTable();

} // namespace

std::uint16_t crc16Arc(std::span<const std::uint8_t> bytes)
{
    std::uint16_t crc = 0;
    for (std::uint8_t b : bytes)
        crc = std::uint16_t((crc >> 8) ^ kTable[(crc ^ b) & 0xFF]);
    return crc;
}

} // namespace qvt
