#include "upload/simulated_terminal.h"
#include "upload/upload_protocol.h"

#include "fake_line.h"

#include <gtest/gtest.h>

#include <functional>

namespace qvt {
namespace {

TEST(ReplyWait, ScalesWithTheLineSpeed)
{
    const int expected[3][5] = {{200, 150, 133, 125, 120}, {140, 105, 93, 87, 84}, {100, 75, 66, 62, 60}};
    const std::uint16_t factors[3] = {100, 70, 50};
    for (int f = 0; f < 3; ++f)
        for (int speed = 0; speed < 5; ++speed)
            EXPECT_EQ(replyWaitMs(factors[f], speed), expected[f][speed]) << factors[f] << " at index " << speed;
    EXPECT_EQ(speedIndexOf("9600"), 0);
    EXPECT_EQ(speedIndexOf("115200"), 4);
    EXPECT_EQ(speedIndexOf("14400"), std::nullopt);
}

// Each command waits its own time for the reply in the default mode.
struct WaitCase {
    const char* name;
    int speedIndex;
    std::function<void(UploadProtocol&)> send;
    int waitMs;
};

class CommandWait : public ::testing::TestWithParam<WaitCase> {};

TEST_P(CommandWait, SleepsTheFixedTime)
{
    test::SimulatedLine sim;
    UploadState state;
    state.SpeedIndex = GetParam().speedIndex;
    UploadProtocol protocol(sim.line, sim.clock, state);
    GetParam().send(protocol);
    EXPECT_EQ(sim.clock.sleeps, std::vector<int>{GetParam().waitMs});
    EXPECT_TRUE(sim.line.waitCalls.empty());
}

const Bytes kBlock(64, 0x5A);

INSTANTIATE_TEST_SUITE_P(
    Exchange, CommandWait,
    ::testing::Values(
        WaitCase{"EraseAt115200", 4, [](UploadProtocol& p) { p.EraseFlashPages(1, 138, 139); }, 60},
        WaitCase{"WriteAt115200", 4, [](UploadProtocol& p) { p.WriteFlashBlock(1, 0x4500, kBlock); }, 84},
        WaitCase{"ResetAt115200", 4, [](UploadProtocol& p) { p.SendReset(1); }, 120},
        WaitCase{"Command06At115200", 4, [](UploadProtocol& p) { p.SendCommand06(1); }, 120},
        WaitCase{"EraseAt9600", 0, [](UploadProtocol& p) { p.EraseFlashPages(1, 138, 139); }, 100},
        WaitCase{"WriteAt9600", 0, [](UploadProtocol& p) { p.WriteFlashBlock(1, 0x4500, kBlock); }, 140},
        WaitCase{"ResetAt9600", 0, [](UploadProtocol& p) { p.SendReset(1); }, 200},
        WaitCase{"WriteAt38400", 2, [](UploadProtocol& p) { p.WriteFlashBlock(1, 0x4500, kBlock); }, 93}),
    [](const auto& info) { return std::string(info.param.name); });

struct Fixture : ::testing::Test {
    test::FakeClock clock;
    test::FakeLine line{clock};
    UploadState state;
    UploadProtocol protocol{line, clock, state};
    SimulatedTerminal terminal{{}};

    // The far end answers every request with `reply` after `delay` ms.
    void answerWith(Bytes reply, int delay = 0)
    {
        line.replyDelayMs = delay;
        line.responder = [reply](std::span<const std::uint8_t>) { return std::vector<Bytes>{reply}; };
    }
};

TEST_F(Fixture, StatusIsClearedOnceTheRequestIsOut)
{
    state.LastReply.Status = 5;
    EXPECT_EQ(protocol.SendReset(1), reply::NoReply);
    EXPECT_EQ(state.LastReply.Status, 0);
}

TEST_F(Fixture, FailedReadGives0x40)
{
    answerWith(terminal.makeReply(0), 5);
    for (bool fast : {false, true}) {
        protocol.setFastMode(fast);
        Bytes leftOver;  // the reply the failed read left behind
        line.ReadPort(line.QueuedInputCount(), leftOver);
        line.failNextRead = true;
        EXPECT_EQ(protocol.SendReset(1), reply::ReadFailed) << (fast ? "fast" : "default");
    }
}

TEST_F(Fixture, StaleInputIsDiscardedBeforeTheRequest)
{
    line.arrive(0, terminal.makeReply(3));  // left over from an earlier exchange
    answerWith(terminal.makeReply(0), 10);
    EXPECT_EQ(protocol.SendReset(1), 0);
}

TEST_F(Fixture, ALateReplyIsMissedThenDiscarded)
{
    // The first reply comes after the 120 ms wait: no reply. It is queued by
    // the time the next request goes out, and thrown away then.
    int calls = 0;
    line.responder = [&](std::span<const std::uint8_t>) {
        return std::vector<Bytes>{terminal.makeReply(++calls == 1 ? 3 : 0)};
    };
    line.replyDelayMs = 150;
    EXPECT_EQ(protocol.SendReset(1), reply::NoReply);
    clock.sleepMs(50);
    line.replyDelayMs = 10;
    EXPECT_EQ(protocol.SendReset(1), 0);
}

TEST_F(Fixture, AReplyArrivingDuringTheNextWaitIsTakenForThatExchange)
{
    int calls = 0;
    line.responder = [&](std::span<const std::uint8_t>) {
        return std::vector<Bytes>{terminal.makeReply(++calls == 1 ? 3 : 0)};
    };
    line.replyDelayMs = 130;  // 10 ms after the first wait has ended
    EXPECT_EQ(protocol.SendReset(1), reply::NoReply);
    EXPECT_EQ(protocol.SendReset(1), 3);
}

TEST_F(Fixture, ReplyFromAddress85WithItsDoubledComplementIsAccepted)
{
    answerWith({0xAA, 0x55, 0xAA, 0xAA, 0x00, 0xFF});
    EXPECT_EQ(protocol.SendReset(85), 0);
    EXPECT_EQ(state.LastReply.Address, 85);
    EXPECT_EQ(protocol.SendReset(84), reply::WrongAddress);
}

// Fast mode: the same frames, shorter waits, never longer.
struct FastCase {
    const char* name;
    std::vector<std::pair<int, Bytes>> arrivals;  // ms after the request, bytes
    std::uint8_t code;
    std::int64_t endsAtMs;  // the write waits 84 ms at 115200 baud
};

class FastMode : public ::testing::TestWithParam<FastCase> {};

Bytes part(const Bytes& b, std::size_t from, std::size_t to)
{
    return Bytes(b.begin() + std::ptrdiff_t(from), b.begin() + std::ptrdiff_t(to));
}

const SimulatedTerminal kPeer{{}};
const Bytes kOk = kPeer.makeReply(0);
const std::uint8_t kRecord[] = {10, 0x42};
const Bytes kWithData = kPeer.makeReply(0, std::nullopt, kRecord);
Bytes badCrcReply()
{
    Bytes b = kWithData;
    b[b.size() - 2] ^= 0x01;
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Exchange, FastMode,
    ::testing::Values(FastCase{"StopsAtOnce", {{5, kOk}}, 0, 5},
                      FastCase{"WaitsForTheWholeFrame", {{2, part(kWithData, 0, 4)}, {9, part(kWithData, 4, 11)}}, 0, 9},
                      FastCase{"BadCrcWaitsTheFullTime", {{3, badCrcReply()}}, reply::BadCrc, 84},
                      FastCase{"GarbageWaitsTheFullTime", {{3, {0x00, 0x01}}}, reply::NoReply, 84},
                      FastCase{"NothingWaitsTheFullTime", {}, reply::NoReply, 84},
                      FastCase{"TooLateIsNoReply", {{90, kOk}}, reply::NoReply, 84}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(FastMode, EndsAsSoonAsAValidReplyIsIn)
{
    test::FakeClock clock;
    test::FakeLine line(clock);
    UploadState state;
    UploadProtocol protocol(line, clock, state);
    protocol.setFastMode(true);
    line.responder = [&](std::span<const std::uint8_t>) {
        for (const auto& [at, bytes] : GetParam().arrivals)
            line.arrive(clock.now + at, bytes);
        return std::vector<Bytes>{};
    };
    EXPECT_EQ(protocol.WriteFlashBlock(1, 0x4500, kBlock), GetParam().code);
    EXPECT_EQ(clock.now, GetParam().endsAtMs);
    EXPECT_TRUE(clock.sleeps.empty());
}

TEST(FastModeFrames, AreTheDefaultModeFrames)
{
    std::vector<Bytes> sent[2];
    for (int fast = 0; fast < 2; ++fast) {
        test::SimulatedLine sim;
        UploadState state;
        UploadProtocol protocol(sim.line, sim.clock, state);
        protocol.setFastMode(fast == 1);
        protocol.EraseFlashPages(1, 138, 139);
        protocol.WriteFlashBlock(1, 0x4500, kBlock);
        protocol.SendReset(1);
        protocol.SendCommand06(1);
        sent[fast] = sim.line.writes;
    }
    EXPECT_EQ(sent[0], sent[1]);
}

} // namespace
} // namespace qvt
