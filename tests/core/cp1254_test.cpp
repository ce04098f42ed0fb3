#include "core/cp1254.h"

#include <gtest/gtest.h>

using namespace qvt;

TEST(Cp1254, EveryByteGoesThroughUnchanged)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(char(b));
    const QString shown = fromCp1254(all);
    EXPECT_TRUE(FitsCp1254(shown));
    EXPECT_TRUE(CharactersOutsideCp1254(shown).isEmpty());
    EXPECT_EQ(toCp1254(shown), all);
}

TEST(Cp1254, TextsOutsideTheCodePageAreFoundNotStoredAsQuestionMarks)
{
    struct Case {
        const char* name;
        QString text;
        bool fits;
        QString outside;  // each refused character once, in order
    };
    const Case cases[] = {
        {"Empty", "", true, ""},
        {"Turkish", QString::fromUtf8("Sürüm ğışçöİŞĞ €"), true, ""},
        {"QuestionMarkItself", "V2?", true, ""},
        {"Greek", QString::fromUtf8("V2 Ω"), false, QString::fromUtf8("Ω")},
        {"RepeatedAndMixed", QString::fromUtf8("ЖaЖbΩ"), false, QString::fromUtf8("ЖΩ")},
        // A character beyond the first plane is one character of two units.
        {"Emoji", QString::fromUtf8("ok 😀😀"), false, QString::fromUtf8("😀")},
        {"LoneSurrogate", QString(QChar(0xD800)), false, QString(QChar(0xD800))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FitsCp1254(c.text), c.fits);
        EXPECT_EQ(CharactersOutsideCp1254(c.text), c.outside);
        // What fits comes back from the bytes unchanged.
        if (c.fits) {
            EXPECT_EQ(fromCp1254(toCp1254(c.text)), c.text);
        }
    }
}
