#pragma once

#include <cstdint>
#include <span>

namespace qvt {

// CRC-16/ARC: polynomial 0x8005 processed bit-reversed (0xA001), initial value
// 0, reflected in and out, no final XOR. "123456789" gives 0xBB3D. The terminal
// protects request payloads and reply data blocks with it.
std::uint16_t crc16Arc(std::span<const std::uint8_t> bytes);

} // namespace qvt
