#include "upload/frames.h"
#include "upload/simulated_terminal.h"

#include <gtest/gtest.h>

namespace qvt {
namespace {

// The simulator must read exactly what a terminal reads, or the uploads our
// tests run against it prove nothing.

Bytes request(std::uint8_t address, Bytes payload)
{
    return stuffFrame(buildRequestFrame(address, payload));
}

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

TEST(SimulatedTerminal, AnswersFramesFedByteByByte)
{
    SimulatedTerminal t({.address = 85});
    const Bytes wire = request(85, {0x7B, 0x00, 0x45, 0x00, 0x00, 0xAA, 0xAA, 0x01});
    std::vector<Bytes> replies;
    for (std::uint8_t b : wire) {
        auto r = t.receive(std::span(&b, 1));
        replies.insert(replies.end(), r.begin(), r.end());
    }
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0], (Bytes{0xAA, 0x55, 0xAA, 0xAA, 0x00, 0xFF}));
    EXPECT_EQ(t.receivedImage(), (Bytes{0xAA, 0xAA, 0x01}));
    EXPECT_EQ(t.badFrames(), 0u);
}

TEST(SimulatedTerminal, IgnoresWhatIsNotARequestForIt)
{
    SimulatedTerminal t({.address = 1});
    Bytes badCrc = request(1, {0x09});
    badCrc.back() ^= 0x01;
    Bytes badComplement = request(1, {0x09});
    badComplement[2] ^= 0x01;
    const auto replies = t.receive(join({{0x00, 0x13}, badCrc, request(2, {0x09}), badComplement,
                                         request(1, {0x06})}));
    // Only the closing command to address 1 is answered.
    ASSERT_EQ(replies.size(), 1u);
    ASSERT_EQ(t.requests().size(), 1u);
    EXPECT_EQ(t.requests()[0].payload, Bytes{0x06});
    EXPECT_GE(t.badFrames(), 3u);
}

TEST(SimulatedTerminal, EraseStartsANewImageAndRejectionCountsFromIt)
{
    SimulatedTerminal t({.address = 1, .rejectBlock = 2});
    const auto write = [&](std::uint32_t at) {
        Bytes p{0x7B, std::uint8_t(at), std::uint8_t(at >> 8), 0, 0};
        p.resize(5 + 64, std::uint8_t(at >> 6));
        return t.receive(request(1, p)).at(0)[3];
    };
    for (int round = 0; round < 2; ++round) {
        t.receive(request(1, {0x8B, 138, 0, 139, 0}));
        EXPECT_EQ(write(0x4500), 0);
        EXPECT_EQ(write(0x4540), 1);  // rejected
        EXPECT_EQ(write(0x4580), 0);
    }
    // The rejected block was not stored.
    const Bytes image = t.receivedImage();
    ASSERT_EQ(image.size(), 192u);
    EXPECT_EQ(image[64], 0xFF);
    EXPECT_EQ(image[128], 0x4580 >> 6 & 0xFF);
}

} // namespace
} // namespace qvt
