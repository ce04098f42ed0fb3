#include "model/item_fields.h"
#include "model/item_kinds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <typeinfo>
#include <vector>

using namespace qvt;

namespace {

// Captions of the rows a kind shows, top to bottom, joined by "|"; the screen
// editor, which has no caption, as "(screen)".
std::string PanelOf(std::int32_t kind)
{
    std::vector<const ItemField*> shown;
    for (const ItemField& f : KindFields(kind))
        if (f.row != PanelRow::None)
            shown.push_back(&f);
    std::stable_sort(shown.begin(), shown.end(), [](const ItemField* a, const ItemField* b) { return a->row < b->row; });
    std::string out;
    for (const ItemField* f : shown) {
        if (!out.empty())
            out += '|';
        out += f->row == PanelRow::Screen ? "(screen)" : std::string(f->caption);
    }
    return out;
}

} // namespace

TEST(ItemFields, PanelRowsOfEveryKind)
{
    const std::map<std::int32_t, std::string> panels = {
        {KindInput, "State #|Target|Input Type|Input Length|Input Pos.|Input Pos.|Input Pos.|Input Init.|(screen)"},
        {KindReadKey, "State #|(screen)"},
        {KindSync, "State #|Source"},
        {KindGetSequence, "Target"},
        {KindSecOfCentury, "Target"},
        {KindGetDate, "Target"},
        {KindGetTime, "Target"},
        {KindWriteToFlash, "Source|Source 2|Const.Integer"},
        {KindWdt, "Flag|Initial Time|Increment"},
        {KindStrCopy, "Target|Source|Start|Cons.Start|End|Cons.End|Const.String"},
        {KindStrCat, "Target|Source|Start|Cons.Start|End|Cons.End|Const.String"},
        {KindStrLen, "Target|Source"},
        {KindStrPos, "Target|Source|Const.String|Position"},
        {KindStrCmp, "Target|Source|Const.String"},
        {KindProcess, "Target|Operation|Source|Const.Integer"},
        {KindNumCmp, "Target|Source|Const.Integer"},
        {KindTmrReturn, ""},
    };
    ASSERT_EQ(panels.size(), kItemKinds.size());
    for (std::int32_t kind : kItemKinds) {
        SCOPED_TRACE(ToolCaption(kind));
        EXPECT_EQ(PanelOf(kind), panels.at(kind));
        // A field the panel does not show has no caption; exits are never shown.
        for (const ItemField& f : KindFields(kind)) {
            EXPECT_EQ(f.caption.empty(), f.row == PanelRow::None || f.row == PanelRow::Screen) << f.name;
            EXPECT_EQ(f.exit.empty(), f.type != FieldType::ExitTarget) << f.name;
            if (f.type == FieldType::ExitTarget) {
                EXPECT_EQ(f.row, PanelRow::None) << f.name;
            }
        }
    }
    EXPECT_TRUE(KindFields(0).empty());
    EXPECT_TRUE(KindFields(58).empty());
}

TEST(ItemFields, FieldsAreReadAndWrittenInTheItemItself)
{
    TItcNumCmp cmp;
    for (const ItemField& f : ItemFields(cmp)) {
        if (f.name == "target")
            *std::get<std::int32_t*>(FieldOf(cmp, f)) = 41;
        if (f.name == "constValue")
            *std::get<double*>(FieldOf(cmp, f)) = 1.5;
        if (f.exit == "Greater")
            *std::get<std::int32_t*>(FieldOf(cmp, f)) = 6;
    }
    EXPECT_EQ(cmp.target, 41);
    EXPECT_EQ(cmp.constValue, 1.5);
    EXPECT_EQ(cmp.greaterTarget, 6);
    EXPECT_EQ(cmp.lessTarget, 0);

    // Read-only access reaches the same fields.
    const TItcNumCmp& view = cmp;
    const ItemField* greater = ExitField(ItemFields(view), "Greater");
    ASSERT_NE(greater, nullptr);
    EXPECT_EQ(std::get<const std::int32_t*>(FieldOf(view, *greater)), &cmp.greaterTarget);
    EXPECT_EQ(ExitField(ItemFields(view), "Next"), nullptr);

    // StrCpy and StrCat share one table: it reaches the fields of both.
    TItcStrCat cat;
    const ItemField& catTarget = KindFields(KindStrCopy).front();
    *std::get<std::int32_t*>(FieldOf(cat, catTarget)) = 7;
    EXPECT_EQ(cat.target, 7);
}

TEST(ItemFields, AFieldOfAnotherKindIsRefusedInsteadOfWrittenIntoTheItem)
{
    TItcStrLen len;
    len.target = 31;
    // Input's first field is a whole number like StrLen's first: without a
    // check its write would land in the StrLen.
    const ItemField& stateNumber = KindFields(KindInput).front();
    EXPECT_THROW(FieldOf(len, stateNumber), std::bad_cast);
    EXPECT_THROW(FieldOf(static_cast<const TitcItem&>(len), stateNumber), std::bad_cast);
    EXPECT_EQ(len.target, 31);
}
