#include "label/argox_stream.h"

#include <array>

namespace qvt {

namespace {

struct SizeRow {
    std::string_view name;
    int code;
    int dimA;
    int dimB;
};

// Extents in printer dots of the label sizes the printer is set up for; code 1
// is not used.
constexpr SizeRow kSizes[] = {
    {"Et30x60", 0, 110, 220},   {"Et60x60", 2, 220, 220},    {"Et50x50", 3, 180, 180},
    {"Et60x100", 4, 220, 365},  {"Et60x140", 5, 220, 510},   {"Et45x85", 6, 165, 310},
    {"Et50x35", 7, 175, 120},   {"Et80x100", 8, 292, 365},   {"Et125x100", 9, 455, 365},
    {"Et100x125", 10, 365, 455}, {"Et85x120", 11, 310, 435}, {"Et40x20", 12, 140, 70},
};

constexpr int kFontCount = 401;
using FontCode = std::array<char, 6>;

// Fonts 0..5 are fixed; from 11 on the number names the font: tens (1..8,
// 11..18, 21..28, 31..38) are the last two digits, units 1..4 pick the width
// and height multipliers at size 3, 6..9 the same multipliers at size 5.
constexpr std::array<FontCode, kFontCount> makeFontTable()
{
    std::array<FontCode, kFontCount> table{};
    auto put = [&](int n, const char* code) {
        for (int i = 0; i < 6; ++i)
            table[n][i] = code[i];
    };
    put(0, "911102");
    put(1, "912103");
    put(2, "923103");
    put(3, "911101");
    put(4, "912101");
    put(5, "922101");
    for (int t = 1; t <= 38; ++t) {
        if (t % 10 == 0 || t % 10 == 9)
            continue;
        for (int u : {1, 2, 3, 4, 6, 7, 8, 9}) {
            int m = u > 5 ? u - 5 : u;
            char width = (m == 2 || m == 4) ? '2' : '1';
            char height = (m == 3 || m == 4) ? '2' : '1';
            char size = u > 5 ? '5' : '3';
            FontCode& c = table[10 * t + u];
            c = {'9', width, height, size, char('0' + t / 10), char('0' + t % 10)};
        }
    }
    put(391, "911411");
    return table;
}

constexpr std::array<FontCode, kFontCount> kFonts = makeFontTable();

constexpr char STX = 0x02;
constexpr char CR = 0x0D;

} // namespace

int SizeCodeOf(std::string_view labelType)
{
    for (const SizeRow& r : kSizes)
        if (r.name == labelType)
            return r.code;
    return 0;
}

std::string_view FontCodeOf(int fontNo, bool* known)
{
    bool inRange = fontNo >= 0 && fontNo < kFontCount;
    if (known)
        *known = inRange;
    if (!inRange || kFonts[fontNo][0] == 0)
        return {};
    return {kFonts[fontNo].data(), 6};
}

std::string numberField(int64_t value, int width)
{
    std::string s = std::to_string(value);
    if (int(s.size()) < width)
        s.insert(0, size_t(width) - s.size(), '0');
    return s;
}

void TArgox::BeginLabel(int sizeCode, int barcodeFlag, int rotation)
{
    const SizeRow* size = &kSizes[0];
    for (const SizeRow& r : kSizes)
        if (r.code == sizeCode)
            size = &r;
    DimA = size->dimA;
    DimB = size->dimB;
    BarcodeSpec = barcodeFlag == 1 ? "d00049" : "a00048";
    barcodeType_ = BarcodeSpec.substr(0, 3);
    Rotation = rotation;

    Stream.clear();
    using namespace std::string_view_literals;
    for (std::string_view command : {"e"sv, "O0220"sv, "f275"sv, "KI7\0"sv, "V0"sv, "L"sv}) {
        Stream += STX;
        Stream += command;
        Stream += CR;
    }
    Stream += "H09\rPC\rD11\r";
}

bool TArgox::AddText(int fontNo, int64_t row, int64_t column, std::string_view text)
{
    bool known = false;
    std::string_view font = FontCodeOf(fontNo, &known);
    if (!known)
        return false;
    AddRecord(font, row, column, text);
    return true;
}

void TArgox::AddBarcode(int64_t row, int64_t column, std::string_view data, int64_t barHeight)
{
    // The type stays in front whatever the previous bar height was, even one
    // that needed more than three digits.
    BarcodeSpec = barcodeType_ + numberField(barHeight, 3);
    AddRecord(BarcodeSpec, row, column, data);
}

void TArgox::AddRecord(std::string_view spec, int64_t row, int64_t column, std::string_view data)
{
    if (Rotation == 2) {
        int64_t turned = DimB - column;
        column = row;
        row = turned;
    }
    Stream += char('0' + Rotation % 10);
    Stream += spec;
    Stream += numberField(row, 4);
    Stream += numberField(column, 4);
    Stream += data;
    Stream += CR;
}

void TArgox::AddLine(int64_t row, int64_t column, int64_t length, int64_t height)
{
    if (Rotation == 2) {
        int64_t turned = DimB - column - length;
        column = row;
        row = turned;
        std::swap(length, height);
    }
    Stream += char('0' + Rotation % 10);
    Stream += "X11000";
    Stream += numberField(row, 4);
    Stream += numberField(column, 4);
    Stream += 'L';
    Stream += numberField(length, 3);
    Stream += numberField(height, 3);
    Stream += CR;
}

const std::string& TArgox::FinishLabel(int quantity)
{
    Stream += "^01\rQ";
    Stream += numberField(quantity, 4);
    Stream += "\r:0001\rE\r";
    return Stream;
}

} // namespace qvt
