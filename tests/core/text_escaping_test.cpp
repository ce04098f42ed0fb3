#include "core/text_escaping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>

using namespace qvt;

namespace {

std::string AllBytesBut(std::initializer_list<unsigned char> left_out)
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        if (std::find(left_out.begin(), left_out.end(), b) == left_out.end())
            bytes.push_back(char(b));
    return bytes;
}

} // namespace

TEST(TextEscaping, StoredTextsHoldNoLineBreakAndComeBackWhole)
{
    const std::string lf(1, kStoredLineFeed);
    const std::string cr(1, kStoredCarriageReturn);
    const std::string bs(1, kStoredBackslash);
    const std::string controls("a\0\t\x1b", 4);
    const struct {
        const char* what;
        Backslashes backslashes;
        std::string text;
        std::string stored;
    } cases[] = {
        {"empty", Backslashes::Stored, "", ""},
        {"plain", Backslashes::Stored, "STOCK 12", "STOCK 12"},
        {"CR LF", Backslashes::Stored, "a\r\nb", "a" + cr + lf + "b"},
        {"LF alone, CR alone", Backslashes::Stored, "\n\r\n\r", lf + cr + lf + cr},
        {"backslash stored", Backslashes::Stored, "C:\\x\\", "C:" + bs + "x" + bs},
        {"backslash kept", Backslashes::Kept, "C:\\x\\", "C:\\x\\"},
        {"NUL and other controls pass", Backslashes::Stored, controls, controls},
        {"line breaks with backslashes kept", Backslashes::Kept, "1\\\r\n2", "1\\" + cr + lf + "2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string stored = StoreText(c.text, c.backslashes);
        EXPECT_EQ(stored, c.stored);
        EXPECT_EQ(RestoreText(stored, c.backslashes), c.text);
    }
}

TEST(TextEscaping, EveryByteButTheMarkersSurvivesARoundTrip)
{
    const struct {
        Backslashes backslashes;
        std::string text;
        std::string forbidden; // bytes a stored text never holds
    } cases[] = {
        {Backslashes::Stored, AllBytesBut({248, 249, 255}), "\r\n\\"},
        {Backslashes::Kept, AllBytesBut({248, 249}), "\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.backslashes == Backslashes::Stored ? "backslashes stored" : "backslashes kept");
        const std::string stored = StoreText(c.text, c.backslashes);
        ASSERT_EQ(stored.size(), c.text.size());
        EXPECT_EQ(stored.find_first_of(c.forbidden), std::string::npos);
        EXPECT_EQ(RestoreText(stored, c.backslashes), c.text);
    }
}

TEST(TextEscaping, TheMarkerBytesOfAnOriginalTextReadBackAsWhatTheyMark)
{
    // Documented loss: a text that held the marker bytes themselves cannot be
    // told from one that held line breaks.
    const std::string markers{kStoredLineFeed, kStoredCarriageReturn, kStoredBackslash};
    EXPECT_EQ(RestoreText(StoreText(markers)), "\n\r\\");
    EXPECT_EQ(RestoreText(StoreText(markers, Backslashes::Kept), Backslashes::Kept),
              std::string("\n\r") + kStoredBackslash);
}
