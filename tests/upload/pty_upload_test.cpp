#include "upload/crc16_arc.h"
#include "upload/pty_simulator.h"
#include "upload/serial_port.h"
#include "upload/upload_job.h"

#include "fake_line.h"
#include "scripted_messages.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <random>

namespace qvt {
namespace {

// Uploads through a real pseudo-terminal to the simulator on its master side.

std::string imageBytes(std::size_t size, unsigned seed = 11)
{
    std::mt19937 random(seed);
    std::string image(size, '\0');
    for (char& c : image)
        c = char(random() % 4 == 0 ? 0xAA : random() & 0xFF);
    return image;
}

struct PtyFixture : ::testing::Test {
    void startSimulator(PtyTerminalSimulator::Options options = {})
    {
        simulator = std::make_unique<PtyTerminalSimulator>(options);
        std::string error;
        ASSERT_TRUE(simulator->start(error)) << error;
    }
    const std::string& device() const { return simulator->devicePath(); }

    std::unique_ptr<PtyTerminalSimulator> simulator;
};

using PortOpen = PtyFixture;

TEST_F(PortOpen, OpensAPseudoTerminalWithoutModemLines)
{
    ASSERT_NO_FATAL_FAILURE(startSimulator());
    SerialPort port;
    ASSERT_EQ(port.OpenPort(device(), "115200"), 0) << port.openFailure().systemText;
    EXPECT_TRUE(port.isOpen());
    EXPECT_TRUE(port.modemLinesSkipped());
    port.ClosePort();
    EXPECT_FALSE(port.isOpen());
    // Closed means free: it opens again.
    EXPECT_EQ(port.OpenPort(device(), "9600"), 0);
}

TEST_F(PortOpen, FailuresGiveTheirStepAndLeaveNothingOpen)
{
    ASSERT_NO_FATAL_FAILURE(startSimulator());
    struct Case {
        std::string name;
        std::string speed;
        std::uint8_t code;
        PortOpenFailure::Reason reason;
    };
    const Case cases[] = {
        {"/dev/qvt-no-such-port", "115200", 1, PortOpenFailure::Reason::NotFound},
        {"qvt-no-such-port", "115200", 1, PortOpenFailure::Reason::NotFound},
        {"", "115200", 1, PortOpenFailure::Reason::NotFound},
        {device(), "fast", 4, PortOpenFailure::Reason::BadSpeed},
        {device(), "", 4, PortOpenFailure::Reason::BadSpeed},
        {device(), "0", 4, PortOpenFailure::Reason::BadSpeed},
        {device(), "-9600", 4, PortOpenFailure::Reason::BadSpeed},
    };
    for (const Case& c : cases) {
        SerialPort port;
        EXPECT_EQ(port.OpenPort(c.name, c.speed), c.code) << c.name << " at " << c.speed;
        EXPECT_EQ(port.openFailure().reason, c.reason) << c.name << " at " << c.speed;
        EXPECT_FALSE(port.isOpen());
    }
    // None of the failed opens kept the device.
    SerialPort port;
    EXPECT_EQ(port.OpenPort(device(), "115200"), 0);
}

TEST_F(PortOpen, APortHeldByAnotherIsRefused)
{
    ASSERT_NO_FATAL_FAILURE(startSimulator());
    SerialPort holder;
    ASSERT_EQ(holder.OpenPort(device(), "115200"), 0);
    SerialPort second;
    EXPECT_EQ(second.OpenPort(device(), "115200"), 1);
    EXPECT_EQ(second.openFailure().reason, PortOpenFailure::Reason::InUse);
    EXPECT_FALSE(second.isOpen());
    EXPECT_TRUE(holder.isOpen());
}

TEST_F(PortOpen, ReadingZeroBytesSucceeds)
{
    ASSERT_NO_FATAL_FAILURE(startSimulator());
    SerialPort port;
    ASSERT_EQ(port.OpenPort(device(), "115200"), 0);
    Bytes out;
    EXPECT_EQ(port.QueuedInputCount(), 0u);
    EXPECT_TRUE(port.ReadPort(0, out));
    EXPECT_TRUE(out.empty());
}

// The reply codes, each from a reply crafted on the terminal's side.
struct CraftedCase {
    const char* name;
    std::optional<Bytes> reply;  // raw, as it goes on the line; nothing = silence
    std::uint8_t code;
};

class CraftedReply : public PtyFixture, public ::testing::WithParamInterface<CraftedCase> {};

Bytes withCrc(Bytes frame, const Bytes& data, bool corrupt = false)
{
    std::uint16_t crc = crc16Arc(data);
    if (corrupt)
        crc ^= 0x0101;
    frame.insert(frame.end(), data.begin(), data.end());
    frame.push_back(std::uint8_t(crc & 0xFF));
    frame.push_back(std::uint8_t(crc >> 8));
    return stuffFrame(frame);
}

TEST_P(CraftedReply, GivesItsCode)
{
    ASSERT_NO_FATAL_FAILURE(startSimulator());
    const std::optional<Bytes> reply = GetParam().reply;
    simulator->withTerminal([&](SimulatedTerminal& t) {
        t.replyOverride = [reply](const SimulatedTerminal::Request&) { return reply; };
    });
    for (bool fast : {false, true}) {
        SerialPort port;
        ASSERT_EQ(port.OpenPort(device(), "115200"), 0);
        SteadyClock clock;
        UploadState state;
        UploadProtocol protocol(port, clock, state);
        protocol.setFastMode(fast);
        EXPECT_EQ(protocol.SendReset(1), GetParam().code) << (fast ? "fast" : "default");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pty, CraftedReply,
    ::testing::Values(
        CraftedCase{"Success", Bytes{0xAA, 0x01, 0xFE, 0x00, 0xFF}, 0x00},
        CraftedCase{"Status3", Bytes{0xAA, 0x01, 0xFE, 0x03, 0xFC}, 0x03},
        CraftedCase{"DataRecords", withCrc({0xAA, 0x01, 0xFE, 0x80, 0x7F, 0x05, 0xFA}, {10, 0xAA, 14, 3, 0}), 0x00},
        CraftedCase{"UnknownTag", withCrc({0xAA, 0x01, 0xFE, 0x80, 0x7F, 0x02, 0xFD}, {0x63, 0}), 0x0F},
        CraftedCase{"Silence", std::nullopt, 0x10},
        CraftedCase{"NotAa", Bytes{0x55, 0x01, 0xFE, 0x00, 0xFF}, 0x10},
        CraftedCase{"AddressComplement", Bytes{0xAA, 0x01, 0x00, 0x00, 0xFF}, 0x20},
        CraftedCase{"StatusComplement", Bytes{0xAA, 0x01, 0xFE, 0x00, 0x00}, 0x20},
        CraftedCase{"EmptyDataBlock", Bytes{0xAA, 0x01, 0xFE, 0x80, 0x7F, 0x00, 0xFF, 0x00, 0x00}, 0x20},
        CraftedCase{"OtherAddress", Bytes{0xAA, 0x02, 0xFD, 0x00, 0xFF}, 0x30},
        CraftedCase{"TooShort", Bytes{0xAA, 0x01, 0xFE}, 0x50},
        CraftedCase{"BadCrc", withCrc({0xAA, 0x01, 0xFE, 0x80, 0x7F, 0x02, 0xFD}, {10, 1}, true), 0x60}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PtyFixture, ReplyFromAddress85ArrivesWithItsComplementDoubled)
{
    ASSERT_NO_FATAL_FAILURE(startSimulator({.terminal = {.address = 85}}));
    SerialPort port;
    ASSERT_EQ(port.OpenPort(device(), "115200"), 0);
    SteadyClock clock;
    UploadState state;
    UploadProtocol protocol(port, clock, state);
    protocol.setFastMode(true);
    EXPECT_EQ(protocol.SendReset(85), 0);
    EXPECT_EQ(state.LastReply.Address, 85);
    simulator->withTerminal([](SimulatedTerminal& t) { EXPECT_EQ(t.badFrames(), 0u); });
}

TEST_F(PtyFixture, ALineThatGoesAwayGives0x40)
{
    ASSERT_NO_FATAL_FAILURE(startSimulator());
    SerialPort port;
    ASSERT_EQ(port.OpenPort(device(), "115200"), 0);
    simulator->stop();
    SteadyClock clock;
    UploadState state;
    UploadProtocol protocol(port, clock, state);
    EXPECT_EQ(protocol.SendReset(1), reply::ReadFailed);
}

// One press of Upload through the pseudo-terminal.
struct JobRun {
    UploadJobResult result;
    test::ScriptedMessages messages;
    std::vector<std::string> statuses;
    bool portOpenAfter = true;
};

void runJob(JobRun& run, const std::string& device, const std::string& imagePath, bool fast, int address = 1)
{
    SerialPort port;
    SteadyClock waitClock;
    test::FakeClock pauseClock;  // the two pauses need no real time here
    UploadState state;
    UploadHooks hooks;
    hooks.setStatus = [&](std::string_view s) { run.statuses.emplace_back(s); };
    run.result = runUploadJob({device, "115200", address, fast}, imagePath, state, port, run.messages, hooks,
                              waitClock, pauseClock);
    run.portOpenAfter = port.isOpen();
}

struct UploadCase {
    const char* name;
    bool fast;
    std::size_t size;
};

class PtyUpload : public PtyFixture, public ::testing::WithParamInterface<UploadCase> {};

TEST_P(PtyUpload, DeliversEveryImageByteAt0x4500)
{
    ASSERT_NO_FATAL_FAILURE(startSimulator());
    test::TempDir dir;
    const std::string image = imageBytes(GetParam().size);
    test::writeFile(dir.path("scale.ITF"), image);

    JobRun run;
    runJob(run, device(), dir.path("scale.ITF"), GetParam().fast);
    EXPECT_TRUE(run.result.ok());
    EXPECT_EQ(run.result.outcome.blocksAccepted, (image.size() + 63) / 64);
    EXPECT_TRUE(run.messages.shown.empty()) << run.messages.transcript();
    EXPECT_FALSE(run.portOpenAfter);
    ASSERT_FALSE(run.statuses.empty());
    EXPECT_EQ(run.statuses.back(), "Upload Completed");

    simulator->withTerminal([&](SimulatedTerminal& t) {
        EXPECT_EQ(t.badFrames(), 0u);
        EXPECT_EQ(t.lowestWritten(), 0x4500u);
        const Bytes received = t.receivedImage();
        ASSERT_GE(received.size(), image.size());
        EXPECT_TRUE(std::equal(image.begin(), image.end(), received.begin(),
                               [](char a, std::uint8_t b) { return std::uint8_t(a) == b; }));
        EXPECT_TRUE(std::all_of(received.begin() + std::ptrdiff_t(image.size()), received.end(),
                                [](std::uint8_t b) { return b == 0; }));
        ASSERT_GE(t.requests().size(), 2u);
        EXPECT_EQ(t.requests()[t.requests().size() - 2].payload, Bytes{0x09});
        EXPECT_EQ(t.requests().back().payload, Bytes{0x06});
    });

    // The port was released: the next upload opens it again.
    JobRun again;
    runJob(again, device(), dir.path("scale.ITF"), true);
    EXPECT_TRUE(again.result.ok());
}

// The default mode waits 84 ms a block, so its image is kept small.
INSTANTIATE_TEST_SUITE_P(Pty, PtyUpload,
                         ::testing::Values(UploadCase{"Default", false, 1500}, UploadCase{"Fast", true, 12270},
                                           UploadCase{"FastLargestImage", true, 122880}),
                         [](const auto& info) { return std::string(info.param.name); });

// Faulty terminals: one message, no further blocks, still "Upload Completed",
// the port closed.
struct PtyFaultCase {
    const char* name;
    SimulatedTerminal::Options terminal;
    std::size_t blocksAccepted;
    std::size_t writesSeen;
};

class PtyFault : public PtyFixture, public ::testing::WithParamInterface<PtyFaultCase> {};

TEST_P(PtyFault, EndsCleanly)
{
    ASSERT_NO_FATAL_FAILURE(startSimulator({.terminal = GetParam().terminal}));
    test::TempDir dir;
    test::writeFile(dir.path("a.ITF"), imageBytes(64 * 6));
    for (bool fast : {false, true}) {
        JobRun run;
        runJob(run, device(), dir.path("a.ITF"), fast);
        EXPECT_TRUE(run.result.started);
        EXPECT_FALSE(run.result.ok());
        EXPECT_EQ(run.result.outcome.result, UploadOutcome::Result::BlockRejected);
        EXPECT_EQ(run.result.outcome.blocksAccepted, GetParam().blocksAccepted);
        EXPECT_EQ(run.messages.errors(), std::vector<std::string>{"Could not write to Flash."});
        ASSERT_FALSE(run.statuses.empty());
        EXPECT_EQ(run.statuses.back(), "Upload Completed");
        EXPECT_FALSE(run.portOpenAfter);
        simulator->withTerminal([&](SimulatedTerminal& t) {
            EXPECT_EQ(t.writesSinceErase(), GetParam().writesSeen);
            ASSERT_GE(t.requests().size(), 2u);
            EXPECT_EQ(t.requests()[t.requests().size() - 2].payload, Bytes{0x09});
            EXPECT_EQ(t.requests().back().payload, Bytes{0x06});
        });
    }
}

INSTANTIATE_TEST_SUITE_P(Pty, PtyFault,
                         ::testing::Values(PtyFaultCase{"Silent", {.silent = true}, 0, 1},
                                           PtyFaultCase{"BadCrc", {.badCrc = true}, 0, 1},
                                           PtyFaultCase{"RejectsBlock3", {.rejectBlock = 3}, 2, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PtyFixture, APortThatDoesNotOpenShowsTheMessageAndSendsNothing)
{
    ASSERT_NO_FATAL_FAILURE(startSimulator());
    SerialPort holder;
    ASSERT_EQ(holder.OpenPort(device(), "115200"), 0);
    test::TempDir dir;
    test::writeFile(dir.path("a.ITF"), imageBytes(100));
    JobRun run;
    runJob(run, device(), dir.path("a.ITF"), false);
    EXPECT_FALSE(run.result.started);
    EXPECT_EQ(run.result.openCode, 1);
    ASSERT_EQ(run.messages.errors().size(), 1u);
    EXPECT_EQ(run.messages.errors()[0].rfind("Could not open Com port.", 0), 0u);
    EXPECT_NE(run.messages.errors()[0].find("in use"), std::string::npos);
    EXPECT_TRUE(run.statuses.empty());
    simulator->withTerminal([](SimulatedTerminal& t) { EXPECT_TRUE(t.requests().empty()); });
}

TEST_F(PtyFixture, ThrottleHoldsBytesToTheLineRate)
{
    // 8 request bytes and 5 reply bytes at 9600 baud take 13.5 ms on a line.
    ASSERT_NO_FATAL_FAILURE(startSimulator({.terminal = {}, .replyDelayMs = 0, .throttleBaud = 9600}));
    SerialPort port;
    ASSERT_EQ(port.OpenPort(device(), "9600"), 0);
    SteadyClock clock;
    UploadState state;
    state.SpeedIndex = 0;
    UploadProtocol protocol(port, clock, state);
    protocol.setFastMode(true);
    const std::int64_t start = clock.nowMs();
    EXPECT_EQ(protocol.SendReset(1), 0);
    EXPECT_GE(clock.nowMs() - start, 13);
}

} // namespace
} // namespace qvt
