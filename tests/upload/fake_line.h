#pragma once

#include "upload/byte_channel.h"
#include "upload/simulated_terminal.h"

#include <deque>
#include <functional>
#include <vector>

namespace qvt::test {

// Time that passes only when someone sleeps or waits on it.
class FakeClock : public Clock {
public:
    std::int64_t now = 0;
    std::vector<int> sleeps;

    std::int64_t nowMs() override { return now; }
    void sleepMs(int ms) override
    {
        sleeps.push_back(ms);
        now += ms;
    }
};

// A line whose far end answers on FakeClock time: what is written goes to the
// responder, whose replies arrive `replyDelayMs` later. Deterministic, so the
// waits and the timing of late replies can be checked exactly.
class FakeLine : public ByteChannel {
public:
    explicit FakeLine(FakeClock& clock) : clock_(clock) {}

    // Gets every write; returns the bytes the far end sends back, if any.
    std::function<std::vector<Bytes>(std::span<const std::uint8_t>)> responder;
    int replyDelayMs = 0;
    // The next read fails (once).
    bool failNextRead = false;

    std::vector<Bytes> writes;        // every write, as sent
    std::vector<int> waitCalls;       // waitForInput arguments

    // Bytes that arrive at clock time `atMs`.
    void arrive(std::int64_t atMs, Bytes bytes) { scheduled_.push_back({atMs, std::move(bytes)}); sort(); }

    std::size_t QueuedInputCount() override;
    bool ReadPort(std::size_t count, Bytes& out) override;
    void WritePort(std::span<const std::uint8_t> bytes) override;
    void waitForInput(int ms) override;

private:
    struct Arrival {
        std::int64_t at;
        Bytes bytes;
    };
    void sort();
    void deliverDue();

    FakeClock& clock_;
    std::deque<Arrival> scheduled_;
    Bytes queued_;
};

// A FakeLine with a simulated terminal on the far end.
struct SimulatedLine {
    explicit SimulatedLine(SimulatedTerminal::Options options = {}) : terminal(options), line(clock)
    {
        line.responder = [this](std::span<const std::uint8_t> bytes) { return terminal.receive(bytes); };
    }
    FakeClock clock;
    SimulatedTerminal terminal;
    FakeLine line;
};

} // namespace qvt::test
