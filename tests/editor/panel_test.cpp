#include "editor/property_rows.h"
#include "editor/screen_fields.h"
#include "model/item_kinds.h"

#include <gtest/gtest.h>

#include <map>

using namespace qvt;

namespace {

using enum PanelRow;

std::string Rows(std::int32_t kind)
{
    static const std::map<PanelRow, const char*> names = {
        {StateNumber, "State"},  {Target, "Target"},       {Operation, "Operation"},     {Source, "Source"},
        {Source2, "Source2"},    {Start, "Start"},         {ConsStart, "ConsStart"},     {End, "End"},
        {ConsEnd, "ConsEnd"},    {ConstInteger, "ConstInt"}, {ConstString, "ConstStr"},  {Position, "Position"},
        {InputType, "InputType"}, {InputLength, "InputLength"}, {InputPos, "InputPos"}, {InputInit, "InputInit"},
        {Screen, "Screen"},
    };
    std::string out;
    for (const PanelRowOf& row : PanelRows(kind)) {
        if (!out.empty())
            out += ' ';
        out += names.at(row.row);
    }
    return out;
}

TEST(PanelRowsTest, EveryKindShowsItsRowsInPanelOrder)
{
    struct Case {
        std::int32_t kind;
        const char* rows;
    };
    const Case cases[] = {
        {KindInput, "State Target InputType InputLength InputPos InputInit Screen"},
        {KindReadKey, "State Screen"},
        {KindSync, "State Source"},
        {KindGetSequence, "Target"},
        {KindSecOfCentury, "Target"},
        {KindGetDate, "Target"},
        {KindGetTime, "Target"},
        {KindWriteToFlash, "Source Source2 ConstInt"},
        {KindWdt, "Target Source Source2"},
        {KindStrCopy, "Target Source Start ConsStart End ConsEnd ConstStr"},
        {KindStrCat, "Target Source Start ConsStart End ConsEnd ConstStr"},
        {KindStrLen, "Target Source"},
        {KindStrPos, "Target Source ConstStr Position"},
        {KindStrCmp, "Target Source ConstStr"},
        {KindProcess, "Target Operation Source ConstInt"},
        {KindNumCmp, "Target Source ConstInt"},
        {KindTmrReturn, ""},
        {99, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Rows(c.kind), c.rows) << ToolCaption(c.kind);

    // Input Pos. carries three fields; Wdt's variable rows have captions of their own.
    const auto input = PanelRows(KindInput);
    ASSERT_TRUE(FindPanelRow(input, InputPos));
    EXPECT_EQ(FindPanelRow(input, InputPos)->fields.size(), 3u);
    EXPECT_EQ(FindPanelRow(input, InputPos)->caption, "Input Pos.");
    const auto wdt = PanelRows(KindWdt);
    EXPECT_EQ(FindPanelRow(wdt, Target)->caption, "Flag");
    EXPECT_EQ(FindPanelRow(wdt, Source)->caption, "Initial Time");
    EXPECT_EQ(FindPanelRow(wdt, Source2)->caption, "Increment");
    EXPECT_EQ(FindPanelRow(wdt, Target)->fields.front()->name, "flag");
    EXPECT_EQ(FindPanelRow(PanelRows(KindNumCmp), Source)->caption, "Source");
}

// The index sets as ranges "a-b" joined by ",".
std::string Ranges(const std::vector<int>& indexes)
{
    std::string out;
    for (std::size_t i = 0; i < indexes.size();) {
        std::size_t j = i;
        while (j + 1 < indexes.size() && indexes[j + 1] == indexes[j] + 1)
            ++j;
        if (!out.empty())
            out += ',';
        out += std::to_string(indexes[i]);
        if (j > i)
            out += '-' + std::to_string(indexes[j]);
        i = j + 1;
    }
    return out;
}

TEST(PanelRowsTest, VariableListsOfferTheirIndexSets)
{
    struct Case {
        std::int32_t kind;
        PanelRow row;
        const char* indexes;
    };
    const Case cases[] = {
        {KindInput, Target, "1-100"},
        {KindStrCopy, Target, "1-101"},
        {KindStrCat, Target, "1-30"},
        {KindGetSequence, Target, "1-30"},
        {KindStrCmp, Target, "1-30"},
        {KindGetDate, Target, "1-30"},
        {KindGetTime, Target, "1-30"},
        {KindWdt, Target, "31-80"},
        {KindSecOfCentury, Target, "31-80"},
        {KindStrLen, Target, "31-80"},
        {KindStrPos, Target, "31-80"},
        {KindProcess, Target, "31-100,103-107,113-114"},
        {KindNumCmp, Target, "31-100"},
        {KindStrLen, Source, "1-30"},
        {KindSync, Source, "1-100"},
        {KindWriteToFlash, Source, "1-100"},
        {KindStrCmp, Source, "0-30"},
        {KindStrCopy, Source, "0-102,108-112,115"},
        {KindStrCat, Source, "0-102,108-112,115"},
        {KindStrPos, Source, "1-30,101-102"},
        {KindProcess, Source, "0,31-100,103-112"},
        {KindNumCmp, Source, "0,31-100,103-112"},
        {KindWdt, Source, "31-80"},
        {KindWriteToFlash, Source2, "31-80,103-112"},
        {KindWdt, Source2, "31-80"},
        {KindStrCopy, Start, "0,31-80"},
        {KindStrCat, End, "0,31-80"},
        {KindInput, Source, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Ranges(VariableChoices(c.kind, c.row)), c.indexes) << ToolCaption(c.kind) << ' ' << int(c.row);
}

TEST(PanelRowsTest, ListsAreSortedByNameWithoutBlankNames)
{
    VariableTable table;
    ResetVariables(table);
    table[1].name = "zeta";
    table[2].name = "Alpha";
    table[3].name = "   ";
    table[4].name = "";
    table[5].name = "beta";
    table[6].name = "alpha";
    const auto choices = SortedVariableChoices(table, {0, 1, 2, 3, 4, 5, 6});
    std::string names;
    for (const VariableChoice& c : choices)
        names += c.name + "=" + std::to_string(c.index) + " ";
    EXPECT_EQ(names, "Alpha=2 alpha=6 beta=5 Constant=0 zeta=1 ");

    EXPECT_TRUE(NameUnnamedVariable(table, 4));
    EXPECT_EQ(table[4].name, "noname4");
    EXPECT_TRUE(NameUnnamedVariable(table, 3));
    EXPECT_EQ(table[3].name, "noname3");
    EXPECT_FALSE(NameUnnamedVariable(table, 5));
    EXPECT_EQ(table[5].name, "beta");
}

TEST(PanelNumbersTest, WholeAndStateNumbers)
{
    struct Case {
        const char* text;
        std::int32_t whole;
        std::int32_t state;
    };
    const Case cases[] = {
        {"", 0, 0},        {"  42 ", 42, 42}, {"255", 255, 255}, {"256", 256, 0},  {"300", 300, 0},
        {"-1", -1, 0},     {"+7", 7, 7},      {"abc", 0, 0},     {"12x", 0, 0},    {"1.5", 0, 0},
        {"99999999999", 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadWholeNumber(c.text), c.whole) << c.text;
        EXPECT_EQ(ReadStateNumber(c.text), c.state) << c.text;
    }
}

TEST(PanelNumbersTest, ConstantsReadInThousandths)
{
    struct Case {
        const char* text;
        bool fits;
        std::int32_t thousandths;
    };
    const Case cases[] = {
        {"", true, 0},
        {"1.5", true, 1500},
        {"1.2344", true, 1234},
        {"1.2345", true, 1234},  // half to even
        {"1.2355", true, 1236},
        {"1.23450001", true, 1235},
        {"-0.0015", true, -2},
        {"0.0004", true, 0},
        {"0.0005", true, 0},
        {"abc", true, 0},
        {"1.", true, 1000},
        {".25", true, 250},
        {" 12 ", true, 12000},
        {"1,234.5", true, 1234500},  // as the panel shows it
        {"1,2", true, 0},
        {"12,34", true, 0},
        {"1e3", true, 1000000},
        {"25E-3", true, 25},
        {"1e", true, 0},
        {"-", true, 0},
        {"2147483.647", true, 2147483647},
        {"-2147483.648", true, -2147483647 - 1},
        {"2147483.648", false, 0},
        {"-2147483.6485", true, -2147483647 - 1},  // rounds to the even end of the range
        {"-2147483.6486", false, 0},
        {"99999999999999999999", false, 0},
        {"1e400", false, 0},
        {"1e-400", true, 0},
    };
    for (const Case& c : cases) {
        const ConstantReading r = ReadConstant(c.text);
        EXPECT_EQ(r.fits, c.fits) << c.text;
        EXPECT_EQ(r.thousandths, c.thousandths) << c.text;
    }
}

TEST(PanelNumbersTest, InputBoxesRefuseWhatIsNoWholeNumber)
{
    EXPECT_EQ(ReadInputNumber(""), 0);
    EXPECT_EQ(ReadInputNumber(" 12"), 12);
    EXPECT_EQ(ReadInputNumber("-3"), -3);
    EXPECT_EQ(ReadInputNumber("1a"), std::nullopt);
    EXPECT_EQ(ReadInputNumber("-"), std::nullopt);
    EXPECT_EQ(InvalidIntegerMessage("1a"), "'1a' is not a valid integer value.");
}

TEST(PanelNumbersTest, InputTypeBetweenBoxesAndFormat)
{
    struct Case {
        int type;
        std::int32_t length, decimals;
        std::int32_t format, size;
    };
    const Case cases[] = {
        {0, 8, 0, 0, 8},   {1, 6, 0, 32, 6},   {2, 5, 2, 69, 2},
        {3, 5, 2, 101, 2}, {4, 10, 0, 128, 10},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ComposeInputFormat(c.type, c.length, c.decimals), (InputFormat{c.format, c.size})) << c.type;
        const InputTypeView view = ViewInputType(c.format, c.size);
        EXPECT_EQ(view.type, c.type);
        EXPECT_EQ(view.length, c.length);
        EXPECT_EQ(view.decimals, c.decimals);
        EXPECT_EQ(view.decimalsEnabled, IsRealInputType(c.type));
    }
    EXPECT_EQ(ComposeInputFormat(-1, 5, 5), (InputFormat{0, 0}));
    // Formats no entry names show as String; a signed real keeps its sign.
    EXPECT_EQ(ViewInputType(192, 3).type, 4);
    EXPECT_EQ(ViewInputType(96 + 7, 1).type, 3);
}

TEST(PanelTextTest, TextsARecordCannotCarryAreNamed)
{
    EXPECT_FALSE(TypedTextProblem("plain # 3 text"));
    EXPECT_TRUE(TypedTextProblem("ab#3"));
    EXPECT_TRUE(TypedTextProblem("\xF8"));
    EXPECT_TRUE(TypedTextProblem("x\xF9"));
    EXPECT_TRUE(TypedTextProblem("\xFF"));
    EXPECT_NE(OutsideCodePageMessage("U+4E2D").find("U+4E2D"), std::string::npos);
}

const char kM = '\xB2';  // stored marker
const char kE = '\xB9';  // editor marker

TEST(ScreenFieldsTest, FieldsLoadWithTheirNumbersAndPlaces)
{
    // Line 0: "Qty:" then a field of variable 31 ('A' + 31 = '`'), width 6.
    // Line 1: field of variable 1, width 2, at column 3.
    const std::string stored = std::string("Qty:") + kM + '`' + "####\r\nab " + kM + 'B' + "x";
    const ScreenEditorText loaded = ScreenTextForEditor(stored);
    EXPECT_EQ(loaded.text, std::string("Qty:") + kE + 'A' + "####\r\nab " + kE + 'B' + "x");
    ASSERT_EQ(loaded.fields.size(), 2u);
    EXPECT_EQ(loaded.fields[0], (ScreenField{31, 6, 0, 4, 4}));
    EXPECT_EQ(loaded.fields[1], (ScreenField{1, 2, 1, 3, 15}));
    EXPECT_EQ(ScreenTextFromEditor(loaded.text, loaded.fields), stored);

    // Typing inside the line before a field keeps the field.
    std::string typed = loaded.text;
    typed.insert(0, "New ");
    EXPECT_EQ(ScreenTextFromEditor(typed, loaded.fields), "New " + stored);
}

TEST(ScreenFieldsTest, OnlyWholeFieldsAreFields)
{
    struct Case {
        const char* what;
        std::string stored;
        std::size_t fields;
    };
    const Case cases[] = {
        {"marker second to last", std::string("ab") + kM + 'C', 0},
        {"marker and letter and one more", std::string("ab") + kM + 'C' + ' ', 1},
        {"letter naming no variable", std::string(1, kM) + '!' + "##", 0},
        {"marker before a line break", std::string(1, kM) + "\r\nx", 0},
        {"letter of the last variable", std::string(1, kM) + static_cast<char>('A' + 115) + "#", 1},
    };
    for (const Case& c : cases) {
        const ScreenEditorText loaded = ScreenTextForEditor(c.stored);
        EXPECT_EQ(loaded.fields.size(), c.fields) << c.what;
        EXPECT_EQ(ScreenTextFromEditor(loaded.text, loaded.fields), c.stored) << c.what;
    }
}

TEST(ScreenFieldsTest, EightyFieldsAtMost)
{
    std::string stored;
    for (int i = 0; i < 81; ++i)
        stored += std::string(1, kM) + 'B' + "#";
    const ScreenEditorText loaded = ScreenTextForEditor(stored);
    ASSERT_EQ(loaded.fields.size(), 80u);
    // The 81st keeps its stored form.
    EXPECT_EQ(loaded.text.substr(80 * 3), std::string(1, kM) + "B#");
    EXPECT_EQ(loaded.text[79 * 3 + 1], static_cast<char>('A' + 79));
    EXPECT_EQ(ScreenTextFromEditor(loaded.text, loaded.fields), stored);
}

TEST(ScreenFieldsTest, InsertingAFieldAtTheCursor)
{
    const std::string field = VariableFieldText(5, 6);
    EXPECT_EQ(field, std::string(1, kM) + "F####");
    EXPECT_EQ(VariableFieldText(5, 2), std::string(1, kM) + "F");
    EXPECT_EQ(VariableFieldText(100, 25).size(), 20u);

    struct Case {
        const char* what;
        std::string text;
        int line, column;
        std::string expected;
    };
    const Case cases[] = {
        {"line 2 column 3", "l0\r\nl1\r\nabcdef\r\nl3", 2, 3, "l0\r\nl1\r\nabc" + field + "def\r\nl3\r\n"},
        {"empty text", "", 0, 0, field + "\r\n"},
        {"final break starts no line", "ab\r\n", 0, 1, "a" + field + "b\r\n"},
        {"cursor on the line after the final break", "ab\r\n", 1, 0, "ab\r\n" + field + "\r\n"},
        {"column beyond the line", "ab", 0, 9, "ab" + field + "\r\n"},
        {"line feeds alone", "a\nb", 1, 0, "a\r\n" + field + "b\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InsertIntoScreenText(c.text, c.line, c.column, field), c.expected) << c.what;
}

} // namespace
