#include "upload/upload_job.h"
#include "upload/upload_sequence.h"

#include "fake_line.h"
#include "scripted_messages.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <random>

namespace qvt {
namespace {

// Image-like bytes with many AA bytes, so stuffing is exercised everywhere.
std::string imageBytes(std::size_t size, unsigned seed = 7)
{
    std::mt19937 random(seed);
    std::string image(size, '\0');
    for (char& c : image)
        c = char(random() % 4 == 0 ? 0xAA : random() & 0xFF);
    return image;
}

// The commands the terminal received, as their code bytes.
std::vector<std::uint8_t> commandsOf(const SimulatedTerminal& terminal)
{
    std::vector<std::uint8_t> codes;
    for (const auto& r : terminal.requests())
        codes.push_back(r.payload[0]);
    return codes;
}

struct Upload {
    explicit Upload(SimulatedTerminal::Options options = {}) : sim(options)
    {
        state.TerminalAddress = options.address;
        hooks.setStatus = [this](std::string_view s) { statuses.emplace_back(s); };
        hooks.setProgress = [this](double p) { progress.push_back(p); };
        hooks.processMessages = [this] { ++pumps; };
    }

    UploadOutcome run(const std::string& path, bool fast = false)
    {
        UploadProtocol protocol(sim.line, sim.clock, state);
        protocol.setFastMode(fast);
        return UploadImage(protocol, path, "IT", kImageFlashAddress, hooks, pauseClock, messages);
    }
    UploadOutcome runBytes(const std::string& image, bool fast = false)
    {
        const std::string path = dir.path("image.ITF");
        test::writeFile(path, image);
        return run(path, fast);
    }

    test::SimulatedLine sim;
    test::FakeClock pauseClock;
    UploadState state;
    test::ScriptedMessages messages;
    UploadHooks hooks;
    std::vector<std::string> statuses;
    std::vector<double> progress;
    int pumps = 0;
    test::TempDir dir;
};

TEST(UploadImage, SendsEveryByteFrom0x4500AndEndsWithResetAndClosingCommand)
{
    Upload up;
    const std::string image = imageBytes(130);
    const UploadOutcome outcome = up.runBytes(image);
    EXPECT_TRUE(outcome.ok());
    EXPECT_EQ(outcome.blockCount, 3u);
    EXPECT_EQ(outcome.blocksAccepted, 3u);

    const SimulatedTerminal& t = up.sim.terminal;
    EXPECT_EQ(commandsOf(t), (std::vector<std::uint8_t>{0x8B, 0x7B, 0x7B, 0x7B, 0x09, 0x06}));
    EXPECT_EQ(t.requests()[0].payload, (Bytes{0x8B, 138, 0, 139, 0}));
    EXPECT_EQ(t.lowestWritten(), 0x4500u);
    const std::uint32_t addresses[] = {0x4500, 0x4540, 0x4580};
    for (int k = 0; k < 3; ++k) {
        const Bytes& p = t.requests()[std::size_t(1 + k)].payload;
        ASSERT_EQ(p.size(), 69u);
        EXPECT_EQ(std::uint32_t(p[1] | p[2] << 8 | p[3] << 16 | p[4] << 24), addresses[k]);
    }
    // The last block is padded with zero bytes.
    std::string expected = image + std::string(62, '\0');
    const Bytes received = t.receivedImage();
    EXPECT_EQ(std::string(received.begin(), received.end()), expected);
    EXPECT_EQ(t.badFrames(), 0u);

    EXPECT_EQ(up.statuses, (std::vector<std::string>{"IT is being deleted", "IT is being burned to flash",
                                                      "QVT is resetting", "Upload Completed"}));
    EXPECT_TRUE(up.messages.shown.empty());
}

TEST(UploadImage, PausesAndProgress)
{
    Upload up;
    up.runBytes(imageBytes(200));
    // Two pauses of 101 steps: 20 ms while erasing, 30 ms while resetting.
    std::vector<int> expected(101, 20);
    expected.insert(expected.end(), 101, 30);
    EXPECT_EQ(up.pauseClock.sleeps, expected);
    // 0..100 for the erase pause, per block, then 0..100 for the reset pause.
    ASSERT_EQ(up.progress.size(), 101u + 4u + 101u);
    EXPECT_DOUBLE_EQ(up.progress[100], 100.0);
    EXPECT_DOUBLE_EQ(up.progress[101], 25.0);
    EXPECT_DOUBLE_EQ(up.progress[104], 100.0);
    EXPECT_DOUBLE_EQ(up.progress.back(), 100.0);
    EXPECT_EQ(up.pumps, 101 + 4 + 101);
}

// Erase range and block count follow the image size.
struct SizeCase {
    std::size_t size;
    unsigned endPage;
    std::size_t blocks;
};

class ImageSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ImageSize, ErasesAndWrites)
{
    Upload up;
    const std::string image = imageBytes(GetParam().size);
    const UploadOutcome outcome = up.runBytes(image, true);
    EXPECT_TRUE(outcome.ok());
    const auto& requests = up.sim.terminal.requests();
    ASSERT_FALSE(requests.empty());
    const Bytes& erase = requests[0].payload;
    EXPECT_EQ(erase, (Bytes{0x8B, 138, 0, std::uint8_t(GetParam().endPage & 0xFF), std::uint8_t(GetParam().endPage >> 8)}));
    EXPECT_EQ(outcome.blockCount, GetParam().blocks);
    EXPECT_EQ(requests.size(), 1 + GetParam().blocks + 2);
    const Bytes received = up.sim.terminal.receivedImage();
    EXPECT_EQ(received.size(), GetParam().blocks * 64);
    EXPECT_EQ(std::string(received.begin(), received.begin() + std::ptrdiff_t(image.size())), image);
}

INSTANTIATE_TEST_SUITE_P(UploadImage, ImageSize,
                         ::testing::Values(SizeCase{0, 138, 0}, SizeCase{64, 138, 1}, SizeCase{127, 138, 2},
                                           SizeCase{128, 139, 2}, SizeCase{130, 139, 3},
                                           SizeCase{12270, 233, 192}, SizeCase{122880, 1098, 1920}),
                         [](const auto& info) { return "Bytes" + std::to_string(info.param.size); });

TEST(UploadImage, RejectedBlockShowsOneMessageAndSendsNoFurtherBlock)
{
    Upload up({.address = 1, .silent = false, .badCrc = false, .rejectBlock = 2});
    const UploadOutcome outcome = up.runBytes(imageBytes(64 * 5));
    EXPECT_EQ(outcome.result, UploadOutcome::Result::BlockRejected);
    EXPECT_EQ(outcome.blocksAccepted, 1u);
    EXPECT_EQ(outcome.rejectCode, 1);
    EXPECT_EQ(up.messages.errors(), std::vector<std::string>{"Could not write to Flash."});
    EXPECT_EQ(commandsOf(up.sim.terminal), (std::vector<std::uint8_t>{0x8B, 0x7B, 0x7B, 0x09, 0x06}));
    ASSERT_FALSE(up.statuses.empty());
    EXPECT_EQ(up.statuses.back(), "Upload Completed");
}

// A terminal that never answers or answers garbage fails the first block and
// is still sent the reset and the closing command.
struct FaultCase {
    const char* name;
    SimulatedTerminal::Options options;
    std::uint8_t code;
};

class FaultyTerminal : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultyTerminal, StopsBurningAtTheFirstBlock)
{
    for (bool fast : {false, true}) {
        Upload up(GetParam().options);
        const UploadOutcome outcome = up.runBytes(imageBytes(300), fast);
        EXPECT_EQ(outcome.result, UploadOutcome::Result::BlockRejected);
        EXPECT_EQ(outcome.rejectCode, GetParam().code);
        EXPECT_EQ(outcome.blocksAccepted, 0u);
        EXPECT_EQ(up.messages.errors(), std::vector<std::string>{"Could not write to Flash."});
        EXPECT_EQ(commandsOf(up.sim.terminal), (std::vector<std::uint8_t>{0x8B, 0x7B, 0x09, 0x06}));
        ASSERT_FALSE(up.statuses.empty());
        EXPECT_EQ(up.statuses.back(), "Upload Completed");
        // Each exchange waited its full time: erase 60, block 84, reset and closing 120.
        EXPECT_EQ(up.sim.clock.now, 60 + 84 + 120 + 120);
    }
}

INSTANTIATE_TEST_SUITE_P(UploadImage, FaultyTerminal,
                         ::testing::Values(FaultCase{"Silent", {.silent = true}, reply::NoReply},
                                           FaultCase{"BadCrc", {.badCrc = true}, reply::BadCrc}),
                         [](const auto& info) { return std::string(info.param.name); });

// A cancel asked for at some point stops the burning before the next block;
// the reset, its whole pause and the closing command still go out.
TEST(UploadImage, CancelStopsBeforeTheNextBlockAndStillResets)
{
    struct Case {
        const char* when;
        std::size_t afterBlocks;  // cancel once this many blocks are accepted
        bool duringErasePause;
        std::size_t blocksSent;
    };
    const Case cases[] = {
        {"during the pause after the erase", 0, true, 0},
        {"after the first block", 1, false, 1},
        {"after the second block", 2, false, 2},
        {"after the last block: nothing left to stop", 3, false, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.when);
        Upload up;
        bool cancel = false;
        int pauseSteps = 0;
        up.hooks.processMessages = [&] {
            if (c.duringErasePause && ++pauseSteps == 10)
                cancel = true;
        };
        up.hooks.cancelRequested = [&] {
            if (!c.duringErasePause && up.sim.terminal.requests().size() == 1 + c.afterBlocks)
                cancel = true;
            return cancel;
        };
        const UploadOutcome outcome = up.runBytes(imageBytes(130));
        std::vector<std::uint8_t> expected{0x8B};
        expected.insert(expected.end(), c.blocksSent, 0x7B);
        expected.insert(expected.end(), {0x09, 0x06});
        EXPECT_EQ(commandsOf(up.sim.terminal), expected);
        EXPECT_EQ(outcome.blocksAccepted, c.blocksSent);
        EXPECT_EQ(outcome.cancelled, c.blocksSent < 3);
        EXPECT_EQ(outcome.ok(), c.blocksSent == 3);
        EXPECT_TRUE(up.messages.shown.empty()) << up.messages.transcript();
        EXPECT_EQ(up.statuses.back(), "Upload Completed");
        // The reset pause is never cut short: the terminal needs it.
        EXPECT_EQ(std::count(up.pauseClock.sleeps.begin(), up.pauseClock.sleeps.end(), 30), 101);
        if (c.duringErasePause) {
            EXPECT_EQ(std::count(up.pauseClock.sleeps.begin(), up.pauseClock.sleeps.end(), 20), 10);
        }
    }
}

TEST(UploadImage, ToAddress85)
{
    Upload up({.address = 85});
    const std::string image = imageBytes(1000, 3);
    EXPECT_TRUE(up.runBytes(image).ok());
    const Bytes received = up.sim.terminal.receivedImage();
    EXPECT_EQ(std::string(received.begin(), received.begin() + 1000), image);
}

// An image that cannot be used is reported; the terminal is not erased but
// still gets the reset and the closing command.
struct BadFileCase {
    const char* name;
    std::function<std::string(test::TempDir&)> path;
    UploadOutcome::Result result;
    const char* messageStart;
};

class BadImageFile : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(BadImageFile, IsReportedAndTheTerminalStillResets)
{
    Upload up;
    const UploadOutcome outcome = up.run(GetParam().path(up.dir));
    EXPECT_EQ(outcome.result, GetParam().result);
    ASSERT_EQ(up.messages.errors().size(), 1u);
    EXPECT_EQ(up.messages.errors()[0].rfind(GetParam().messageStart, 0), 0u) << up.messages.errors()[0];
    EXPECT_EQ(commandsOf(up.sim.terminal), (std::vector<std::uint8_t>{0x09, 0x06}));
    EXPECT_EQ(up.statuses, (std::vector<std::string>{"QVT is resetting", "Upload Completed"}));
}

INSTANTIATE_TEST_SUITE_P(
    UploadImage, BadImageFile,
    ::testing::Values(
        BadFileCase{"Missing", [](test::TempDir& d) { return d.path("missing.ITF"); },
                    UploadOutcome::Result::ImageNotOpened, "Could not open the image file"},
        BadFileCase{"TooLarge",
                    [](test::TempDir& d) {
                        test::writeFile(d.path("big.ITF"), std::string(kMaxImageSize + 1, 'x'));
                        return d.path("big.ITF");
                    },
                    UploadOutcome::Result::ImageTooLarge, "The file"},
        // Opens, then fails to read (EIO at offset 0).
        BadFileCase{"ReadError", [](test::TempDir&) { return std::string("/proc/self/mem"); },
                    UploadOutcome::Result::ImageReadError, ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace qvt
