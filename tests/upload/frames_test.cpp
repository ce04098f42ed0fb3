#include "upload/crc16_arc.h"
#include "upload/frames.h"
#include "upload/simulated_terminal.h"
#include "upload/upload_protocol.h"

#include "fake_line.h"

#include <gtest/gtest.h>

#include <string_view>

namespace qvt {
namespace {

Bytes bytesOf(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

TEST(Crc16Arc, CheckValueAndEdges)
{
    EXPECT_EQ(crc16Arc(bytesOf("123456789")), 0xBB3D);
    EXPECT_EQ(crc16Arc({}), 0x0000);
    const Bytes reset{0x09};
    EXPECT_EQ(crc16Arc(reset), 0x06C0);
}

// The frames a command puts on the wire, as sent through the protocol.
struct WireCase {
    const char* name;
    std::uint8_t address;
    std::function<void(UploadProtocol&, std::uint8_t)> send;
    Bytes wire;
};

class CommandWire : public ::testing::TestWithParam<WireCase> {};

TEST_P(CommandWire, GoesOutByteForByte)
{
    const WireCase& c = GetParam();
    test::FakeClock clock;
    test::FakeLine line(clock);
    UploadState state;
    UploadProtocol protocol(line, clock, state);
    c.send(protocol, c.address);
    ASSERT_EQ(line.writes.size(), 1u);
    EXPECT_EQ(line.writes[0], c.wire);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, CommandWire,
    ::testing::Values(
        WireCase{"Reset", 1, [](UploadProtocol& p, std::uint8_t a) { p.SendReset(a); },
                 {0xAA, 0x01, 0xFE, 0x01, 0xFE, 0x09, 0xC0, 0x06}},
        WireCase{"Command06", 1, [](UploadProtocol& p, std::uint8_t a) { p.SendCommand06(a); },
                 {0xAA, 0x01, 0xFE, 0x01, 0xFE, 0x06, 0x80, 0x02}},
        WireCase{"Erase138to154", 1, [](UploadProtocol& p, std::uint8_t a) { p.EraseFlashPages(a, 138, 154); },
                 {0xAA, 0x01, 0xFE, 0x05, 0xFA, 0x8B, 0x8A, 0x00, 0x9A, 0x00, 0xE4, 0xA7}},
        // 255 - 85 = 0xAA: the complement is doubled.
        WireCase{"ResetAddress85", 85, [](UploadProtocol& p, std::uint8_t a) { p.SendReset(a); },
                 {0xAA, 0x55, 0xAA, 0xAA, 0x01, 0xFE, 0x09, 0xC0, 0x06}},
        // Address 0xAA itself is doubled too.
        WireCase{"ResetAddress170", 170, [](UploadProtocol& p, std::uint8_t a) { p.SendReset(a); },
                 {0xAA, 0xAA, 0xAA, 0x55, 0x01, 0xFE, 0x09, 0xC0, 0x06}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Frames, WriteBlockStuffsDataButChecksumsThePlainPayload)
{
    test::FakeClock clock;
    test::FakeLine line(clock);
    UploadState state;
    UploadProtocol protocol(line, clock, state);
    Bytes block(64, 0x11);
    block[0] = 0xAA;
    block[63] = 0xAA;
    protocol.WriteFlashBlock(1, 0x4500, block);
    ASSERT_EQ(line.writes.size(), 1u);
    const Bytes& wire = line.writes[0];

    Bytes payload{0x7B, 0x00, 0x45, 0x00, 0x00};
    payload.insert(payload.end(), block.begin(), block.end());
    const Bytes frame = buildRequestFrame(1, payload);
    ASSERT_EQ(frame.size(), 7u + 69u);
    EXPECT_EQ(frame[3], 69);
    EXPECT_EQ(frame[4], 255 - 69);
    const std::uint16_t crc = crc16Arc(payload);
    EXPECT_EQ(frame[74], crc & 0xFF);
    EXPECT_EQ(frame[75], crc >> 8);
    EXPECT_EQ(wire, stuffFrame(frame));
    EXPECT_EQ(wire.size(), frame.size() + 2);
    EXPECT_EQ(unstuffFrame(wire), frame);
}

TEST(Frames, PayloadLengthLimits)
{
    EXPECT_THROW(buildRequestFrame(1, {}), std::invalid_argument);
    const Bytes tooLong(256, 0);
    EXPECT_THROW(buildRequestFrame(1, tooLong), std::invalid_argument);
    const Bytes longest(255, 0xAA);
    const Bytes frame = buildRequestFrame(1, longest);
    EXPECT_EQ(frame.size(), 262u);
    EXPECT_EQ(unstuffFrame(stuffFrame(frame)), frame);

    test::FakeClock clock;
    test::FakeLine line(clock);
    UploadState state;
    UploadProtocol protocol(line, clock, state);
    const Bytes block(65, 0);
    EXPECT_THROW(protocol.WriteFlashBlock(1, 0, block), std::invalid_argument);
}

TEST(Frames, UnstuffSkipsTheByteAfterEachLaterAaWithoutLookingAtIt)
{
    // The partner of a doubled byte is dropped whatever it holds.
    EXPECT_EQ(unstuffFrame(Bytes{0xAA, 0x01, 0xAA, 0x00, 0x02}), (Bytes{0xAA, 0x01, 0xAA, 0x02}));
    EXPECT_EQ(unstuffFrame(Bytes{0xAA, 0xAA, 0xAA}), (Bytes{0xAA, 0xAA}));
    EXPECT_EQ(unstuffFrame(Bytes{0xAA, 0x05, 0xAA}), (Bytes{0xAA, 0x05, 0xAA}));
    EXPECT_EQ(unstuffFrame(Bytes{}), Bytes{});
}

// completeReplyLength decides when the fast mode may stop waiting.
struct CompleteCase {
    const char* name;
    Bytes raw;
    std::size_t expected;
};

class CompleteReply : public ::testing::TestWithParam<CompleteCase> {};

TEST_P(CompleteReply, Length)
{
    EXPECT_EQ(completeReplyLength(GetParam().raw, 1), GetParam().expected);
}

Bytes replyWithData(std::uint8_t address, Bytes data, bool extra = false)
{
    SimulatedTerminal::Options options;
    options.address = address;
    SimulatedTerminal terminal(options);
    return extra ? terminal.makeReply(0, 7, data) : terminal.makeReply(0, std::nullopt, data);
}

Bytes withTail(Bytes bytes, Bytes tail)
{
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
}

Bytes truncated(Bytes bytes, std::size_t drop)
{
    bytes.resize(bytes.size() - drop);
    return bytes;
}

// Data whose CRC-16/ARC has 0xAA as its high byte, so the frame ends in AA AA.
Bytes dataWithAaCrc()
{
    for (unsigned v = 0; v < 65536; ++v) {
        if ((v & 0xFF) == 0xAA || (v >> 8) == 0xAA)
            continue;
        Bytes data{10, std::uint8_t(v & 0xFF), 10, std::uint8_t(v >> 8)};
        if ((crc16Arc(data) >> 8) == 0xAA)
            return data;
    }
    return {};
}

INSTANTIATE_TEST_SUITE_P(
    Frames, CompleteReply,
    ::testing::Values(
        CompleteCase{"Empty", {}, 0},
        CompleteCase{"StatusOnly", {0xAA, 0x01, 0xFE, 0x00, 0xFF}, 5},
        CompleteCase{"StatusOnlyWithTrailingNoise", {0xAA, 0x01, 0xFE, 0x03, 0xFC, 0x42}, 5},
        CompleteCase{"HeaderCutShort", {0xAA, 0x01, 0xFE, 0x00}, 0},
        CompleteCase{"OtherAddress", {0xAA, 0x02, 0xFD, 0x00, 0xFF}, 0},
        CompleteCase{"BadStatusComplement", {0xAA, 0x01, 0xFE, 0x00, 0xFE}, 0},
        CompleteCase{"NoiseFirst", {0x00, 0xAA, 0x01, 0xFE, 0x00, 0xFF}, 0},
        CompleteCase{"ExtraByteMissing", {0xAA, 0x01, 0xFE, 0x40, 0xBF}, 0},
        CompleteCase{"ExtraByte", {0xAA, 0x01, 0xFE, 0x40, 0xBF, 0x07}, 6},
        CompleteCase{"DataBlock", replyWithData(1, {10, 5}), 11},
        CompleteCase{"DataBlockWithExtra", replyWithData(1, {10, 5}, true), 12},
        CompleteCase{"DataBlockCrcMissing", truncated(replyWithData(1, {10, 5}), 1), 0},
        CompleteCase{"DataBlockBadCrc", withTail(truncated(replyWithData(1, {10, 5}), 1), {0x00}), 0},
        CompleteCase{"EmptyDataBlock", {0xAA, 0x01, 0xFE, 0x80, 0x7F, 0x00, 0xFF, 0x00, 0x00}, 0},
        // A trailing AA of the frame is complete only with its doubled partner.
        CompleteCase{"CrcEndsInAaPartnerMissing", truncated(replyWithData(1, dataWithAaCrc()), 1), 0},
        CompleteCase{"CrcEndsInAa", replyWithData(1, dataWithAaCrc()), 14}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Frames, CompleteReplyFromAddress85CountsTheDoubledComplement)
{
    const Bytes raw{0xAA, 0x55, 0xAA, 0xAA, 0x00, 0xFF};
    EXPECT_EQ(completeReplyLength(raw, 85), 6u);
    EXPECT_EQ(completeReplyLength(std::span(raw).first(3), 85), 0u);
}

} // namespace
} // namespace qvt
