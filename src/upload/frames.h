#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace qvt {

using Bytes = std::vector<std::uint8_t>;

// Every frame on the line starts with this byte; inside a frame it is doubled.
inline constexpr std::uint8_t kFrameStart = 0xAA;

// Request frame before stuffing:
//   AA, address A, 255-A, payload length L (1..255), 255-L, L payload bytes,
//   CRC-16/ARC of the payload, low byte first.
// Throws std::invalid_argument for an empty payload or one over 255 bytes.
Bytes buildRequestFrame(std::uint8_t address, std::span<const std::uint8_t> payload);

// The leading AA goes out as is; every later AA is sent twice.
Bytes stuffFrame(std::span<const std::uint8_t> frame);

// Undoes stuffFrame the way the terminal's peers do: keep the first byte, then
// keep each byte and skip the one after it when the kept byte is AA. The
// skipped byte is not compared with anything.
Bytes unstuffFrame(std::span<const std::uint8_t> raw);

// Number of raw (stuffed) bytes at the start of `raw` that make up one
// complete reply from `address` with correct complements and, when it carries
// a data block, a matching CRC; 0 while no such frame is there (yet). The
// doubled partner of a trailing AA counts as part of the frame, so nothing of
// the reply is left on the line for the next exchange.
std::size_t completeReplyLength(std::span<const std::uint8_t> raw, std::uint8_t address);

} // namespace qvt
