#include "model/item_kinds.h"
#include "model/items_list.h"
#include "model/text_measurer.h"
#include "scripted_messages.h"

#include <gtest/gtest.h>

using namespace qvt;
using qvt::test::ScriptedMessages;

namespace {

// Records what the list asks to be drawn.
class RecordingView : public ItemsListView {
public:
    std::vector<std::string> calls;
    void DrawItem(const TitcItem& item) override { calls.push_back("item " + std::to_string(item.id)); }
    void RedrawConnections() override { calls.push_back("connections"); }
    void DrawEmptyCell(int column, int row) override
    {
        calls.push_back("empty " + std::to_string(column) + "," + std::to_string(row));
    }
    void DrawEmptyCells() override { calls.push_back("empty all"); }
};

// Pixel point inside the cell at row r, column c.
int X(int column) { return column * kCellWidth + 50; }
int Y(int row) { return row * kCellHeight + 50; }

// "id@row,column" of every item in id order.
std::string Layout(const TitcItemsList& list)
{
    std::string out;
    list.ForEachItem([&](const TitcItem& item) {
        out += std::to_string(item.id) + "@" + std::to_string(item.row) + "," + std::to_string(item.column) + " ";
    });
    return out;
}

struct Fixture {
    ScriptedMessages messages;
    RecordingView view;
    TitcItemsList list{messages};
    Fixture() { list.SetView(&view); }

    // Items 1..n of `kind` in row 0, columns 0..n-1.
    void AddRow(int n, std::int32_t kind = KindStrLen)
    {
        for (int c = 0; c < n; ++c)
            ASSERT_TRUE(list.AddItem(kind, X(c), Y(0)));
    }
};

} // namespace

TEST(ItemsList, AddItemTakesTheLowestFreeIdAndTheCellUnderThePoint)
{
    Fixture f;
    ASSERT_TRUE(f.list.AddItem(KindInput, 0, 0));
    EXPECT_EQ(f.list.FirstFreeId(), 2);
    const TitcItem* entry = f.list.ItemById(1);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->kind, KindInput);
    EXPECT_NE(dynamic_cast<const TItcInputMenu*>(entry), nullptr);
    EXPECT_EQ(f.view.calls, std::vector<std::string>{"item 1"});

    struct Row { int x, y, row, column; };
    const Row rows[] = {{195, 199, 0, 1}, {194, 200, 1, 0}, {389, 399, 1, 1}, {390, 400, 2, 2}};
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.x << "," << r.y);
        const std::int32_t id = f.list.FirstFreeId();
        ASSERT_TRUE(f.list.AddItem(KindWdt, r.x, r.y));
        EXPECT_EQ(f.list.ItemById(id)->row, r.row);
        EXPECT_EQ(f.list.ItemById(id)->column, r.column);
        EXPECT_EQ(f.list.IdAt(r.row, r.column), id);
    }
    EXPECT_TRUE(f.messages.shown.empty()) << f.messages.transcript();
}

TEST(ItemsList, AddItemRefusals)
{
    Fixture f;
    f.AddRow(5);
    f.list.DeleteItem(3);
    EXPECT_EQ(f.list.FirstFreeId(), 3);

    const std::string before = Layout(f.list);
    EXPECT_FALSE(f.list.AddItem(KindStrLen, X(1), Y(0)));
    EXPECT_FALSE(f.list.AddItem(5, X(9), Y(9)));
    EXPECT_FALSE(f.list.AddItem(0, X(9), Y(9)));
    EXPECT_EQ(f.messages.errors(),
              (std::vector<std::string>{"Cell is full...  Can not insert...", "Unknown item", "Unknown item"}));
    EXPECT_EQ(Layout(f.list), before);

    ASSERT_TRUE(f.list.AddItem(KindStrLen, X(7), Y(7)));
    EXPECT_EQ(f.list.IdAt(7, 7), 3);  // the gap is reused
}

TEST(ItemsList, AFullTableRefusesNewItemsButAFullCellIsReportedFirst)
{
    Fixture f;
    for (int i = 0; i < kMaxItemId; ++i)
        ASSERT_TRUE(f.list.AddItem(KindWdt, X(i % 8), Y(i / 8)));
    EXPECT_EQ(f.list.FirstFreeId(), -1);
    EXPECT_EQ(f.list.Count(), 1000);
    EXPECT_FALSE(f.list.AddItem(KindWdt, X(0), Y(200)));
    EXPECT_FALSE(f.list.AddItem(KindWdt, X(0), Y(0)));
    EXPECT_FALSE(f.list.AddItem(5, X(1), Y(200)));  // the table check comes before the kind check
    EXPECT_EQ(f.messages.errors(), (std::vector<std::string>{"Component limit is exceeded.  Could not add item.",
                                                             "Cell is full...  Can not insert...",
                                                             "Component limit is exceeded.  Could not add item."}));
}

TEST(ItemsList, DeleteItemClearsEveryConnectionToIt)
{
    Fixture f;
    f.AddRow(3, KindNumCmp);
    auto& a = static_cast<TItcNumCmp&>(*f.list.ItemById(1));
    auto& c = static_cast<TItcNumCmp&>(*f.list.ItemById(3));
    a.lessTarget = 2;
    a.equalTarget = 2;
    a.greaterTarget = 3;
    c.lessTarget = 2;
    c.source = 2;  // a variable index, not a connection
    auto& b = static_cast<TItcNumCmp&>(*f.list.ItemById(2));
    b.equalTarget = 2;  // to itself
    f.view.calls.clear();

    f.list.DeleteItem(2);
    EXPECT_EQ(f.list.ItemById(2), nullptr);
    EXPECT_EQ(a.ExitTargets(), (std::vector<std::int32_t>{0, 0, 3}));
    EXPECT_EQ(c.ExitTargets(), (std::vector<std::int32_t>{0, 0, 0}));
    EXPECT_EQ(c.source, 2);
    EXPECT_EQ(f.view.calls, std::vector<std::string>{"connections"});

    // Ids outside the table are ignored.
    f.list.DeleteItem(0);
    f.list.DeleteItem(1001);
    EXPECT_EQ(Layout(f.list), "1@0,0 3@0,2 ");
}

TEST(ItemsList, InsertRowOrColumnMovesItemsAtOrBeyondTheThreshold)
{
    struct Row {
        const char* what;
        int row, column;
        bool before, isRow;
        const char* layout;
    };
    // Items 1..4 at (1,1), (2,2), (3,3), (2,0).
    const Row rows[] = {
        {"row 2, after", 2, 9, false, true, "1@1,1 2@2,2 3@4,3 4@2,0 "},
        {"row 2, before", 2, 9, true, true, "1@1,1 2@3,2 3@4,3 4@3,0 "},
        {"row 0, before", 0, 9, true, true, "1@2,1 2@3,2 3@4,3 4@3,0 "},
        {"column 1, after", 9, 1, false, false, "1@1,1 2@2,3 3@3,4 4@2,0 "},
        {"column 1, before", 9, 1, true, false, "1@1,2 2@2,3 3@3,4 4@2,0 "},
        {"beyond every item", 3, 3, false, true, "1@1,1 2@2,2 3@3,3 4@2,0 "},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Fixture f;
        for (auto [row, column] : {std::pair{1, 1}, {2, 2}, {3, 3}, {2, 0}})
            ASSERT_TRUE(f.list.AddItem(KindWdt, X(column), Y(row)));
        f.list.InsertRowOrColumn(r.row, r.column, r.before, r.isRow);
        EXPECT_EQ(Layout(f.list), r.layout);
    }
}

TEST(ItemsList, DeleteRowOrColumnRemovesOnlyEmptyOnes)
{
    struct Row {
        const char* what;
        int row, column;
        bool isRow;
        bool removed;
        const char* layout;
        const char* error;
    };
    // Items 1..3 at (0,0), (2,2), (3,1).
    const Row rows[] = {
        {"empty row", 1, 9, true, true, "1@0,0 2@1,2 3@2,1 ", nullptr},
        {"row with an item", 2, 0, true, false, "1@0,0 2@2,2 3@3,1 ", "The row should be empty."},
        {"empty column", 9, 3, false, true, "1@0,0 2@2,2 3@3,1 ", nullptr},
        {"column with an item", 9, 1, false, false, "1@0,0 2@2,2 3@3,1 ", "The column should be empty."},
        {"row beyond every item", 7, 0, true, true, "1@0,0 2@2,2 3@3,1 ", nullptr},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Fixture f;
        for (auto [row, column] : {std::pair{0, 0}, {2, 2}, {3, 1}})
            ASSERT_TRUE(f.list.AddItem(KindWdt, X(column), Y(row)));
        f.view.calls.clear();
        EXPECT_EQ(f.list.DeleteRowOrColumn(r.row, r.column, r.isRow), r.removed);
        EXPECT_EQ(Layout(f.list), r.layout);
        if (r.error) {
            EXPECT_EQ(f.messages.errors(), std::vector<std::string>{r.error});
            EXPECT_TRUE(f.view.calls.empty());
        } else {
            EXPECT_TRUE(f.messages.shown.empty());
            EXPECT_EQ(f.view.calls, (std::vector<std::string>{"empty all", "item 1", "item 2", "item 3", "connections"}));
        }
    }
}

TEST(ItemsList, LookupsByCellAndId)
{
    ScriptedMessages messages;
    // Two items in one cell can only come from stored text.
    TitcItemsList list({"#1#id=5\\#sat=1\\#sut=1\\#tip=100\\#2\\#3", "#1#id=2\\#sat=1\\#sut=1\\#tip=13\\#2\\#3"},
                       messages);
    EXPECT_EQ(list.IdAt(1, 1), 2);
    EXPECT_EQ(list.ItemAt(1, 1), list.ItemById(2));
    EXPECT_EQ(list.IdAt(0, 0), -1);
    EXPECT_EQ(list.ItemAt(0, 0), nullptr);
    EXPECT_EQ(list.FirstFreeId(), 1);
    for (std::int32_t id : {0, -1, 1, 1001, std::numeric_limits<std::int32_t>::min()})
        EXPECT_EQ(list.ItemById(id), nullptr) << id;
    EXPECT_NE(list.ItemById(5), nullptr);
}

TEST(ItemsList, MakeEntryPointExchangesIdsAndKeepsEveryConnection)
{
    Fixture f;
    f.AddRow(5, KindStrCmp);
    auto cmp = [&](std::int32_t id) -> TItcStrCmp& { return static_cast<TItcStrCmp&>(*f.list.ItemById(id)); };
    TitcItem* oldEntry = f.list.ItemById(1);
    TitcItem* chosen = f.list.ItemById(4);
    cmp(2).equalTarget = 4;
    cmp(2).notEqualTarget = 1;
    cmp(4).equalTarget = 1;
    cmp(4).notEqualTarget = 3;
    cmp(1).equalTarget = 4;
    f.view.calls.clear();

    f.list.MakeEntryPoint(4);
    EXPECT_EQ(f.list.ItemById(1), chosen);
    EXPECT_EQ(f.list.ItemById(4), oldEntry);
    EXPECT_EQ(chosen->id, 1);
    EXPECT_EQ(oldEntry->id, 4);
    EXPECT_EQ(Layout(f.list), "1@0,3 2@0,1 3@0,2 4@0,0 5@0,4 ");  // cells do not move
    EXPECT_EQ(cmp(2).ExitTargets(), (std::vector<std::int32_t>{1, 4}));
    EXPECT_EQ(cmp(1).ExitTargets(), (std::vector<std::int32_t>{4, 3}));  // the chosen item, formerly 4
    EXPECT_EQ(cmp(4).ExitTargets(), (std::vector<std::int32_t>{1, 0}));
    EXPECT_EQ(f.view.calls,
              (std::vector<std::string>{"item 1", "item 2", "item 3", "item 4", "item 5", "connections"}));
}

TEST(ItemsList, MakeEntryPointWithoutAnEntryItemMovesTheChosenItemToId1)
{
    Fixture f;
    f.AddRow(3, KindStrCmp);
    f.list.DeleteItem(1);
    auto& two = static_cast<TItcStrCmp&>(*f.list.ItemById(2));
    two.equalTarget = 3;
    TitcItem* chosen = f.list.ItemById(3);

    f.list.MakeEntryPoint(3);
    EXPECT_EQ(f.list.ItemById(1), chosen);
    EXPECT_EQ(chosen->id, 1);
    EXPECT_EQ(f.list.ItemById(3), nullptr);
    EXPECT_EQ(two.equalTarget, 1);
    EXPECT_EQ(f.list.FirstFreeId(), 3);
    EXPECT_TRUE(f.messages.shown.empty());
}

TEST(ItemsList, MakeEntryPointIgnoresIdsItCannotExchange)
{
    for (std::int32_t id : {1, 0, 1001, 3}) {
        SCOPED_TRACE(id);
        Fixture f;
        f.AddRow(2);
        const std::string before = Layout(f.list);
        f.view.calls.clear();
        f.list.MakeEntryPoint(id);
        EXPECT_EQ(Layout(f.list), before);
        EXPECT_TRUE(f.view.calls.empty());
    }
}

TEST(ItemsList, ReadKeyItemsAreMeasuredWithTheListsMeasurer)
{
    class Wide : public TextMeasurer {
    public:
        int TextWidth(std::string_view t) const override { return 10 * static_cast<int>(t.size()); }
        int TextHeight(std::string_view) const override { return 12; }
    } wide;
    ScriptedMessages messages;
    TitcItemsList list(messages, &wide);
    ASSERT_TRUE(list.AddItem(KindReadKey, 0, 0));
    const TitcItem& key = *list.ItemById(1);
    EXPECT_EQ(key.bottomExits[0].last, 21);
    EXPECT_EQ(key.rightExits[9].last, 130);
    // Loaded items are measured too.
    TitcItemsList loaded({key.WriteRecord()}, messages, &wide);
    EXPECT_EQ(loaded.ItemById(1)->bottomExits, key.bottomExits);
}

TEST(ItemsList, CellsAtTheIntegerLimitDoNotOverflow)
{
    ScriptedMessages messages;
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const std::string edge = "#1#id=1\\#sat=" + std::to_string(kMax) + "\\#sut=" + std::to_string(kMax) + "\\#tip=100\\#2\\#3";
    TitcItemsList list({edge, "#1#id=2\\#sat=5\\#sut=5\\#tip=100\\#2\\#3"}, messages);
    list.InsertRowOrColumn(kMax, kMax, false, true);
    list.InsertRowOrColumn(0, 0, true, true);
    list.InsertRowOrColumn(0, 0, true, false);
    EXPECT_EQ(Layout(list), "1@2147483647,2147483647 2@6,6 ");
    EXPECT_TRUE(list.DeleteRowOrColumn(std::numeric_limits<std::int32_t>::min(), 0, true));
    EXPECT_EQ(Layout(list), "1@2147483646,2147483647 2@5,6 ");
}
