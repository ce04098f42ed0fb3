// The image file: its layout from the builder's areas, the variables' initial
// values, the version, the timers, the label, the checksum and its limits.
#include "compile_fixture.h"

#include "compiler/compile_failure.h"
#include "compiler/image_layout.h"
#include "compiler/screen_encoding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace qvt::test {
namespace {

class ImageTest : public testing::Test {
protected:
    ImageTest() { ResetVariables(variables); }

    Bytes Layout(std::string_view label = {}, int onlineInterval = 1000, int offlineInterval = 1000)
    {
        return builder->LayoutImage(variables, label, onlineInterval, offlineInterval);
    }

    // Marks an area as holding `size` bytes of code, each byte its offset's low byte.
    static void FillCode(Area& area, int size)
    {
        area[kAreaFlagOffset] = kHoldsCode;
        area[kAreaCodeSizeOffset] = std::uint8_t(size);
        area[kAreaCodeSizeOffset + 1] = std::uint8_t(size >> 8);
        for (int i = 0; i < size; ++i)
            area[size_t(kCodeStart + i)] = std::uint8_t(i * 7 + 1);
    }

    VariableTable variables;
    std::unique_ptr<TIT> builder = std::make_unique<TIT>("proj.zmk", "V1");
};

TEST_F(ImageTest, EmptyProjectGives12270Bytes)
{
    const Bytes image = Layout();
    ASSERT_EQ(image.size(), 12270u);
    EXPECT_EQ(image[0], 0);
    EXPECT_EQ(image[1], 0);
    EXPECT_EQ(image[4], 30);
    EXPECT_EQ(image[5], 50);
    EXPECT_EQ(image[6], 20);
    EXPECT_EQ(ImageWord(image, image::kOfflineCodeOffset), 0);
    EXPECT_EQ(ImageWord(image, image::kOfflineScreensOffset), 12266);
    EXPECT_EQ(image[image::kOfflineScreenCount], 0);
    EXPECT_EQ(Image24(image, image::kOnlineScreensOffset), 12266);
    EXPECT_EQ(image[image::kOnlineScreenCount], 0);
    EXPECT_EQ(Image24(image, image::kEnd), 12266);
    EXPECT_EQ(Bytes(image.begin() + 12266, image.end()), (Bytes{0, 0, 0, 0}));
    // No timer machine: no intervals.
    EXPECT_EQ(ImageWord(image, image::kOnlineTimerTicks), 0);
    EXPECT_EQ(ImageWord(image, image::kOfflineTimerTicks), 0);
    EXPECT_TRUE(ImageChecksumValid(image));
}

TEST_F(ImageTest, NameOfTheImageFile)
{
    EXPECT_EQ(TIT("/data/stock.zmk", "").ImageFileName(), "/data/stock.ITF");
    EXPECT_EQ(TIT("noname.itf", "").ImageFileName(), "noname.ITF");
    EXPECT_EQ(TIT("ab", "").ImageFileName(), "ITF");
}

TEST_F(ImageTest, CodeBlocksFollowEachOther)
{
    FillCode(builder->onlineCode, 300);
    FillCode(builder->offlineCode, 20);
    builder->onlineCode[kStateTableOffset] = 0x11;
    builder->onlineCode[kJumpTableOffset + 1998] = 0x22;
    builder->offlineCode[kStateTableOffset] = 0x33;  // only the Online state table goes in
    builder->offlineCode[kJumpTableOffset] = 0x44;
    for (int i = 0; i < kScreenSize; ++i) {
        builder->offlineScreens[size_t(i)] = 'F';
        builder->onlineScreens[size_t(kScreenSize + i)] = 'N';
    }
    builder->offlineScreenCount = 1;
    builder->onlineScreenCount = 2;

    const Bytes image = Layout();
    const int offlineAt = 12266 + 300;
    const int offlineScreensAt = offlineAt + 20;
    const int onlineScreensAt = offlineScreensAt + 160;
    const int end = onlineScreensAt + 320;
    ASSERT_EQ(image.size(), size_t(end + 4));
    EXPECT_EQ(image[0], 0xAA);
    EXPECT_EQ(image[1], 0xAA);
    EXPECT_EQ(image[image::kOnlineStateTable], 0x11);
    EXPECT_EQ(image[image::kOnlineJumpTable + 1998], 0x22);
    EXPECT_EQ(image[image::kOfflineJumpTable], 0x44);
    EXPECT_EQ(Bytes(image.begin() + 12266, image.begin() + offlineAt), CodeOf(builder->onlineCode));
    EXPECT_EQ(Bytes(image.begin() + offlineAt, image.begin() + offlineScreensAt), CodeOf(builder->offlineCode));
    EXPECT_EQ(ImageWord(image, image::kOfflineCodeOffset), offlineAt);
    EXPECT_EQ(ImageWord(image, image::kOfflineScreensOffset), offlineScreensAt);
    EXPECT_EQ(image[image::kOfflineScreenCount], 1);
    EXPECT_EQ(Image24(image, image::kOnlineScreensOffset), onlineScreensAt);
    EXPECT_EQ(image[image::kOnlineScreenCount], 2);
    EXPECT_EQ(Image24(image, image::kEnd), end);
    EXPECT_EQ(image[size_t(offlineScreensAt)], 'F');
    EXPECT_EQ(image[size_t(onlineScreensAt)], 0);
    EXPECT_EQ(image[size_t(onlineScreensAt + 160)], 'N');
    EXPECT_TRUE(ImageChecksumValid(image));
}

TEST_F(ImageTest, OnlineOnly)
{
    FillCode(builder->onlineCode, 45);
    const Bytes image = Layout();
    EXPECT_EQ(image[0], 0xAA);
    EXPECT_EQ(image[1], 0);
    EXPECT_EQ(ImageWord(image, image::kOfflineCodeOffset), 0);
    EXPECT_EQ(ImageWord(image, image::kOfflineScreensOffset), 12266 + 45);
}

TEST_F(ImageTest, OfflineOnlyStartsWhereOnlineWouldHave)
{
    FillCode(builder->offlineCode, 45);
    builder->onlineCode[kJumpTableOffset] = 0x55;  // no code: the tables stay out
    const Bytes image = Layout();
    EXPECT_EQ(image[0], 0);
    EXPECT_EQ(image[1], 0xAA);
    EXPECT_EQ(image[image::kOnlineJumpTable], 0);
    EXPECT_EQ(ImageWord(image, image::kOfflineCodeOffset), 12266);
    EXPECT_EQ(image[12266], 1);
    EXPECT_EQ(ImageWord(image, image::kOfflineScreensOffset), 12266 + 45);
}

TEST_F(ImageTest, StringInitialValues)
{
    variables[1].initialValue = "ABCDEFGHIJKLMNOPQRSTUVWXY";  // 25 characters
    variables[2].initialValue = "abc";
    variables[30].initialValue = std::string("\xFF\x00z", 3);
    const Bytes image = Layout();
    auto value = [&](int index) {
        return std::string(image.begin() + 7 + 20 * (index - 1), image.begin() + 7 + 20 * index);
    };
    EXPECT_EQ(value(1), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(value(2), std::string("abc") + std::string(17, '\0'));
    EXPECT_EQ(value(3), std::string(20, '\0'));
    EXPECT_EQ(value(30), std::string("\xFF\x00z", 3) + std::string(17, '\0'));
}

struct InitialValueCase {
    const char* text;
    std::int32_t integer;
    float real;
};

class InitialValueTest : public ImageTest, public testing::WithParamInterface<InitialValueCase> {};

TEST_P(InitialValueTest, ConvertsOrGivesZero)
{
    const InitialValueCase& c = GetParam();
    variables[31].initialValue = c.text;
    variables[80].initialValue = c.text;
    variables[81].initialValue = c.text;
    variables[100].initialValue = c.text;
    const Bytes image = Layout();
    auto int32At = [&](int at) {
        std::int32_t v;
        std::memcpy(&v, &image[size_t(at)], 4);
        return v;
    };
    auto floatAt = [&](int at) {
        float v;
        std::memcpy(&v, &image[size_t(at)], 4);
        return v;
    };
    EXPECT_EQ(int32At(607), c.integer);
    EXPECT_EQ(int32At(607 + 49 * 4), c.integer);
    EXPECT_EQ(floatAt(807), c.real);
    EXPECT_EQ(floatAt(807 + 19 * 4), c.real);
}

INSTANTIATE_TEST_SUITE_P(Texts, InitialValueTest,
                         testing::Values(InitialValueCase{"12", 12, 12.0f},             //
                                         InitialValueCase{"  12\t", 12, 12.0f},         //
                                         InitialValueCase{"-7", -7, -7.0f},             //
                                         InitialValueCase{"+7", 7, 7.0f},               //
                                         InitialValueCase{"+-7", 0, 0.0f},              // two signs
                                         InitialValueCase{"+", 0, 0.0f},                //
                                         InitialValueCase{"2147483647", 2147483647, 2147483647.0f},
                                         InitialValueCase{"2147483648", 0, 2147483648.0f},  // beyond 32 bits
                                         InitialValueCase{"x", 0, 0.0f},                //
                                         InitialValueCase{"", 0, 0.0f},                 //
                                         InitialValueCase{"1.5", 0, 1.5f},              //
                                         InitialValueCase{"1,5", 0, 1.5f},              //
                                         InitialValueCase{" -0,25 ", 0, -0.25f},        //
                                         InitialValueCase{"1,234.5", 0, 0.0f},          // two separators
                                         InitialValueCase{"1.2.3", 0, 0.0f},            //
                                         InitialValueCase{"2e3", 0, 2000.0f},           //
                                         InitialValueCase{"inf", 0, 0.0f},              //
                                         InitialValueCase{"nan", 0, 0.0f},              //
                                         InitialValueCase{"1e39", 0, 0.0f}));           // beyond single precision

TEST_F(ImageTest, VersionPaddedWithSpaces)
{
    auto versionOf = [&](const char* version) {
        builder = std::make_unique<TIT>("p.zmk", version);
        const Bytes image = Layout();
        return std::string(image.begin() + 2604, image.begin() + 2624);
    };
    EXPECT_EQ(versionOf("V1"), "V1" + std::string(18, ' '));
    EXPECT_EQ(versionOf("0123456789ABCDEFGHIJKLMN"), "0123456789ABCDEFGHIJ");
}

struct TicksCase {
    int interval;
    int ticks;
};

class TimerTicksTest : public testing::TestWithParam<TicksCase> {};

TEST_P(TimerTicksTest, TicksOf25AtLeast4)
{
    EXPECT_EQ(TimerTicks(GetParam().interval), GetParam().ticks);
}

INSTANTIATE_TEST_SUITE_P(Intervals, TimerTicksTest,
                         testing::Values(TicksCase{1000, 40}, TicksCase{60, 4}, TicksCase{99, 4}, TicksCase{100, 4},
                                         TicksCase{125, 5}, TicksCase{149, 5}, TicksCase{0, 4}, TicksCase{-50, 4},
                                         TicksCase{1638399, 65535}));

TEST_F(ImageTest, TimerIntervalsOnlyForTimerMachinesThatExist)
{
    builder->onlineTimerBase = 12;
    Bytes image = Layout({}, 1000, 60);
    EXPECT_EQ(ImageWord(image, image::kOnlineTimerTicks), 40);
    EXPECT_EQ(ImageWord(image, image::kOnlineTimerBase), 12);
    EXPECT_EQ(ImageWord(image, image::kOfflineTimerTicks), 0);
    EXPECT_EQ(ImageWord(image, image::kOfflineTimerBase), 0);

    builder->onlineTimerBase = 0;
    builder->offlineTimerBase = 3;
    image = Layout({}, 1000, 60);
    EXPECT_EQ(ImageWord(image, image::kOnlineTimerTicks), 0);
    EXPECT_EQ(ImageWord(image, image::kOfflineTimerTicks), 4);
    EXPECT_EQ(ImageWord(image, image::kOfflineTimerBase), 3);
}

TEST_F(ImageTest, TimerIntervalTooLongForItsField)
{
    builder->offlineTimerBase = 1;
    try {
        Layout({}, 1000, 1638400);
        FAIL() << "ticks stored modulo 65536";
    } catch (const CompileFailure& failure) {
        EXPECT_EQ(failure.describe(),
                  "Offline/Timer: timer interval 1638400 is too long for the image (at most 1638399)");
    }
    // The interval of an absent timer machine is not looked at.
    EXPECT_NO_THROW(Layout({}, 1638400, 1000));
}

TEST_F(ImageTest, LabelDataCopiedUnchanged)
{
    std::string label;
    for (int i = 0; i < 5120; ++i)
        label.push_back(char(i % 256));
    const Bytes image = Layout(label);
    EXPECT_EQ(std::string(image.begin() + 2634, image.begin() + 7754), label);
    EXPECT_EQ(image.size(), 12270u);
    EXPECT_THROW(Layout(label + "x"), CompileFailure);
}

TEST_F(ImageTest, ChecksumCoversEveryByteFromOffset4)
{
    FillCode(builder->onlineCode, 100);
    Bytes image = Layout();
    const std::uint16_t sum = ImageChecksum(image);
    EXPECT_EQ(ImageWord(image, 2), sum);

    for (size_t at : {size_t(4), size_t(2604), image.size() - 1}) {
        Bytes changed = image;
        ++changed[at];
        EXPECT_NE(ImageChecksum(changed), sum) << at;
        EXPECT_FALSE(ImageChecksumValid(changed)) << at;
    }
    for (size_t at : {size_t(0), size_t(1)}) {
        Bytes changed = image;
        changed[at] ^= 0xFF;
        EXPECT_EQ(ImageChecksum(changed), sum) << at;
    }
}

TEST_F(ImageTest, ChecksumWrapsAt16Bits)
{
    Bytes bytes(12270, 0);
    for (size_t i = 4; i < 4 + 300; ++i)
        bytes[i] = 0xFF;  // 76500 = 65536 + 10964
    EXPECT_EQ(ImageChecksum(bytes), 10964);
}

TEST_F(ImageTest, ScreenCountMustFitOneByte)
{
    builder->onlineScreenCount = 256;
    EXPECT_THROW(Layout(), CompileFailure);
    builder->onlineScreenCount = 255;
    EXPECT_NO_THROW(Layout());
}

TEST_F(ImageTest, OfflineScreensBeyond16BitsAreRefused)
{
    // 53269 bytes of code put the Offline screens at 65535, the last offset
    // the field holds; one more byte and it would wrap around.
    FillCode(builder->onlineCode, 37460);
    FillCode(builder->offlineCode, 53269 - 37460);
    EXPECT_EQ(ImageWord(Layout(), image::kOfflineScreensOffset), 65535);
    FillCode(builder->offlineCode, 53270 - 37460);
    try {
        Layout();
        FAIL() << "offset stored modulo 65536";
    } catch (const CompileFailure& failure) {
        EXPECT_EQ(failure.describe(),
                  "Online and Offline code together take 53270 bytes; the Offline screens would start at offset "
                  "65536, beyond the image's 16-bit limit of 65535 (at most 53269 bytes of code)");
    }
}

TEST_F(ImageTest, ImageLargerThanTheBufferIsRefused)
{
    // 65535 + 255 x 160 x 2 bytes would not fit in the 122880 bytes.
    FillCode(builder->onlineCode, 37460);
    FillCode(builder->offlineCode, 53269 - 37460);
    builder->offlineScreenCount = 255;
    builder->onlineScreenCount = 100;
    EXPECT_EQ(Layout().size(), size_t(65535 + 355 * 160 + 4));
    builder->onlineScreenCount = 255;
    EXPECT_THROW(Layout(), CompileFailure);
}

} // namespace
} // namespace qvt::test
