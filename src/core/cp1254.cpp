#include "core/cp1254.h"

#include <array>

namespace qvt {

namespace {

// 0x80..0xFF; 0 marks an unassigned byte, kept as the C1 control of the same value.
constexpr std::array<char16_t, 128> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0,      0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0,      0x0178,
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7, 0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,
    0x011E, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7, 0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x0130, 0x015E, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,
    0x011F, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7, 0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x0131, 0x015F, 0x00FF,
};

char16_t decode(unsigned char b)
{
    if (b < 0x80)
        return b;
    char16_t c = kHigh[b - 0x80];
    return c ? c : char16_t(b);
}

// Byte of each UTF-16 unit; 0 where the code page has none (and for U+0000,
// which is byte 0).
const std::array<unsigned char, 65536>& reverseTable()
{
    static const std::array<unsigned char, 65536>* reverse = [] {
        auto* table = new std::array<unsigned char, 65536>{};
        for (int b = 1; b < 256; ++b)
            (*table)[decode(static_cast<unsigned char>(b))] = static_cast<unsigned char>(b);
        return table;
    }();
    return *reverse;
}

bool fits(char16_t u)
{
    return u == 0 || reverseTable()[u] != 0;
}

} // namespace

QString fromCp1254(std::string_view bytes)
{
    QString out;
    out.reserve(qsizetype(bytes.size()));
    for (unsigned char b : bytes)
        out.append(QChar(decode(b)));
    return out;
}

std::string toCp1254(const QString& text)
{
    const auto& reverse = reverseTable();
    std::string out;
    out.reserve(size_t(text.size()));
    for (QChar c : text) {
        char16_t u = c.unicode();
        out.push_back(char(fits(u) ? reverse[u] : '?'));
    }
    return out;
}

bool FitsCp1254(const QString& text)
{
    for (QChar c : text)
        if (!fits(c.unicode()))
            return false;
    return true;
}

QString CharactersOutsideCp1254(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (fits(text[i].unicode()))
            continue;
        // A character beyond the first plane is two units; keep them together.
        qsizetype length = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            length = 2;
        const QStringView character = QStringView(text).mid(i, length);
        if (!out.contains(character))
            out.append(character);
        i += length - 1;
    }
    return out;
}

} // namespace qvt
