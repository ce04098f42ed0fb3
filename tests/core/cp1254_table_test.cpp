#include "core/cp1254.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>

using qvt::fromCp1254;
using qvt::toCp1254;

namespace {

// The C library's own Windows-1254 table, as a second opinion: the character
// of one byte, or nullopt for a byte the code page leaves unassigned.
std::optional<char16_t> LibraryCharacterOf(unsigned char byte)
{
    iconv_t cd = iconv_open("UTF-16LE", "CP1254");
    if (cd == iconv_t(-1))
        return std::nullopt;
    char in = char(byte);
    char out[4] = {};
    char* inPtr = &in;
    char* outPtr = out;
    size_t inLeft = 1;
    size_t outLeft = sizeof out;
    const size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == size_t(-1) || outLeft != 2)
        return std::nullopt;
    return char16_t(static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8);
}

} // namespace

TEST(Cp1254, EveryByteReadsAsItsCharacterAndWritesBackUnchanged)
{
    const iconv_t probe = iconv_open("UTF-16LE", "CP1254");
    ASSERT_NE(probe, iconv_t(-1)) << "the C library has no CP1254 table";
    iconv_close(probe);
    const unsigned char unassigned[] = {0x81, 0x8D, 0x8E, 0x8F, 0x90, 0x9D, 0x9E};
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, char(b));
        const QString text = fromCp1254(byte);
        ASSERT_EQ(text.size(), 1) << "byte " << b;
        const std::optional<char16_t> expected = LibraryCharacterOf(static_cast<unsigned char>(b));
        if (std::find(std::begin(unassigned), std::end(unassigned), b) != std::end(unassigned)) {
            EXPECT_FALSE(expected.has_value()) << "byte " << b << " has a character after all";
            EXPECT_EQ(text[0].unicode(), char16_t(b)) << "unassigned byte " << b << " keeps its C1 control";
        } else {
            ASSERT_TRUE(expected.has_value()) << "byte " << b;
            EXPECT_EQ(text[0].unicode(), *expected) << "byte " << b;
        }
        EXPECT_EQ(toCp1254(text), byte) << "byte " << b;
    }
}

TEST(Cp1254, TheTurkishLettersAndTheEuroSign)
{
    const struct {
        unsigned char byte;
        char16_t character;
    } cases[] = {
        {0xD0, u'Ğ'}, {0xF0, u'ğ'}, {0xDD, u'İ'}, {0xFD, u'ı'}, {0xDE, u'Ş'}, {0xFE, u'ş'}, {0xC7, u'Ç'},
        {0xE7, u'ç'}, {0xD6, u'Ö'}, {0xF6, u'ö'}, {0xDC, u'Ü'}, {0xFC, u'ü'}, {0x80, u'€'}, {0xB2, u'²'},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fromCp1254(std::string(1, char(c.byte))), QString(QChar(c.character))) << int(c.byte);
        EXPECT_EQ(toCp1254(QString(QChar(c.character))), std::string(1, char(c.byte))) << int(c.byte);
    }
}

TEST(Cp1254, CharactersOfTheFirstPlaneOutsideTheCodePageBecomeQuestionMarks)
{
    const struct {
        const char* what;
        QString text;
        std::string bytes;
    } cases[] = {
        {"Latin-1 letter whose byte holds another letter here", QStringLiteral("\u00D0"), "?"},
        {"Latin-1 letter whose byte holds another letter here", QStringLiteral("\u00FD"), "?"},
        {"C1 control whose byte holds the euro sign", QString(QChar(char16_t(0x80))), "?"},
        {"Latin Extended-A", QStringLiteral("\u0100"), "?"},
        {"CJK", QStringLiteral("a\u4E2Db"), "a?b"},
        {"replacement character", QStringLiteral("\uFFFD"), "?"},
        {"lone high surrogate", QString(QChar(char16_t(0xD83D))) + u'z', "?z"},
        {"lone low surrogate", QString(QChar(char16_t(0xDE00))), "?"},
        {"a question mark itself", QStringLiteral("?"), "?"},
        {"NUL stays NUL", QString(QChar(char16_t(0))), std::string(1, '\0')},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toCp1254(c.text), c.bytes) << c.what;
}
