#include "compiler/image_layout.h"

#include "compiler/compile_failure.h"
#include "compiler/image_builder.h"
#include "compiler/screen_encoding.h"
#include "core/decimal.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

namespace qvt {

std::uint16_t ImageChecksum(std::span<const std::uint8_t> image)
{
    std::uint16_t sum = 0;
    for (size_t i = image::kChecksumFrom; i < image.size(); ++i)
        sum = std::uint16_t(sum + image[i]);
    return sum;
}

bool ImageChecksumValid(std::span<const std::uint8_t> image)
{
    if (image.size() < size_t(image::kOnlineCode) + size_t(image::kTrailerSize))
        return false;
    const std::uint16_t stored = std::uint16_t(image[image::kChecksum] | image[image::kChecksum + 1] << 8);
    return stored == ImageChecksum(image);
}

int TimerTicks(int interval)
{
    const int ticks = interval / 25;
    if (ticks < 4)
        return 4;
    if (ticks > 0xFFFF)
        throw CompileFailure("timer interval " + std::to_string(interval) + " is too long for the image (at most "
                             + std::to_string(0xFFFF * 25 + 24) + ")");
    return ticks;
}


namespace {

// Initial values are whatever the user typed in the variable list; text that
// is not a number starts the variable at 0.
std::int32_t IntegerInitialValue(std::string_view text)
{
    return ParseWholeInitialValue(text).value_or(0);
}

float RealInitialValue(std::string_view text)
{
    return ParseRealInitialValue(text).value_or(0.0f);
}

void Put16(std::vector<std::uint8_t>& image, int at, std::uint32_t value)
{
    image[size_t(at)] = std::uint8_t(value);
    image[size_t(at) + 1] = std::uint8_t(value >> 8);
}

void Put24(std::vector<std::uint8_t>& image, int at, std::uint32_t value)
{
    Put16(image, at, value);
    image[size_t(at) + 2] = std::uint8_t(value >> 16);
}

void Put32(std::vector<std::uint8_t>& image, int at, std::uint32_t value)
{
    Put16(image, at, value);
    Put16(image, at + 2, value >> 16);
}

int AreaCodeSize(const Area& area)
{
    return area[kAreaCodeSizeOffset] | area[kAreaCodeSizeOffset + 1] << 8;
}

void CheckScreenCount(int count, const char* machine)
{
    if (count > 255)
        throw CompileFailure(std::string(machine) + " machine has " + std::to_string(count)
                             + " screens; the image counts at most 255");
}

} // namespace

std::vector<std::uint8_t> TIT::LayoutImage(const VariableTable& variables, std::string_view labelData,
                                           int onlineTimerInterval, int offlineTimerInterval) const
{
    using namespace image;
    if (labelData.size() > size_t(kLabelDataMax))
        throw CompileFailure("compiled label data is " + std::to_string(labelData.size())
                             + " bytes; the image holds at most " + std::to_string(kLabelDataMax));
    CheckScreenCount(offlineScreenCount, "Offline");
    CheckScreenCount(onlineScreenCount, "Online");
    auto ticksOf = [](MachineId timer, int interval) {
        try {
            return TimerTicks(interval);
        } catch (CompileFailure& failure) {
            failure.machine = timer;
            throw;
        }
    };
    // A timer machine that is absent (base 0) has no interval in the image.
    const int onlineTicks = onlineTimerBase != 0 ? ticksOf(MachineId::OnlineTimer, onlineTimerInterval) : 0;
    const int offlineTicks = offlineTimerBase != 0 ? ticksOf(MachineId::OfflineTimer, offlineTimerInterval) : 0;

    const bool onlineHasCode = onlineCode[kAreaFlagOffset] == kHoldsCode;
    const bool offlineHasCode = offlineCode[kAreaFlagOffset] == kHoldsCode;
    const int onlineSize = onlineHasCode ? AreaCodeSize(onlineCode) : 0;
    const int offlineSize = offlineHasCode ? AreaCodeSize(offlineCode) : 0;
    const int offlineCodeAt = kOnlineCode + onlineSize;
    const int offlineScreensAt = offlineCodeAt + offlineSize;
    const int onlineScreensAt = offlineScreensAt + kScreenSize * offlineScreenCount;
    const int end = onlineScreensAt + kScreenSize * onlineScreenCount;
    // The Offline code and screen offsets are 16-bit fields; stored modulo
    // 65536 they would send the terminal into the wrong bytes.
    if (offlineScreensAt > 0xFFFF)
        throw CompileFailure("Online and Offline code together take " + std::to_string(onlineSize + offlineSize)
                             + " bytes; the Offline screens would start at offset "
                             + std::to_string(offlineScreensAt) + ", beyond the image's 16-bit limit of 65535 (at most "
                             + std::to_string(0xFFFF - kOnlineCode) + " bytes of code)");
    if (end + kTrailerSize > kBufferSize)
        throw CompileFailure("image would be " + std::to_string(end + kTrailerSize) + " bytes; at most "
                             + std::to_string(kBufferSize) + " fit in the terminal");

    std::vector<std::uint8_t> out(size_t(end + kTrailerSize), 0);
    out[kStringCount] = 30;
    out[kIntegerCount] = 50;
    out[kRealCount] = 20;
    for (int i = kFirstString; i <= kLastString; ++i) {
        const std::string& value = variables[size_t(i)].initialValue;
        const size_t n = std::min(value.size(), size_t(kStringValueSize));
        std::memcpy(&out[size_t(kStringValues) + size_t(kStringValueSize) * size_t(i - kFirstString)], value.data(), n);
    }
    for (int i = kFirstInteger; i <= kLastInteger; ++i)
        Put32(out, kIntegerValues + 4 * (i - kFirstInteger),
              static_cast<std::uint32_t>(IntegerInitialValue(variables[size_t(i)].initialValue)));
    for (int i = kFirstFloat; i <= kLastFloat; ++i) {
        const float value = RealInitialValue(variables[size_t(i)].initialValue);
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        Put32(out, kRealValues + 4 * (i - kFirstFloat), bits);
    }
    for (int i = 0; i < kVersionSize; ++i)
        out[size_t(kVersion) + size_t(i)] = size_t(i) < version.size() ? static_cast<std::uint8_t>(version[size_t(i)]) : ' ';
    Put16(out, kOfflineTimerTicks, std::uint32_t(offlineTicks));
    Put16(out, kOfflineTimerBase, offlineTimerBase);
    Put16(out, kOnlineTimerTicks, std::uint32_t(onlineTicks));
    Put16(out, kOnlineTimerBase, onlineTimerBase);
    if (!labelData.empty())
        std::memcpy(&out[kLabelData], labelData.data(), labelData.size());

    if (onlineHasCode) {
        out[kOnlineFlag] = kHoldsCode;
        std::copy_n(&onlineCode[kStateTableOffset], kStateTableSize, &out[kOnlineStateTable]);
        std::copy_n(&onlineCode[kJumpTableOffset], kJumpTableSize, &out[kOnlineJumpTable]);
        std::copy_n(&onlineCode[kCodeStart], onlineSize, &out[kOnlineCode]);
    }
    if (offlineHasCode) {
        out[kOfflineFlag] = kHoldsCode;
        Put16(out, kOfflineCodeOffset, std::uint32_t(offlineCodeAt));
        std::copy_n(&offlineCode[kJumpTableOffset], kJumpTableSize, &out[kOfflineJumpTable]);
        std::copy_n(&offlineCode[kCodeStart], offlineSize, &out[size_t(offlineCodeAt)]);
    }
    Put16(out, kOfflineScreensOffset, std::uint32_t(offlineScreensAt));
    out[kOfflineScreenCount] = std::uint8_t(offlineScreenCount);
    std::copy_n(offlineScreens.begin(), kScreenSize * offlineScreenCount, &out[size_t(offlineScreensAt)]);
    Put24(out, kOnlineScreensOffset, std::uint32_t(onlineScreensAt));
    out[kOnlineScreenCount] = std::uint8_t(onlineScreenCount);
    std::copy_n(onlineScreens.begin(), kScreenSize * onlineScreenCount, &out[size_t(onlineScreensAt)]);
    Put24(out, kEnd, std::uint32_t(end));
    Put16(out, kChecksum, ImageChecksum(out));
    return out;
}

} // namespace qvt
