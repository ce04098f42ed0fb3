#include "upload/port_list.h"
#include "upload/serial_port.h"
#include "upload/upload_job.h"

#include "fake_line.h"
#include "scripted_messages.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace qvt {
namespace {

TEST(PortList, SortedAsText)
{
    std::vector<SerialPortEntry> ports{{"COM2", "", ""}, {"COM10", "", ""}, {"COM1", "", ""},
                                       {"ttyUSB0", "", ""}, {"ttyS10", "", ""}, {"ttyS2", "", ""},
                                       {"ttyACM0", "", ""}, {"TTYS1", "", ""}};
    sortPortsAsText(ports);
    std::vector<std::string> names;
    for (const auto& p : ports)
        names.push_back(p.name);
    EXPECT_EQ(names, (std::vector<std::string>{"COM1", "COM10", "COM2", "ttyACM0", "TTYS1", "ttyS10", "ttyS2",
                                               "ttyUSB0"}));
}

TEST(OpenFailureMessage, StartsWithTheFixedTextAndSaysWhatToDo)
{
    using R = PortOpenFailure::Reason;
    struct Case {
        PortOpenFailure failure;
        std::vector<std::string> mentions;
    };
    const Case cases[] = {
        {{1, R::NoPermission, "/dev/ttyUSB0", "dialout", "Permission denied"},
         {"not allowed", "/dev/ttyUSB0", "\"dialout\"", "usermod -aG dialout"}},
        {{1, R::NoPermission, "/dev/ttyACM0", "uucp", ""}, {"\"uucp\"", "usermod -aG uucp"}},
        {{1, R::NoPermission, "/dev/ttyS0", "", ""}, {"\"dialout\""}},
        {{1, R::InUse, "/dev/ttyUSB0", "", ""}, {"/dev/ttyUSB0 is in use"}},
        {{1, R::NotFound, "/dev/ttyUSB9", "", ""}, {"no serial port /dev/ttyUSB9"}},
        {{7, R::Other, "/dev/ttyS0", "", "Inappropriate ioctl"}, {"Inappropriate ioctl"}},
    };
    for (const Case& c : cases) {
        const std::string text = openFailureMessage(c.failure);
        EXPECT_EQ(text.rfind("Could not open Com port.", 0), 0u) << text;
        for (const std::string& m : c.mentions)
            EXPECT_NE(text.find(m), std::string::npos) << m << " in " << text;
    }
    EXPECT_EQ(openFailureMessage({4, R::Other, "/dev/ttyS0", "", ""}), "Could not open Com port.");
}

TEST(OpenFailureReason, TellsMissingFromForbiddenFromBusy)
{
    using R = PortOpenFailure::Reason;
    struct Case {
        int accessErrno;  // what access(R_OK | W_OK) said, 0 = allowed
        bool qtPermission;
        bool qtNotFound;
        R reason;
    };
    const Case cases[] = {
        {ENOENT, false, true, R::NotFound},
        {ENOENT, false, false, R::NotFound},
        {EACCES, true, false, R::NoPermission},  // not in the device's group
        {EPERM, true, false, R::NoPermission},
        {0, true, false, R::InUse},              // allowed, yet refused: held elsewhere
        {0, false, false, R::Other},
    };
    for (const Case& c : cases)
        EXPECT_EQ(classifyOpenFailure(c.accessErrno, c.qtPermission, c.qtNotFound), c.reason)
            << c.accessErrno << " " << c.qtPermission << " " << c.qtNotFound;
}

// A port in front of a simulated terminal; opening gives a scripted code.
class FakePort : public Port {
public:
    explicit FakePort(test::SimulatedLine& sim) : sim_(sim) {}

    std::uint8_t openCode = 0;
    std::vector<std::string> opens;  // "name speed"
    int closes = 0;

    std::uint8_t OpenPort(std::string_view name, std::string_view speed) override
    {
        opens.push_back(std::string(name) + " " + std::string(speed));
        failure_ = {openCode, openCode ? PortOpenFailure::Reason::InUse : PortOpenFailure::Reason::None,
                    "/dev/" + std::string(name), "", ""};
        open_ = openCode == 0;
        return openCode;
    }
    void ClosePort() override
    {
        ++closes;
        open_ = false;
    }
    bool isOpen() const override { return open_; }
    const PortOpenFailure& openFailure() const override { return failure_; }

    std::size_t QueuedInputCount() override { return sim_.line.QueuedInputCount(); }
    bool ReadPort(std::size_t count, Bytes& out) override { return sim_.line.ReadPort(count, out); }
    void WritePort(std::span<const std::uint8_t> bytes) override { sim_.line.WritePort(bytes); }
    void waitForInput(int ms) override { sim_.line.waitForInput(ms); }

private:
    test::SimulatedLine& sim_;
    PortOpenFailure failure_;
    bool open_ = false;
};

struct Job : ::testing::Test {
    Job() { test::writeFile(dir.path("a.ITF"), std::string(200, 'x')); }

    UploadJobResult run(UploadSettings settings)
    {
        return runUploadJob(settings, dir.path("a.ITF"), state, port, messages, hooks, sim.clock, pauseClock);
    }

    test::TempDir dir;
    test::SimulatedLine sim{{.address = 7}};
    FakePort port{sim};
    UploadState state;
    test::ScriptedMessages messages;
    UploadHooks hooks;
    test::FakeClock pauseClock;
};

TEST_F(Job, TakesTheSettingsOpensUploadsAndCloses)
{
    const UploadJobResult result = run({"ttyUSB0", "9600", 7, false});
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(port.opens, std::vector<std::string>{"ttyUSB0 9600"});
    EXPECT_EQ(port.closes, 1);
    EXPECT_EQ(state.TerminalAddress, 7);
    EXPECT_EQ(state.SpeedIndex, 0);
    // At 9600 baud the reply waits are the longest: erase 100, blocks 140,
    // reset and closing command 200 each.
    EXPECT_EQ(sim.clock.sleeps, (std::vector<int>{100, 140, 140, 140, 140, 200, 200}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Job, ClosesThePortAfterAFailedUpload)
{
    sim.terminal = SimulatedTerminal({.address = 7, .rejectBlock = 1});
    const UploadJobResult result = run({"ttyUSB0", "115200", 7, true});
    EXPECT_TRUE(result.started);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(port.closes, 1);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(Job, ClosesThePortWhenTheUploadThrows)
{
    hooks.setStatus = [](std::string_view) { throw std::runtime_error("window gone"); };
    EXPECT_THROW(run({"ttyUSB0", "115200", 7, false}), std::runtime_error);
    EXPECT_EQ(port.closes, 1);
}

TEST_F(Job, APortThatFailsToOpenIsNotClosedAndNothingIsSent)
{
    port.openCode = 5;
    const UploadJobResult result = run({"ttyUSB0", "115200", 7, false});
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.openCode, 5);
    EXPECT_EQ(port.closes, 0);
    ASSERT_EQ(messages.errors().size(), 1u);
    EXPECT_EQ(messages.errors()[0].rfind("Could not open Com port.", 0), 0u);
    EXPECT_TRUE(sim.line.writes.empty());
}

TEST_F(Job, RefusesChoicesThatCannotBeSentBeforeOpening)
{
    const UploadSettings refused[] = {
        {"", "115200", 1, false},         // empty port list
        {"ttyUSB0", "14400", 1, false},   // speed typed in, not in the list
        {"ttyUSB0", "115200", 0, false},  // address outside 1..255
        {"ttyUSB0", "115200", 256, false},
    };
    for (const UploadSettings& s : refused) {
        messages.shown.clear();
        const UploadJobResult result = run(s);
        EXPECT_FALSE(result.started);
        EXPECT_EQ(messages.errors().size(), 1u) << s.portName << " " << s.speedText << " " << s.address;
    }
    EXPECT_TRUE(port.opens.empty());
    EXPECT_TRUE(sim.line.writes.empty());
}

} // namespace
} // namespace qvt
