#include "item_fields.h"
#include "model/item_kinds.h"
#include "model/text_measurer.h"
#include "scripted_messages.h"

#include <gtest/gtest.h>

#include <map>

using namespace qvt;
using qvt::test::FieldsOf;
using qvt::test::ScriptedMessages;

namespace {

std::string Exits(const TBagListesi& exits, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += exits[i].label + " " + std::to_string(exits[i].first) + ".." + std::to_string(exits[i].last) + "; ";
    return out;
}

// Six pixels per character, ten pixels high.
class FixedPitch : public TextMeasurer {
public:
    int TextWidth(std::string_view text) const override { return 6 * static_cast<int>(text.size()); }
    int TextHeight(std::string_view) const override { return 10; }
};

} // namespace

TEST(Item, NewItemsHaveTheirKindsExitsAndNothingElse)
{
    struct Row { std::int32_t kind; const char* title; const char* bottom; };
    const Row rows[] = {
        {KindInput, "Input (0)", "OK 1..53; Error 53..106; Cancel 106..159; "},
        {KindGetSequence, "GetSeq", "Next 1..159; "},
        {KindSecOfCentury, "Now", "Next 1..159; "},
        {KindWriteToFlash, "w2Flash", "OK 1..79; Error 80..159; "},
        {KindStrCopy, "StrCpy", "Next 1..159; "},
        {KindStrCat, "StrCat", "Next 1..159; "},
        {KindStrLen, "StrLen", "Next 1..159; "},
        {KindStrPos, "StrPos", "Next 1..159; "},
        {KindStrCmp, "StrCmp", "Equal 1..79; Not Equal 80..159; "},
        {KindProcess, "Process", "Next 1..159; "},
        {KindNumCmp, "NumCmp", "Less 1..53; Equal 53..106; Greater 106..159; "},
        {KindSync, "Sync (0)", ""},
        {KindTmrReturn, "Return", ""},
        {KindGetDate, "GetDate", "Next 1..159; "},
        {KindGetTime, "GetTime", "Next 1..159; "},
        {KindWdt, "Wdt", "Next 1..159; "},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.kind);
        auto item = CreateItem(r.kind);
        ASSERT_TRUE(item);
        EXPECT_EQ(item->kind, r.kind);
        EXPECT_EQ(item->KindNumber(), r.kind);
        EXPECT_EQ(item->Title(), r.title);
        EXPECT_EQ(Exits(item->bottomExits, item->bottomExitCount), r.bottom);
        EXPECT_EQ(item->rightExitCount, 0);
        for (const auto& [name, value] : FieldsOf(*item)) {
            const bool empty = value == "0" || value == "" || value == "false" || value == "0.000";
            EXPECT_TRUE(name == "kind" || empty) << name << "=" << value;
        }
    }
}

TEST(Item, UnknownKindNumbersCreateNothing)
{
    for (std::int32_t kind : {0, 5, 56, 58, 128, 202, 253, 255, -57, 57 + 256})
        EXPECT_EQ(CreateItem(kind), nullptr) << kind;
}

TEST(Item, ReadKeyExitSpansFollowTheMeasuredLabels)
{
    // Unmeasured, as when a machine is loaded for compiling.
    TItcReadKeyMenu unmeasured;
    EXPECT_EQ(Exits(unmeasured.bottomExits, unmeasured.bottomExitCount),
              "F1 1..-1; F2 1..-1; F3 1..-1; F4 1..-1; F5 1..-1; C 1..0; E 2..1; S 3..2; D 4..3; "
              "^ 5..4; v 6..5; < 7..6; > 8..7; ");
    EXPECT_EQ(Exits(unmeasured.rightExits, unmeasured.rightExitCount),
              "1 1..0; 2 1..0; 3 1..0; 4 1..0; 5 1..0; 6 1..0; 7 1..0; 8 1..0; 9 1..0; 0 1..0; ");

    FixedPitch pitch;
    TItcReadKeyMenu measured(&pitch);
    // Two-letter keys are 12 wide, one-letter keys 6; from "C" on one pixel more.
    EXPECT_EQ(Exits(measured.bottomExits, measured.bottomExitCount),
              "F1 1..13; F2 15..27; F3 29..41; F4 43..55; F5 57..69; C 71..78; E 80..87; S 89..96; "
              "D 98..105; ^ 107..114; v 116..123; < 125..132; > 134..141; ");
    EXPECT_EQ(Exits(measured.rightExits, measured.rightExitCount),
              "1 1..11; 2 12..22; 3 23..33; 4 34..44; 5 45..55; 6 56..66; 7 67..77; 8 78..88; 9 89..99; "
              "0 100..110; ");
}

TEST(Item, SetConnectionFindsTheExitByItsExactLabel)
{
    struct Row {
        std::int32_t kind;
        const char* label;
        std::int32_t value;
        const char* field;  // field expected to take the value; null when refused
    };
    const Row rows[] = {
        {KindInput, "Error", 7, "errorTarget"},
        {KindInput, "OK", 3, "okTarget"},
        {KindInput, "Cancel", 1001, "cancelTarget"},  // stored unchecked
        {KindInput, "ok", 7, nullptr},                 // labels compare case-sensitively
        {KindInput, "Next", 7, nullptr},
        {KindNumCmp, "Error", 7, nullptr},
        {KindNumCmp, "Less", 5, "lessTarget"},
        {KindNumCmp, "Greater", 6, "greaterTarget"},
        {KindStrCmp, "Not Equal", 2, "notEqualTarget"},
        {KindStrCmp, "Not", 2, nullptr},
        {KindWriteToFlash, "Error", 4, "errorTarget"},
        {KindWdt, "Next", 9, "nextTarget"},
        {KindReadKey, "C", 9, "cancelTarget"},
        {KindReadKey, "0", 9, "digit0Target"},
        {KindReadKey, "v", 9, "downTarget"},
        {KindReadKey, "^", 9, "upTarget"},
        {KindReadKey, "E", 9, "enterTarget"},
        {KindReadKey, "S", 9, "spaceTarget"},
        {KindReadKey, "D", 9, "deleteTarget"},
        {KindReadKey, ">", 9, "rightTarget"},
        {KindReadKey, "F5", 9, "f5Target"},
        {KindReadKey, "1", 9, "digit1Target"},
        {KindReadKey, "V", 9, nullptr},
        {KindReadKey, "", 9, nullptr},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(ToolCaption(r.kind)) + " " + r.label);
        ScriptedMessages messages;
        auto item = CreateItem(r.kind);
        const auto before = FieldsOf(*item);
        item->SetConnection(r.label, r.value, messages);
        auto expected = before;
        if (r.field) {
            expected[r.field] = std::to_string(r.value);
            EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
        } else {
            EXPECT_EQ(messages.errors(), std::vector<std::string>{"Connection (" + std::string(r.label) + ") is incorrect"});
        }
        EXPECT_EQ(FieldsOf(*item), expected);
    }
}

TEST(Item, SetConnectionZeroDisconnects)
{
    ScriptedMessages messages;
    TItcInputMenu input;
    input.okTarget = 4;
    input.SetConnection("OK", 0, messages);
    EXPECT_EQ(input.okTarget, 0);
}

TEST(Item, ItemsWithoutExitsIgnoreConnections)
{
    for (std::int32_t kind : {KindSync, KindTmrReturn}) {
        ScriptedMessages messages;
        auto item = CreateItem(kind);
        const auto before = FieldsOf(*item);
        for (const char* label : {"Next", "OK", "anything"})
            item->SetConnection(label, 5, messages);
        item->ClearConnectionsTo(0);
        item->SwapEntryReferences(0);
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(FieldsOf(*item), before);
        EXPECT_TRUE(item->ExitTargets().empty());
    }
}

TEST(Item, ClearAndSwapTouchOnlyTargets)
{
    TItcNumCmp cmp;
    cmp.target = 5;  // a variable index, not a connection
    cmp.source = 1;
    cmp.lessTarget = 5;
    cmp.equalTarget = 5;
    cmp.greaterTarget = 6;
    cmp.ClearConnectionsTo(5);
    EXPECT_EQ(cmp.ExitTargets(), (std::vector<std::int32_t>{0, 0, 6}));
    EXPECT_EQ(cmp.target, 5);

    struct Row { std::int32_t id; std::vector<std::int32_t> after; };
    const Row rows[] = {
        {4, {1, 4, 7}},
        {1, {4, 1, 7}},  // the test against the id comes first: nothing changes
        {7, {4, 7, 1}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.id);
        TItcNumCmp item;
        item.lessTarget = 4;
        item.equalTarget = 1;
        item.greaterTarget = 7;
        item.source = 1;
        item.SwapEntryReferences(r.id);
        EXPECT_EQ(item.ExitTargets(), r.after);
        EXPECT_EQ(item.source, 1);
    }
}

TEST(Item, ReadKeyTargetsFollowTheExitSlots)
{
    // Connecting every exit by its label must reach 23 different fields, in
    // slot order.
    ScriptedMessages messages;
    TItcReadKeyMenu key;
    std::vector<std::int32_t> expected;
    int value = 100;
    for (int i = 0; i < key.bottomExitCount; ++i, ++value) {
        key.SetConnection(key.bottomExits[i].label, value, messages);
        expected.push_back(value);
    }
    for (int i = 0; i < key.rightExitCount; ++i, ++value) {
        key.SetConnection(key.rightExits[i].label, value, messages);
        expected.push_back(value);
    }
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(key.ExitTargets(), expected);
    EXPECT_EQ(key.f1Target, 100);
    EXPECT_EQ(key.cancelTarget, 105);
    EXPECT_EQ(key.rightTarget, 112);
    EXPECT_EQ(key.digit1Target, 113);
    EXPECT_EQ(key.digit0Target, 122);
}

TEST(Item, EveryExitOfEveryKindLeadsToItsOwnTargetField)
{
    // Exit labels in slot order and the field each one sets. A wrong entry in
    // a kind's target list would connect the exit to the wrong item (or write
    // a connection into a variable operand).
    const std::map<std::int32_t, std::vector<std::pair<const char*, const char*>>> exits = {
        {KindInput, {{"OK", "okTarget"}, {"Error", "errorTarget"}, {"Cancel", "cancelTarget"}}},
        {KindReadKey,
         {{"F1", "f1Target"},     {"F2", "f2Target"},     {"F3", "f3Target"},     {"F4", "f4Target"},
          {"F5", "f5Target"},     {"C", "cancelTarget"},  {"E", "enterTarget"},   {"S", "spaceTarget"},
          {"D", "deleteTarget"},  {"^", "upTarget"},      {"v", "downTarget"},    {"<", "leftTarget"},
          {">", "rightTarget"},   {"1", "digit1Target"},  {"2", "digit2Target"},  {"3", "digit3Target"},
          {"4", "digit4Target"},  {"5", "digit5Target"},  {"6", "digit6Target"},  {"7", "digit7Target"},
          {"8", "digit8Target"},  {"9", "digit9Target"},  {"0", "digit0Target"}}},
        {KindGetSequence, {{"Next", "nextTarget"}}},
        {KindSecOfCentury, {{"Next", "nextTarget"}}},
        {KindWriteToFlash, {{"OK", "okTarget"}, {"Error", "errorTarget"}}},
        {KindStrCopy, {{"Next", "nextTarget"}}},
        {KindStrCat, {{"Next", "nextTarget"}}},
        {KindStrLen, {{"Next", "nextTarget"}}},
        {KindStrPos, {{"Next", "nextTarget"}}},
        {KindStrCmp, {{"Equal", "equalTarget"}, {"Not Equal", "notEqualTarget"}}},
        {KindProcess, {{"Next", "nextTarget"}}},
        {KindNumCmp, {{"Less", "lessTarget"}, {"Equal", "equalTarget"}, {"Greater", "greaterTarget"}}},
        {KindSync, {}},
        {KindTmrReturn, {}},
        {KindGetDate, {{"Next", "nextTarget"}}},
        {KindGetTime, {{"Next", "nextTarget"}}},
        {KindWdt, {{"Next", "nextTarget"}}},
    };
    ASSERT_EQ(exits.size(), kItemKinds.size());
    for (std::int32_t kind : kItemKinds) {
        SCOPED_TRACE(ToolCaption(kind));
        const auto& expected = exits.at(kind);
        ScriptedMessages messages;
        auto item = CreateItem(kind);
        std::vector<std::string> labels;
        for (int i = 0; i < item->bottomExitCount; ++i)
            labels.push_back(item->bottomExits[i].label);
        for (int i = 0; i < item->rightExitCount; ++i)
            labels.push_back(item->rightExits[i].label);
        ASSERT_EQ(labels.size(), expected.size());

        // Each exit sets its own field and nothing else.
        auto fields = FieldsOf(*item);
        std::vector<std::int32_t> targets;
        for (std::size_t slot = 0; slot < expected.size(); ++slot) {
            const auto& [label, field] = expected[slot];
            EXPECT_EQ(labels[slot], label);
            const std::int32_t value = 500 + static_cast<std::int32_t>(slot);
            item->SetConnection(label, value, messages);
            fields[field] = std::to_string(value);
            EXPECT_EQ(FieldsOf(*item), fields) << label;
            targets.push_back(value);
        }
        EXPECT_EQ(item->ExitTargets(), targets);
        EXPECT_TRUE(messages.shown.empty()) << messages.transcript();

        // Exchanging an id with the entry point and clearing an id reach
        // exactly the fields that hold them.
        if (expected.empty())
            continue;
        item->SwapEntryReferences(500);
        fields[expected.front().second] = "1";
        EXPECT_EQ(FieldsOf(*item), fields);
        item->ClearConnectionsTo(1);
        fields[expected.front().second] = "0";
        EXPECT_EQ(FieldsOf(*item), fields);
        item->ClearConnectionsTo(targets.back());
        fields[expected.back().second] = "0";
        EXPECT_EQ(FieldsOf(*item), fields);
    }
}

TEST(Item, NumberedTitlesShowTheStateNumber)
{
    TItcInputMenu input;
    TItcReadKeyMenu key;
    TItcSync sync;
    input.stateNumber = key.stateNumber = sync.stateNumber = 12;
    input.id = key.id = sync.id = 9;
    EXPECT_EQ(input.Title(), "Input (12)");
    EXPECT_EQ(key.Title(), "ReadKey (12)");
    EXPECT_EQ(sync.Title(), "Sync (12)");
}
