#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace qvt {

// Code areas: one for the Online machine and its timer machine, one for the
// Offline machine and its timer machine. The header of an area is copied into
// the image; the code from kCodeStart on follows the image's tables.
inline constexpr int kAreaSize = 40960;
inline constexpr int kAreaFlagOffset = 0;        // 0xAA when the area holds code
inline constexpr int kAreaCodeSizeOffset = 1;    // 16 bits, bytes from kCodeStart on
inline constexpr int kStateTableOffset = 28;     // 256 entries of 16 bits
inline constexpr int kStateTableSize = 512;
inline constexpr int kJumpTableOffset = 540;     // 1000 entries of 16 bits
inline constexpr int kJumpTableEntries = 1000;
inline constexpr int kJumpTableSize = 2 * kJumpTableEntries;
inline constexpr int kCodeStart = 3500;
inline constexpr std::uint8_t kHoldsCode = 0xAA;

// The image file. Every number is little-endian.
namespace image {
inline constexpr int kBufferSize = 122880;
inline constexpr int kOnlineFlag = 0;
inline constexpr int kOfflineFlag = 1;
inline constexpr int kChecksum = 2;
inline constexpr int kChecksumFrom = 4;
inline constexpr int kStringCount = 4;
inline constexpr int kIntegerCount = 5;
inline constexpr int kRealCount = 6;
inline constexpr int kStringValues = 7;      // 30 x 20 bytes
inline constexpr int kStringValueSize = 20;
inline constexpr int kIntegerValues = 607;   // 50 x 4 bytes
inline constexpr int kRealValues = 807;      // 20 x 4 bytes, single precision
inline constexpr int kOfflineCodeOffset = 2592;     // 16 bits
inline constexpr int kOfflineScreensOffset = 2594;  // 16 bits
inline constexpr int kOfflineScreenCount = 2596;    // 8 bits
inline constexpr int kOnlineScreensOffset = 2597;   // 24 bits
inline constexpr int kOnlineScreenCount = 2600;     // 8 bits
inline constexpr int kEnd = 2601;                   // 24 bits
inline constexpr int kVersion = 2604;
inline constexpr int kVersionSize = 20;
inline constexpr int kOfflineTimerTicks = 2624;
inline constexpr int kOfflineTimerBase = 2626;
inline constexpr int kOnlineTimerTicks = 2628;
inline constexpr int kOnlineTimerBase = 2630;
inline constexpr int kLabelData = 2634;
inline constexpr int kLabelDataMax = 5120;
inline constexpr int kOnlineStateTable = 7754;
inline constexpr int kOnlineJumpTable = 8266;
inline constexpr int kOfflineJumpTable = 10266;
inline constexpr int kOnlineCode = 12266;
inline constexpr int kTrailerSize = 4;  // zero bytes after the Online screens
} // namespace image

// Sum of the image's bytes from offset 4 to its end, modulo 65536: the value
// the terminal expects at offset 2.
std::uint16_t ImageChecksum(std::span<const std::uint8_t> image);

// True when the image is long enough to hold its header and offset 2 holds
// the checksum of the rest.
bool ImageChecksumValid(std::span<const std::uint8_t> image);

// Timer interval in the image: ticks of 25 time units, at least 4. Throws
// CompileFailure when the ticks do not fit their 16-bit field.
int TimerTicks(int interval);

} // namespace qvt
