#include "upload/crc16_arc.h"
#include "upload/frames.h"
#include "upload/reply_decoder.h"

#include <gtest/gtest.h>

#include <string>

namespace qvt {
namespace {

// An unstuffed reply: header for `address` with status byte `s`, then `rest`.
Bytes header(std::uint8_t address, std::uint8_t s, Bytes rest = {})
{
    Bytes b{0xAA, address, std::uint8_t(255 - address), s, std::uint8_t(255 - s)};
    b.insert(b.end(), rest.begin(), rest.end());
    return b;
}

// An unstuffed reply with status `status` and a data block holding `data`.
Bytes withData(std::uint8_t status, const Bytes& data, std::uint8_t address = 1)
{
    Bytes rest{std::uint8_t(data.size()), std::uint8_t(255 - data.size())};
    rest.insert(rest.end(), data.begin(), data.end());
    const std::uint16_t crc = crc16Arc(data);
    rest.push_back(std::uint8_t(crc & 0xFF));
    rest.push_back(std::uint8_t(crc >> 8));
    return header(address, std::uint8_t(0x80 | status), rest);
}

struct CodeCase {
    const char* name;
    Bytes reply;
    std::uint8_t code;
};

class ReplyCode : public ::testing::TestWithParam<CodeCase> {};

TEST_P(ReplyCode, FromCraftedReply)
{
    TqvtResult result;
    EXPECT_EQ(decodeReply(GetParam().reply, 1, result), GetParam().code);
}

Bytes badCrc()
{
    Bytes b = withData(0, {10, 1});
    b.back() ^= 0xFF;
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Decoder, ReplyCode,
    ::testing::Values(
        CodeCase{"Success", header(1, 0x00), 0x00},
        CodeCase{"Status3", header(1, 0x03), 0x03},
        CodeCase{"Status15", header(1, 0x0F), 0x0F},
        CodeCase{"UnusedBitsIgnored", header(1, 0x35), 0x05},
        CodeCase{"Nothing", {}, 0x10},
        CodeCase{"NotAa", {0x55, 0x01, 0xFE, 0x00, 0xFF}, 0x10},
        CodeCase{"AddressComplement", {0xAA, 0x01, 0xFD, 0x00, 0xFF}, 0x20},
        CodeCase{"StatusComplement", {0xAA, 0x01, 0xFE, 0x00, 0xFE}, 0x20},
        CodeCase{"EmptyDataBlock", header(1, 0x80, {0x00, 0xFF, 0x00, 0x00}), 0x20},
        // The length byte never arrived: it reads as 0.
        CodeCase{"DataLengthMissing", header(1, 0x80), 0x20},
        CodeCase{"OtherAddress", header(2, 0x00), 0x30},
        CodeCase{"OtherAddressBeforeComplement", {0xAA, 0x02, 0x00, 0x00, 0xFF}, 0x30},
        CodeCase{"OnlyAa", {0xAA}, 0x50},
        CodeCase{"FourBytes", {0xAA, 0x01, 0xFE, 0x00}, 0x50},
        CodeCase{"BadCrc", badCrc(), 0x60},
        // A zero-filled block would match a zero CRC; a block cut short is refused.
        CodeCase{"DataCutShort", header(1, 0x80, {0x02, 0xFD}), 0x60},
        CodeCase{"CrcCutShort", [] { Bytes b = withData(0, {10, 1}); b.pop_back(); return b; }(), 0x60},
        CodeCase{"UnknownTag", withData(0, {10, 1, 99, 0}), 0x0F},
        CodeCase{"StatusWithGoodData", withData(4, {10, 1}), 0x04},
        CodeCase{"TrailingBytesIgnored", [] { Bytes b = header(1, 0x00); b.push_back(0x77); return b; }(), 0x00}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Decoder, HeaderFieldsAndWhatStaysUntouched)
{
    TqvtResult r;
    r.Extra = 0x99;
    EXPECT_EQ(decodeReply(header(7, 0x42, {0x5A}), 7, r), 2);
    EXPECT_EQ(r.Address, 7);
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Extra, 0x5A);

    // No extra byte announced: Extra keeps its value.
    EXPECT_EQ(decodeReply(header(7, 0x01), 7, r), 1);
    EXPECT_EQ(r.Extra, 0x5A);

    // Rejected before the address was taken: Address and Status stay.
    r.Status = 0;
    EXPECT_EQ(decodeReply(Bytes{0xAA, 0x07, 0x00, 0x01, 0xFE}, 7, r), 0x20);
    EXPECT_EQ(r.Status, 0);
    // Status complement wrong: the address was taken, the status not.
    EXPECT_EQ(decodeReply(Bytes{0xAA, 0x09, 0xF6, 0x01, 0x00}, 9, r), 0x20);
    EXPECT_EQ(r.Address, 9);
    EXPECT_EQ(r.Status, 0);
}

TEST(Decoder, EveryRecordKindFillsItsFields)
{
    Bytes data{5, 0x78, 0x56, 0x34, 0x12,  // Tag5Value
               6, 0x01, 0x00, 0x00, 0x80,  // Tag6Value
               9, 0xFF, 0xFF, 0xFF, 0xFF,  // Tag9Value
               10, 0x33,                   // Tag10Byte
               11, 0x44, 0x55,             // Extra, Tag11Second
               12, 0xEE, 'a', 'b', 0,      // Text12, lead byte ignored
               14, 3, 's', '3', 0,         // Text14Sel3
               14, 1, 'o', 0,              // Text14Other
               16, 1, 2, 3, 4, 5, 6, 7, 8, // Tag16Bytes
               19, 0x34, 0x12, 0x56,       // Tag19Word, Tag19Byte
               40, 0xCD, 0xAB,             // Tag40Word
               79, 9, 9, 9, 9, 'n', 'i', 'n', 'e', 0, 'b', 'y', 't', 'e'};
    data.push_back(32);
    for (int i = 0; i < 20; ++i)
        data.push_back(i < 3 ? std::uint8_t('A' + i) : 0);
    for (int i = 0; i < 20; ++i)
        data.push_back(std::uint8_t('a' + i));
    data.insert(data.end(), {35, 3, 0xA1, 0xA2, 0xA3});
    data.insert(data.end(), {38, 0x02});
    for (int i = 0; i < 42; ++i)
        data.push_back(std::uint8_t(i));
    ASSERT_LE(data.size(), 255u);

    TqvtResult r;
    r.Tag35Bytes[3] = 0x77;
    EXPECT_EQ(decodeReply(withData(0, data), 1, r), 0);
    EXPECT_EQ(r.Tag5Value, 0x12345678u);
    EXPECT_EQ(r.Tag6Value, 0x80000001u);
    EXPECT_EQ(r.Tag9Value, 0xFFFFFFFFu);
    EXPECT_EQ(r.Tag10Byte, 0x33);
    EXPECT_TRUE(r.HasTag11);
    EXPECT_EQ(r.Extra, 0x44);
    EXPECT_EQ(r.Tag11Second, 0x55);
    EXPECT_TRUE(r.HasText12);
    EXPECT_EQ(r.Text12, "ab");
    EXPECT_TRUE(r.HasText14Sel3);
    EXPECT_EQ(r.Text14Sel3, "s3");
    EXPECT_TRUE(r.HasText14Other);
    EXPECT_EQ(r.Text14Other, "o");
    EXPECT_EQ(r.Tag16Bytes, (std::array<std::uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(r.Tag19Word, 0x1234);
    EXPECT_EQ(r.Tag19Byte, 0x56);
    EXPECT_EQ(r.Tag40Word, 0xABCD);
    EXPECT_EQ(r.Text79, std::string("nine\0byte", 9));
    EXPECT_EQ(r.Text32A, std::string("ABC") + std::string(17, '\0'));
    EXPECT_EQ(r.Text32B, "abcdefghijklmnopqrst");
    EXPECT_EQ(r.Tag35Bytes[0], 0xA1);
    EXPECT_EQ(r.Tag35Bytes[2], 0xA3);
    EXPECT_EQ(r.Tag35Bytes[3], 0x77);  // beyond the count: kept
    EXPECT_TRUE(r.Tag38Flag);
    EXPECT_EQ(r.Tag38Bytes[41], 41);
}

TEST(Decoder, EmptyTextsEmptyTheFieldAndDecodingGoesOn)
{
    TqvtResult r;
    r.Text14Other = "old";
    r.Text12 = "old";
    EXPECT_EQ(decodeReply(withData(0, {14, 7, 0, 12, 0, 0, 10, 0x42}), 1, r), 0);
    EXPECT_TRUE(r.HasText14Other);
    EXPECT_EQ(r.Text14Other, "");
    EXPECT_TRUE(r.HasText12);
    EXPECT_EQ(r.Text12, "");
    EXPECT_EQ(r.Tag10Byte, 0x42);
}

TEST(Decoder, FieldsDecodedBeforeAnUnknownTagKeepTheirValues)
{
    TqvtResult r;
    EXPECT_EQ(decodeReply(withData(0, {10, 0x42, 0xFE, 10, 0x43}), 1, r), 0x0F);
    EXPECT_EQ(r.Tag10Byte, 0x42);
}

// Records that would make the decoder read past the block or past a field.
struct MalformedCase {
    const char* name;
    Bytes data;
};

class MalformedRecord : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedRecord, StopsDecodingWith0x0F)
{
    TqvtResult r;
    r.Tag35Bytes.fill(0x11);
    r.Text12 = "kept";
    EXPECT_EQ(decodeReply(withData(0, GetParam().data), 1, r), 0x0F);
    EXPECT_EQ(r.Text12, "kept");
    EXPECT_EQ(r.Tag35Bytes[0], 0x11);
    EXPECT_EQ(r.Tag5Value, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Decoder, MalformedRecord,
    ::testing::Values(MalformedCase{"Value32CutShort", {5, 1, 2}},
                      MalformedCase{"TextWithoutZero", {12, 0, 'a', 'b'}},
                      MalformedCase{"TextLeadByteOnly", {12, 0}},
                      MalformedCase{"Tag35CountZero", {35, 0}},
                      MalformedCase{"Tag35CountAbove64", [] {
                                        Bytes d{35, 65};
                                        d.resize(2 + 65, 0x22);
                                        return d;
                                    }()},
                      MalformedCase{"Tag35CutShort", {35, 4, 1, 2}},
                      MalformedCase{"Tag32CutShort", {32, 'a', 'b'}},
                      MalformedCase{"Tag38CutShort", {38, 1, 2, 3}},
                      MalformedCase{"Tag79CutShort", {79, 0, 0, 0, 0, 'x'}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Decoder, Tag35WithTheLargestCountFillsEveryPlace)
{
    Bytes data{35, 64};
    for (int i = 0; i < 64; ++i)
        data.push_back(std::uint8_t(i + 1));
    TqvtResult r;
    EXPECT_EQ(decodeReply(withData(0, data), 1, r), 0);
    EXPECT_EQ(r.Tag35Bytes[0], 1);
    EXPECT_EQ(r.Tag35Bytes[63], 64);
}

} // namespace
} // namespace qvt
