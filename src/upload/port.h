#pragma once

#include "upload/byte_channel.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qvt {

// Why a port did not open, beyond the step code.
struct PortOpenFailure {
    enum class Reason { None, NotFound, InUse, NoPermission, BadSpeed, Other };
    std::uint8_t code = 0;       // the OpenPort step that failed, 0 = none
    Reason reason = Reason::None;
    std::string device;          // the device file, when known
    std::string group;           // group owning the device file (NoPermission)
    std::string systemText;      // what the system said
};

// A serial line that is opened for one upload and closed after it.
class Port : public ByteChannel {
public:
    // Opens `portName` at `speedText` baud, 8 data bits, no parity, 1 stop
    // bit, exclusively, with DTR and RTS raised. Returns 0, or the number of
    // the step that failed:
    //   1 open the device   2 queue sizes   3 read the settings
    //   4 the speed text    5 apply the settings   6 time-outs
    //   7 raise DTR         8 raise RTS
    // A port that fails after step 1 is released again before returning.
    virtual std::uint8_t OpenPort(std::string_view portName, std::string_view speedText) = 0;
    virtual void ClosePort() = 0;
    virtual bool isOpen() const = 0;
    // Details of the last failed OpenPort.
    virtual const PortOpenFailure& openFailure() const = 0;
};

} // namespace qvt
