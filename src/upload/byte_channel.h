#pragma once

#include "upload/frames.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace qvt {

// The line to the terminal as the upload protocol sees it. The serial port
// implements it; tests put byte buffers or a simulated terminal behind it.
class ByteChannel {
public:
    virtual ~ByteChannel() = default;

    // Clears any pending line error and returns the number of received bytes
    // waiting to be read, exact at the time of the call.
    virtual std::size_t QueuedInputCount() = 0;
    // Appends up to `count` waiting bytes to `out` (bounded by one second).
    // False only when the read itself fails; reading 0 bytes succeeds.
    virtual bool ReadPort(std::size_t count, Bytes& out) = 0;
    // Sends the bytes and returns once they have left for the line (bounded
    // by one second), so a reply wait counts from the end of the request.
    // The outcome is not reported.
    virtual void WritePort(std::span<const std::uint8_t> bytes) = 0;
    // Blocks until more input has arrived or `ms` milliseconds have passed.
    virtual void waitForInput(int ms) = 0;
};

// The time base of the upload: the fixed waits for replies and the pauses
// while the terminal erases and resets. Tests substitute a clock that does not
// really sleep.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds on a monotonic scale.
    virtual std::int64_t nowMs() = 0;
    virtual void sleepMs(int ms) = 0;
};

class SteadyClock : public Clock {
public:
    std::int64_t nowMs() override;
    void sleepMs(int ms) override;
};

} // namespace qvt
