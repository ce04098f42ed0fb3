#include "editor/connection_routing.h"

#include "model/item_kinds.h"
#include "model/items_list.h"
#include "model/text_measurer.h"
#include "scripted_messages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

// Counts allocations while a routing runs (see NoAllocationOnceWarm).
namespace {
std::atomic<bool> gCountAllocations{false};
std::atomic<long> gAllocations{0};
} // namespace

void* operator new(std::size_t size)
{
    if (gCountAllocations)
        ++gAllocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

using namespace qvt;
using qvt::test::ScriptedMessages;
using Tables = ConnectionRouter::Tables;
using End = Tables::End;

namespace {

// Labels 6 pixels a character wide and 13 high.
class FixedMeasurer : public TextMeasurer {
public:
    int TextWidth(std::string_view text) const override { return 6 * static_cast<int>(text.size()); }
    int TextHeight(std::string_view) const override { return 13; }
};

const FixedMeasurer kMeasurer;

struct Machine {
    ScriptedMessages messages;
    TitcItemsList list{messages, &kMeasurer};
    std::unique_ptr<ConnectionRouter> router = std::make_unique<ConnectionRouter>();

    // Adds an item of `kind` in the cell and returns its id.
    std::int32_t Place(std::int32_t kind, int row, int column)
    {
        const std::int32_t id = list.FirstFreeId();
        EXPECT_TRUE(list.AddItem(kind, column * kCellWidth + 50, row * kCellHeight + 50));
        return id;
    }
    void Connect(std::int32_t from, std::string_view label, std::int32_t to)
    {
        list.ItemById(from)->SetConnection(label, to, messages);
    }
    const Tables& Route(std::int32_t selectedId = -1, std::string_view selectedExit = {})
    {
        router->Route(list, selectedId, selectedExit);
        return router->ScratchTables();
    }
};

std::string Point(PixelPoint p) { return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")"; }

std::string Points(const RoutedLine& line)
{
    std::string out;
    for (int i = 0; i < line.pointCount; ++i)
        out += Point(line.points[i]);
    return out;
}

std::vector<std::string> AllPoints(std::span<const RoutedLine> lines)
{
    std::vector<std::string> out;
    for (const RoutedLine& line : lines)
        out.push_back(Points(line));
    return out;
}

const char* DirectionName(Tables::Direction d)
{
    switch (d) {
    case Tables::kDown: return "down";
    case Tables::kUp: return "up";
    case Tables::kLeft: return "left";
    case Tables::kRight: return "right";
    }
    return "?";
}

std::string EndText(std::int64_t at, const End& e)
{
    std::string out = std::to_string(at) + (e.leg ? " leg " : " ") + DirectionName(e.direction);
    if (e.offset)
        out += " " + std::to_string(e.offset);
    return out;
}

// "H6 [5 leg up 78, 9 leg down] lane 0 link -1"
std::string SegmentText(char axis, const Tables::Segment& s)
{
    return axis + std::to_string(s.channel) + " [" + EndText(s.lo, s.loEnd) + ", " + EndText(s.hi, s.hiEnd) +
           "] lane " + std::to_string(s.lane) + " link " + std::to_string(s.link);
}

// Every entry of the four tables in drawing order.
std::vector<std::string> Describe(const Tables& t)
{
    std::vector<std::string> out;
    for (const auto& d : t.Drops())
        out.push_back("drop " + std::to_string(d.channelRow) + " " + std::to_string(d.boxColumn) + " " +
                      std::to_string(d.offset));
    for (const auto& s : t.Sides())
        out.push_back("side " + std::to_string(s.channelColumn) + " " + std::to_string(s.boxRow) + " " +
                      std::to_string(s.offset));
    for (const auto& s : t.horizontal.View())
        out.push_back(SegmentText('H', s));
    for (const auto& s : t.vertical.View())
        out.push_back(SegmentText('V', s));
    return out;
}

using Lines = std::vector<std::string>;

// Pairs of lines of which a horizontal piece of one strictly crosses a
// vertical piece of the other.
int Crossings(std::span<const RoutedLine> lines)
{
    int count = 0;
    for (std::size_t a = 0; a < lines.size(); ++a)
        for (std::size_t b = 0; b < lines.size(); ++b) {
            if (a == b)
                continue;
            for (int i = 0; i + 1 < lines[a].pointCount; ++i) {
                const PixelPoint h0 = lines[a].points[i], h1 = lines[a].points[i + 1];
                if (h0.y != h1.y)
                    continue;
                for (int j = 0; j + 1 < lines[b].pointCount; ++j) {
                    const PixelPoint v0 = lines[b].points[j], v1 = lines[b].points[j + 1];
                    if (v0.x != v1.x)
                        continue;
                    if (std::min(h0.x, h1.x) < v0.x && v0.x < std::max(h0.x, h1.x) &&
                        std::min(v0.y, v1.y) < h0.y && h0.y < std::max(v0.y, v1.y))
                        ++count;
                }
            }
        }
    return count;
}

} // namespace

// ---- The worked examples of the picture

TEST(ConnectionRouting, NextExitToTheCellBelowIsOneDropStub)
{
    Machine m;
    const auto source = m.Place(KindStrLen, 2, 1);
    const auto target = m.Place(KindWdt, 3, 1);
    m.Connect(source, "Next", target);
    EXPECT_EQ(Describe(m.Route()), Lines({"drop 6 3 78"}));
    EXPECT_EQ(AllPoints(m.router->Lines()), Lines({"(312,600)(312,634)"}));
}

TEST(ConnectionRouting, BottomExitToTheNextRowRunsOnLaneZeroWithALegAtEachEnd)
{
    Machine m;
    const auto source = m.Place(KindStrLen, 0, 0);
    const auto target = m.Place(KindWdt, 1, 3);
    m.Connect(source, "Next", target);
    EXPECT_EQ(Describe(m.Route()), Lines({"H2 [1 leg up 78, 7 leg down] lane 0 link -1"}));
    // Up to the source's bottom edge at the exit, lane line at 204, down into
    // the target's top at 3 x 195 + 71.
    EXPECT_EQ(AllPoints(m.router->Lines()), Lines({"(113,201)(113,204)(656,204)(656,234)"}));
}

TEST(ConnectionRouting, BottomExitToARowAboveGoesLeftThenUpTheTargetsChannel)
{
    Machine m;
    const auto target = m.Place(KindWdt, 1, 0);
    const auto source = m.Place(KindStrLen, 4, 2);
    m.Connect(source, "Next", target);
    EXPECT_EQ(Describe(m.Route()), Lines({"H10 [0 up, 5 leg up 78] lane 0 link -1",
                                          "V0 [3 leg right, 10 right] lane 0 link 0"}));
    EXPECT_EQ(AllPoints(m.router->Lines()), Lines({
                                                "(35,1004)(507,1004)(507,1001)",
                                                // enters the target from the left at 200 + 165
                                                "(34,365)(4,365)(4,1004)(35,1004)",
                                            }));
}

TEST(ConnectionRouting, InputExitsToTheNextRowTakeLanesThatDoNotCross)
{
    Machine m;
    const auto input = m.Place(KindInput, 0, 0);
    const auto ok = m.Place(KindWdt, 1, 2);
    const auto error = m.Place(KindWdt, 1, 3);
    m.Connect(input, "OK", ok);
    m.Connect(input, "Error", error);
    EXPECT_EQ(Describe(m.Route()), Lines({"H2 [1 leg up 25, 5 leg down] lane 1 link -1",
                                          "H2 [1 leg up 78, 7 leg down] lane 0 link -1"}));
    EXPECT_EQ(AllPoints(m.router->Lines()), Lines({"(60,201)(60,208)(457,208)(457,234)",
                                                   "(113,201)(113,204)(656,204)(656,234)"}));
    EXPECT_EQ(Crossings(m.router->Lines()), 0);
}

TEST(ConnectionRouting, ReadKeyRightExitToTheNeighbourIsOneSideStub)
{
    Machine m;
    const auto key = m.Place(KindReadKey, 0, 0);
    const auto target = m.Place(KindWdt, 0, 1);
    // "1" spans 1..14 with 13-pixel labels: offset -6.
    m.Connect(key, "1", target);
    EXPECT_EQ(Describe(m.Route()), Lines({"side 2 1 6"}));
    EXPECT_EQ(AllPoints(m.router->Lines()), Lines({"(195,45)(229,45)"}));
}

TEST(ConnectionRouting, ConnectionsThatAreNotDrawn)
{
    ScriptedMessages messages;
    TitcItemsList list(messages);
    auto add = [&](std::int32_t id, int row, int column, std::int32_t next) {
        auto item = CreateItem(KindStrLen);
        item->id = id;
        item->row = row;
        item->column = column;
        static_cast<TItcStrLen&>(*item).nextTarget = next;
        ASSERT_TRUE(list.PutItem(std::move(item)));
    };
    add(1, 0, 0, 2);    // to an item in the same cell
    add(2, 0, 0, 2);    // to itself
    add(3, 2, 2, 999);  // to no item
    add(4, 2, 3, 0);    // not connected
    add(5, 3, 3, -7);   // to ids outside 1..1000
    add(6, 3, 4, 1001);
    ConnectionRouter router;
    router.Route(list, -1, {});
    EXPECT_TRUE(router.Lines().empty());
    EXPECT_TRUE(router.Messages().empty());
}

TEST(ConnectionRouting, HighlightFollowsTheSelection)
{
    Machine m;
    const auto input = m.Place(KindInput, 0, 0);
    const auto a = m.Place(KindWdt, 1, 0);
    const auto b = m.Place(KindWdt, 1, 2);
    const auto c = m.Place(KindWdt, 2, 1);
    m.Connect(input, "OK", a);
    m.Connect(input, "Error", b);
    m.Connect(a, "Next", c);

    struct Case { std::int32_t item; std::string exit; std::vector<int> highlights; };
    // Lines: drop stub OK, then the segments Error and a -> c.
    const Case cases[] = {
        {-1, "", {0, 0, 0}},
        {input, "", {1, 1, 0}},
        {input, "OK", {2, 0, 0}},
        {input, "Error", {0, 2, 0}},
        {input, "Cancel", {0, 0, 0}}, // an exit without a connection
        {a, "", {0, 0, 1}},
        {b, "", {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.item) + " " + c.exit);
        m.Route(c.item, c.exit);
        std::vector<int> got;
        for (const RoutedLine& line : m.router->Lines())
            got.push_back(line.highlight);
        EXPECT_EQ(got, c.highlights);
    }
}

// ---- The two route tables, every case

TEST(ConnectionRouting, RouteTables)
{
    struct Case {
        const char* name;
        std::int32_t sourceKind;
        const char* exit;
        int targetRow, targetColumn;
        Lines tables;
    };
    // The source sits in row 2, column 2: a StrLen with "Next" (offset 78) or
    // a ReadKey with "1" (offset -6).
    const Case cases[] = {
        {"below", KindStrLen, "Next", 3, 2, {"drop 6 5 78"}},
        {"next row, right", KindStrLen, "Next", 3, 4, {"H6 [5 leg up 78, 9 leg down] lane 0 link -1"}},
        {"next row, left", KindStrLen, "Next", 3, 0, {"H6 [1 leg down, 5 leg up 78] lane 0 link -1"}},
        {"further down, right", KindStrLen, "Next", 5, 4,
         {"H6 [5 leg up 78, 8 down] lane 0 link -1", "V8 [6 left, 11 leg right] lane 0 link 0"}},
        {"further down, left", KindStrLen, "Next", 5, 0,
         {"H6 [0 down, 5 leg up 78] lane 0 link -1", "V0 [6 right, 11 leg right] lane 0 link 0"}},
        {"further down, same column", KindStrLen, "Next", 5, 2,
         {"H6 [4 down, 5 leg up 78] lane 0 link -1", "V4 [6 right, 11 leg right] lane 0 link 0"}},
        {"same row, right", KindStrLen, "Next", 2, 4,
         {"H6 [5 leg up 78, 8 up] lane 0 link -1", "V8 [5 leg right, 6 left] lane 0 link 0"}},
        {"above, left", KindStrLen, "Next", 0, 0,
         {"H6 [0 up, 5 leg up 78] lane 0 link -1", "V0 [1 leg right, 6 right] lane 0 link 0"}},
        {"above, same column", KindStrLen, "Next", 0, 2,
         {"H6 [4 up, 5 leg up 78] lane 0 link -1", "V4 [1 leg right, 6 right] lane 0 link 0"}},

        {"beside", KindReadKey, "1", 2, 3, {"side 6 5 6"}},
        {"next column, down", KindReadKey, "1", 4, 3, {"V6 [5 leg left 6, 9 leg right] lane 0 link -1"}},
        {"next column, up", KindReadKey, "1", 0, 3, {"V6 [1 leg right, 5 leg left 6] lane 0 link -1"}},
        {"further right, down", KindReadKey, "1", 4, 5,
         {"H8 [6 up, 11 leg down] lane 0 link 0", "V6 [5 leg left 6, 8 right] lane 0 link 0"}},
        {"further right, same row", KindReadKey, "1", 2, 5,
         {"H4 [6 down, 11 leg down] lane 0 link 0", "V6 [4 right, 5 leg left 6] lane 0 link 0"}},
        {"left, up", KindReadKey, "1", 0, 0,
         {"H0 [1 leg down, 6 down] lane 0 link 0", "V6 [0 left, 5 leg left 6] lane 0 link 0"}},
        {"same column, down", KindReadKey, "1", 4, 2,
         {"H8 [5 leg down, 6 up] lane 0 link 0", "V6 [5 leg left 6, 8 left] lane 0 link 0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Machine m;
        const auto source = m.Place(c.sourceKind, 2, 2);
        const auto target = m.Place(KindWdt, c.targetRow, c.targetColumn);
        m.Connect(source, c.exit, target);
        EXPECT_EQ(Describe(m.Route()), c.tables);
        EXPECT_EQ(static_cast<int>(m.router->Lines().size()), static_cast<int>(c.tables.size()));
        EXPECT_TRUE(m.router->Messages().empty());
    }
}

// The end of a vertical segment that meets its horizontal partner moves down
// by the partner's lane first; its leg point is taken from the moved end.
TEST(ConnectionRouting, VerticalEndFollowsThePartnersLane)
{
    Machine m;
    const auto key = m.Place(KindReadKey, 0, 0);
    const auto a = m.Place(KindWdt, 2, 3);
    const auto b = m.Place(KindWdt, 2, 4);
    m.Connect(key, "1", a); // offset -6
    m.Connect(key, "2", b); // spans 15..28: offset -20
    EXPECT_EQ(Describe(m.Route()), Lines({
                                       "H4 [2 up, 7 leg down] lane 1 link 0",
                                       "H4 [2 up, 9 leg down] lane 0 link 1",
                                       "V2 [1 leg left 6, 4 right] lane 1 link 0",
                                       "V2 [1 leg left 20, 4 right] lane 0 link 1",
                                   }));
    EXPECT_EQ(AllPoints(m.router->Lines()), Lines({
                                                "(230,408)(652,408)(652,434)",
                                                "(230,404)(851,404)(851,434)",
                                                "(196,45)(203,45)(203,408)(230,408)",
                                                "(196,59)(199,59)(199,404)(230,404)",
                                            }));
}

// ---- Lane rules, on segments placed straight into the tables

namespace {

struct Seg {
    std::int64_t start;
    End startEnd;
    std::int64_t far;
    End farEnd;
    int link = -1;
};

End E(bool leg, Tables::Direction d, std::int64_t offset = 0) { return End{leg, d, offset}; }

constexpr auto kDown = Tables::kDown;
constexpr auto kUp = Tables::kUp;
constexpr auto kLeft = Tables::kLeft;
constexpr auto kRight = Tables::kRight;

std::unique_ptr<Tables> EmptyTables()
{
    auto t = std::make_unique<Tables>();
    t->Clear();
    return t;
}

// Gives the partner table `lanes.size()` segments with those lanes, so that
// links 0, 1, ... name partners with known lanes.
void SetPartnerLanes(Tables::SegmentTable& partners, std::initializer_list<int> lanes)
{
    partners.count = 0;
    for (int lane : lanes)
        partners.entries[partners.count++].lane = lane;
}

int Add(Tables& t, bool horizontal, const Seg& s, std::int64_t channel = 2)
{
    return horizontal ? t.AddHorizontal(channel, s.start, s.startEnd, s.far, s.farEnd, 0, s.link)
                      : t.AddVertical(channel, s.start, s.startEnd, s.far, s.farEnd, 0, s.link);
}

} // namespace

// One segment S on lane 0, then N: either the rules push S (N takes lane 0,
// S moves to 1) or they do not (N goes above S). Partners: link 0 has lane 1,
// link 1 has lane 2.
TEST(ConnectionRouting, LoAndHiRulesDecideWhoIsPushed)
{
    struct Case {
        const char* name;
        bool horizontal;
        Seg s, n;
        bool pushed;
    };
    const Case cases[] = {
        // lo rule (a): both continue in the first direction at lo.
        {"a: S starts later", true, {3, E(0, kDown), 9, E(1, kDown)}, {1, E(0, kDown), 9, E(1, kDown)}, true},
        {"a: S starts earlier", true, {1, E(0, kDown), 9, E(1, kDown)}, {3, E(0, kDown), 9, E(1, kDown)}, false},
        {"a: same lo, N's partner lower", true,
         {1, E(0, kDown), 5, E(1, kDown), 1}, {1, E(0, kDown), 5, E(1, kDown), 0}, true},
        {"a: same lo, N's partner higher, hi rule does not push", true,
         {1, E(0, kDown), 5, E(1, kDown), 0}, {1, E(0, kDown), 5, E(1, kDown), 1}, false},
        {"a: same lo, N's partner higher, hi rule pushes", true,
         {1, E(0, kDown), 3, E(1, kDown), 0}, {1, E(0, kDown), 5, E(1, kDown), 1}, true},
        {"a: same lo, N has a leg at lo: hi rule", true,
         {1, E(1, kDown), 5, E(1, kDown), 1}, {1, E(1, kDown), 5, E(1, kDown), 0}, false},
        {"a: same lo, S without link: hi rule", true,
         {1, E(0, kDown), 5, E(1, kDown)}, {1, E(0, kDown), 5, E(1, kDown), 0}, false},
        {"a: vertical segments have no partner test at lo", false,
         {1, E(0, kRight), 5, E(1, kRight), 1}, {1, E(0, kRight), 5, E(1, kRight), 0}, false},
        // lo rule (b): both continue in the second direction at lo.
        {"b: S starts earlier", true, {1, E(1, kUp), 9, E(1, kDown)}, {3, E(1, kUp), 9, E(1, kDown)}, true},
        {"b: S starts later", true, {3, E(1, kUp), 9, E(1, kDown)}, {1, E(1, kUp), 9, E(1, kDown)}, false},
        {"b: same lo, smaller offset", true, {1, E(1, kUp, 25), 9, E(1, kDown)}, {1, E(1, kUp, 78), 9, E(1, kDown)}, true},
        {"b: same lo, larger offset", true, {1, E(1, kUp, 78), 9, E(1, kDown)}, {1, E(1, kUp, 25), 9, E(1, kDown)}, false},
        {"b: same lo and offset: hi rule", true, {1, E(1, kUp, 25), 5, E(1, kDown)}, {1, E(1, kUp, 25), 9, E(1, kDown)}, true},
        {"b: vertical", false, {1, E(1, kLeft, -6), 9, E(1, kRight)}, {1, E(1, kLeft, -20), 9, E(1, kRight)}, true},
        // lo rule (c) and (d): different directions at lo.
        {"c: N second, S first", true, {3, E(0, kDown), 9, E(1, kDown)}, {1, E(1, kUp), 9, E(1, kDown)}, true},
        {"d: N first, S second", true, {1, E(1, kUp), 9, E(1, kDown)}, {3, E(0, kDown), 9, E(1, kDown)}, false},
        // hi rule (a): N continues in the first direction at hi.
        {"hi a: S ends earlier", true, {1, E(1, kUp), 5, E(1, kDown)}, {1, E(1, kUp), 9, E(1, kDown)}, true},
        {"hi a: S ends later", true, {1, E(1, kUp), 9, E(1, kDown)}, {1, E(1, kUp), 5, E(1, kDown)}, false},
        {"hi a: S turns the other way", true, {1, E(1, kUp), 5, E(0, kUp)}, {1, E(1, kUp), 9, E(1, kDown)}, false},
        {"hi a: same hi, N's partner higher", true,
         {1, E(1, kUp), 6, E(0, kDown), 0}, {1, E(1, kUp), 6, E(0, kDown), 1}, true},
        {"hi a: same hi, N's partner lower", true,
         {1, E(1, kUp), 6, E(0, kDown), 1}, {1, E(1, kUp), 6, E(0, kDown), 0}, false},
        {"hi a: same hi, N has a leg at hi", true,
         {1, E(1, kUp), 6, E(1, kDown), 0}, {1, E(1, kUp), 6, E(1, kDown), 1}, false},
        {"hi a: vertical, same hi, N's partner higher", false,
         {1, E(1, kLeft), 6, E(0, kRight), 0}, {1, E(1, kLeft), 6, E(0, kRight), 1}, true},
        // hi rule (b): N continues in the second direction at hi.
        {"hi b: S ends later", true, {1, E(1, kUp), 9, E(0, kUp)}, {1, E(1, kUp), 5, E(0, kUp)}, true},
        {"hi b: S ends earlier", true, {1, E(1, kUp), 5, E(0, kUp)}, {1, E(1, kUp), 9, E(0, kUp)}, false},
        {"hi b: S turns the other way", true, {1, E(1, kUp), 5, E(1, kDown)}, {1, E(1, kUp), 9, E(0, kUp)}, true},
        {"hi b: same hi, N's partner lower", true,
         {1, E(1, kUp), 6, E(0, kUp), 1}, {1, E(1, kUp), 6, E(0, kUp), 0}, true},
        {"hi b: same hi, N's partner higher", true,
         {1, E(1, kUp), 6, E(0, kUp), 0}, {1, E(1, kUp), 6, E(0, kUp), 1}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto t = EmptyTables();
        SetPartnerLanes(c.horizontal ? t->vertical : t->horizontal, {1, 2});
        auto& table = c.horizontal ? t->horizontal : t->vertical;
        ASSERT_EQ(Add(*t, c.horizontal, c.s), 0);
        ASSERT_EQ(Add(*t, c.horizontal, c.n), 1);
        EXPECT_EQ(table.entries[0].lane, c.pushed ? 1 : 0) << "S";
        EXPECT_EQ(table.entries[1].lane, c.pushed ? 0 : 1) << "N";
        EXPECT_FALSE(table.entries[0].pushed);
    }
}

TEST(ConnectionRouting, OverlapAndChannels)
{
    struct Case {
        const char* name;
        Seg s;
        std::int64_t sChannel;
        Seg n;
        bool overlap;
    };
    // S continues up at lo and N down, so N never pushes S: N lands above S
    // exactly when the two overlap.
    const Case cases[] = {
        {"meet at one coordinate with equal offsets", {1, E(1, kUp), 3, E(0, kUp)}, 2, {3, E(0, kDown), 7, E(1, kDown)},
         true},
        {"meet, S's hi offset smaller", {1, E(1, kUp), 3, E(0, kUp)}, 2, {3, E(1, kDown, 25), 7, E(1, kDown)}, false},
        {"meet, S's hi offset larger", {1, E(1, kUp), 3, E(1, kUp, 78)}, 2, {3, E(0, kDown), 7, E(1, kDown)}, true},
        {"apart", {1, E(1, kUp), 3, E(0, kUp)}, 2, {5, E(0, kDown), 7, E(1, kDown)}, false},
        {"other channel", {1, E(1, kUp), 9, E(0, kUp)}, 4, {1, E(0, kDown), 9, E(0, kUp)}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto t = EmptyTables();
        ASSERT_EQ(Add(*t, true, c.s, c.sChannel), 0);
        ASSERT_EQ(Add(*t, true, c.n, 2), 1);
        EXPECT_EQ(t->horizontal.entries[0].lane, 0);
        EXPECT_EQ(t->horizontal.entries[1].lane, c.overlap ? 1 : 0);
    }
}

// N's lane is the lowest lane among the segments pushed above it; whatever
// overlaps a pushed segment at or above its lane anywhere in the channel is
// pushed too; other channels do not move.
TEST(ConnectionRouting, PushedSegmentsCarryTheirChannelUp)
{
    auto t = EmptyTables();
    auto& h = t->horizontal;
    const Seg longDown{1, E(0, kDown), 20, E(1, kDown)};
    // Lanes 0, 1, 2 stacked over 1..20, all continuing down at 1.
    ASSERT_EQ(Add(*t, true, longDown), 0);
    ASSERT_EQ(Add(*t, true, longDown), 1);
    ASSERT_EQ(Add(*t, true, longDown), 2);
    // Added last, each of them went above the others.
    EXPECT_EQ(h.entries[0].lane, 0);
    EXPECT_EQ(h.entries[1].lane, 1);
    EXPECT_EQ(h.entries[2].lane, 2);
    // A segment further right, overlapping only those three, on lane 3.
    ASSERT_EQ(Add(*t, true, {20, E(0, kDown), 40, E(1, kDown)}), 3);
    EXPECT_EQ(h.entries[3].lane, 3);
    // A segment beyond it, overlapping only the one at 20..40.
    ASSERT_EQ(Add(*t, true, {40, E(0, kDown), 60, E(1, kDown)}), 4);
    EXPECT_EQ(h.entries[4].lane, 4);
    // The same in another channel.
    ASSERT_EQ(Add(*t, true, longDown, 6), 5);

    // N continues up at 1 with a larger offset: it pushes all three stacked
    // ones (lo rule c), takes lane 0, and the closure carries 20..40 and then
    // 40..60 up, though N overlaps neither.
    ASSERT_EQ(Add(*t, true, {1, E(1, kUp, 78), 19, E(1, kDown)}), 6);
    EXPECT_EQ(h.entries[6].lane, 0);
    for (int i : {0, 1, 2, 3, 4})
        EXPECT_EQ(h.entries[i].lane, i + 1) << i;
    EXPECT_EQ(h.entries[5].lane, 0);
    for (const auto& s : h.View())
        EXPECT_FALSE(s.pushed);
}

TEST(ConnectionRouting, LaneIsTheLowestPushedOneAndMayRepeatAnOverlappingLane)
{
    // S1 on lane 0 over 1..5 and S2 on lane 0 over 7..11 do not overlap each
    // other; N over 1..11 overlaps both. N pushes S1 (it continues up at lo,
    // S1 down) but not S2, which continues up at lo from a later coordinate.
    // N takes the lowest pushed lane, 0, and S2 stays on lane 0 under it: the
    // steps as they stand leave the two on one lane.
    auto t = EmptyTables();
    auto& h = t->horizontal;
    ASSERT_EQ(Add(*t, true, {1, E(0, kDown), 5, E(1, kDown)}), 0);
    ASSERT_EQ(Add(*t, true, {7, E(1, kUp), 11, E(1, kDown)}), 1);
    ASSERT_EQ(h.entries[1].lane, 0);
    ASSERT_EQ(Add(*t, true, {1, E(1, kUp), 11, E(1, kDown)}), 2);
    EXPECT_EQ(h.entries[0].lane, 1);
    EXPECT_EQ(h.entries[1].lane, 0);
    EXPECT_EQ(h.entries[2].lane, 0);

    // With S1 already on lane 2 (two segments below it over 1..5 that N does
    // not push), N takes lane 2 instead of the lane above them all.
    auto u = EmptyTables();
    auto& g = u->horizontal;
    ASSERT_EQ(Add(*u, true, {1, E(0, kDown), 5, E(1, kDown)}), 0);
    ASSERT_EQ(Add(*u, true, {1, E(0, kDown), 5, E(1, kDown)}), 1);
    ASSERT_EQ(Add(*u, true, {1, E(0, kDown), 5, E(1, kDown)}), 2);
    // Lanes now 0, 1, 2 for entries 0, 1, 2. Let the top one start later
    // than N so that only it is pushed.
    g.entries[2].lo = 2;
    ASSERT_EQ(Add(*u, true, {1, E(0, kDown), 5, E(1, kDown)}), 3);
    EXPECT_EQ(g.entries[3].lane, 2);
    EXPECT_EQ(g.entries[2].lane, 3);
    EXPECT_EQ(g.entries[0].lane, 0);
    EXPECT_EQ(g.entries[1].lane, 1);
}

namespace {

// The lane assignment followed step by step over the whole table, the
// closure in repeated passes: the reference for the tables' channel chains
// and their narrowed closure.
struct ReferenceLanes {
    bool horizontal;
    std::vector<int> partnerLanes;
    std::vector<Tables::Segment> segments;

    static bool Before(const Tables::Segment& a, const Tables::Segment& b)
    {
        return a.hi < b.lo || (a.hi == b.lo && a.hiEnd.offset < b.loEnd.offset);
    }
    static bool Overlap(const Tables::Segment& a, const Tables::Segment& b) { return !Before(a, b) && !Before(b, a); }

    bool Linked(const Tables::Segment& s) const { return s.link >= 0; }
    int Partner(const Tables::Segment& s) const { return partnerLanes[s.link]; }

    bool Hi(const Tables::Segment& n, const Tables::Segment& s) const
    {
        const auto first = horizontal ? kDown : kRight, second = horizontal ? kUp : kLeft;
        const bool partners = !n.hiEnd.leg && Linked(n) && Linked(s);
        if (n.hiEnd.direction == first)
            return s.hiEnd.direction == first &&
                   (s.hi < n.hi || (s.hi == n.hi && partners && Partner(n) > Partner(s)));
        if (n.hiEnd.direction == second)
            return s.hiEnd.direction != second || s.hi > n.hi ||
                   (s.hi == n.hi && partners && Partner(n) < Partner(s));
        return false;
    }

    bool Push(const Tables::Segment& n, const Tables::Segment& s) const
    {
        const auto first = horizontal ? kDown : kRight, second = horizontal ? kUp : kLeft;
        if (n.loEnd.direction == first && s.loEnd.direction == first) {
            if (s.lo > n.lo)
                return true;
            if (s.lo < n.lo)
                return false;
            if (horizontal && !n.loEnd.leg && Linked(n) && Linked(s) && Partner(n) < Partner(s))
                return true;
            return Hi(n, s);
        }
        if (n.loEnd.direction == second && s.loEnd.direction == second) {
            if (s.lo < n.lo || (s.lo == n.lo && s.loEnd.offset < n.loEnd.offset))
                return true;
            return s.lo == n.lo && Hi(n, s);
        }
        return n.loEnd.direction == second && s.loEnd.direction != second;
    }

    int Add(Tables::Segment n)
    {
        const std::size_t ni = segments.size();
        n.lane = 0;
        segments.push_back(n);
        int r = 0, lowest = INT_MAX;
        for (std::size_t i = 0; i < ni; ++i) {
            auto& s = segments[i];
            if (s.channel != n.channel || !Overlap(n, s))
                continue;
            r = std::max(r, s.lane + 1);
            if (Push(n, s)) {
                s.pushed = true;
                lowest = std::min(lowest, s.lane);
            }
        }
        segments[ni].lane = std::min(r, lowest);
        std::vector<std::size_t> channel;
        for (std::size_t i = 0; i < ni; ++i)
            if (segments[i].channel == n.channel)
                channel.push_back(i);
        for (bool more = true; more;) {
            more = false;
            for (std::size_t p : channel)
                for (std::size_t q : channel) {
                    auto &P = segments[p], &Q = segments[q];
                    if (P.pushed && !Q.pushed && Overlap(P, Q) && Q.lane >= P.lane)
                        Q.pushed = more = true;
                }
        }
        for (auto& s : segments)
            if (s.pushed)
                ++s.lane, s.pushed = false;
        return static_cast<int>(ni);
    }
};

} // namespace

TEST(ConnectionRouting, LanesMatchTheStepsFollowedLiterally)
{
    for (bool horizontal : {true, false}) {
        for (std::uint32_t seed : {1u, 7u, 42u}) {
            SCOPED_TRACE(std::string(horizontal ? "horizontal" : "vertical") + " seed " + std::to_string(seed));
            auto random = [&seed](int n) {
                seed = seed * 1103515245u + 12345u;
                return static_cast<int>((seed >> 16) % static_cast<std::uint32_t>(n));
            };
            auto t = EmptyTables();
            ReferenceLanes ref{horizontal, {}, {}};
            auto& partners = horizontal ? t->vertical : t->horizontal;
            partners.count = 50;
            for (int i = 0; i < 50; ++i)
                ref.partnerLanes.push_back(partners.entries[i].lane = random(4));
            // Channels that share hash slots, far ones and negative ones.
            const std::int64_t channels[] = {0, 2, 4, -6, 4096, 1LL << 40, -(1LL << 33), 2 * 2047};
            const auto first = horizontal ? kDown : kRight, second = horizontal ? kUp : kLeft;
            for (int i = 0; i < 600; ++i) {
                const std::int64_t channel = channels[random(8)];
                const std::int64_t a = random(24), b = a + random(8);
                const End start{random(2) == 1, random(2) ? first : second,
                                (horizontal ? 1 : -1) * static_cast<std::int64_t>(random(3))};
                const End far{random(2) == 1, random(2) ? first : second, 0};
                const int link = random(3) ? random(50) : -1;
                const int got = horizontal ? t->AddHorizontal(channel, a, start, b, far, 0, link)
                                           : t->AddVertical(channel, a, start, b, far, 0, link);
                ASSERT_GE(got, 0);
                // The reference takes the segment as the table stored it.
                ASSERT_EQ(got, ref.Add((horizontal ? t->horizontal : t->vertical).entries[got])) << i;
            }
            const auto& table = horizontal ? t->horizontal : t->vertical;
            int stacked = 0;
            for (int i = 0; i < table.count; ++i) {
                ASSERT_EQ(table.entries[i].lane, ref.segments[i].lane) << i;
                stacked = std::max(stacked, table.entries[i].lane);
            }
            EXPECT_GT(stacked, 3) << "the random segments should crowd their channels";
        }
    }
}

// The segment built second has its link from the start, so its own lane
// assignment already compares partner lanes.
TEST(ConnectionRouting, SecondSegmentComparesPartnerLanesWhenAdded)
{
    // Two items side by side, both to one item three rows up: their vertical
    // segments share channel and ends and only their partners' lanes tell
    // them apart. The second one's horizontal partner took the lower lane, so
    // its vertical segment goes below the first one's and the two do not
    // cross where they turn into their horizontal partners.
    Machine m;
    const auto first = m.Place(KindWdt, 4, 0);
    const auto second = m.Place(KindWdt, 4, 1);
    const auto target = m.Place(KindWdt, 1, 3);
    m.Connect(first, "Next", target);
    m.Connect(second, "Next", target);
    EXPECT_EQ(Describe(m.Route()), Lines({
                                       "H10 [1 leg up 78, 6 up] lane 1 link -1",
                                       "H10 [3 leg up 78, 6 up] lane 0 link -1",
                                       "V6 [3 leg right, 10 left] lane 1 link 0",
                                       "V6 [3 leg right, 10 left] lane 0 link 1",
                                   }));
    EXPECT_EQ(AllPoints(m.router->Lines()), Lines({
                                                "(113,1001)(113,1008)(589,1008)",
                                                "(308,1001)(308,1004)(589,1004)",
                                                "(619,369)(593,369)(593,1008)(585,1008)",
                                                "(619,365)(589,365)(589,1004)(585,1004)",
                                            }));
    EXPECT_EQ(Crossings(m.router->Lines()), 0);
}

// ---- Exits, offsets and messages

// Every exit of every kind routes under its own label: the target read for
// each slot is the one the model's SetConnection writes.
TEST(ConnectionRouting, EveryExitOfEveryKindRoutesUnderItsLabel)
{
    for (std::int32_t kind : kItemKinds) {
        const auto probe = CreateItem(kind, &kMeasurer);
        const int bottom = probe->bottomExitCount, right = probe->rightExitCount;
        for (int slot = 0; slot < bottom + right; ++slot) {
            const std::string label = slot < bottom ? probe->bottomExits[slot].label
                                                    : probe->rightExits[slot - bottom].label;
            SCOPED_TRACE(std::string(ToolCaption(kind)) + " " + label);
            Machine m;
            const auto source = m.Place(kind, 0, 0);
            const auto target = m.Place(KindWdt, 4, 4);
            m.Connect(source, label, target);
            m.Route(source, label);
            ASSERT_FALSE(m.router->Lines().empty());
            for (const RoutedLine& line : m.router->Lines())
                EXPECT_EQ(line.highlight, 2);
            // Bottom exits leave downwards into channel 2, right exits to the
            // right into channel 2.
            const Tables& t = m.router->ScratchTables();
            if (slot < bottom) {
                ASSERT_EQ(t.horizontal.count, 1);
                EXPECT_EQ(t.horizontal.entries[0].channel, 2);
            } else {
                ASSERT_EQ(t.vertical.count, 1);
                EXPECT_EQ(t.vertical.entries[0].channel, 2);
                EXPECT_EQ(t.vertical.entries[0].loEnd.direction, kLeft);
            }
        }
    }
}

// A ReadKey read while nothing measures its labels has degenerate spans: the
// offset's sign picks the route, whichever edge the exit is on, and only an
// offset of 0 is reported.
TEST(ConnectionRouting, UnmeasuredReadKeyRoutesByTheSignOfItsOffsets)
{
    ScriptedMessages messages;
    MachineText text;
    for (std::int32_t id : {1, 2}) {
        TItcReadKeyMenu key; // no measurer
        key.id = id;
        key.kind = KindReadKey;
        key.row = id == 1 ? 0 : 2;
        key.f1Target = 3;    // 1..-1: offset -1, a right-exit route
        key.enterTarget = 3; // 2..1: offset 0, reported
        key.spaceTarget = 3; // 3..2: offset 1, a bottom-exit route
        key.digit1Target = id == 1 ? 3 : 0; // "1" 1..0 on the right: offset +1, a bottom-exit route
        text.push_back(key.WriteRecord());
    }
    TItcWdt wdt;
    wdt.id = 3;
    wdt.kind = KindWdt;
    wdt.row = 1;
    wdt.column = 3;
    text.push_back(wdt.WriteRecord());
    TitcItemsList list(text, messages);

    ConnectionRouter router;
    router.Route(list, -1, {});
    EXPECT_EQ(router.Messages(), Lines({"Connection (E) is incorrect", "Connection (E) is incorrect"}));
    EXPECT_TRUE(messages.shown.empty()) << "the window shows the messages, not the router";
    EXPECT_EQ(Describe(router.ScratchTables()),
              Lines({
                  "H2 [2 up, 7 leg down] lane 0 link 0",        // 1: F1
                  "H2 [1 leg up 1, 7 leg down] lane 1 link -1", // 1: S
                  "H2 [1 leg up 1, 7 leg down] lane 2 link -1", // 1: "1"
                  "H2 [2 down, 7 leg down] lane 3 link 1",      // 2: F1
                  "H6 [1 leg up 1, 6 up] lane 0 link -1",       // 2: S
                  "V2 [1 leg left 1, 2 right] lane 0 link 0",   // 1: F1
                  "V2 [2 right, 5 leg left 1] lane 1 link 3",   // 2: F1
                  "V6 [3 leg right, 6 left] lane 0 link 4",     // 2: S
              }));
    EXPECT_EQ(router.Lines().size(), 8u);
}

// ---- Bad input

TEST(ConnectionRouting, BadMachineTextRoutesWithoutFault)
{
    // Items far outside any grid (where half-cell coordinates and pixels leave
    // the int range), two items in one cell, and connections to missing ids,
    // to the item itself and to ids outside 1..1000.
    const std::int32_t places[][2] = {
        {0, 0}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {-1, -1}, {-3, 5}, {0, 0}, {INT_MAX - 1, 0},
    };
    const std::int32_t badTargets[] = {999, -1, 1001, INT_MIN, INT_MAX};
    MachineText text;
    std::int32_t id = 1;
    for (const auto& p : places) {
        TItcInputMenu input;
        input.id = id;
        input.row = p[0];
        input.column = p[1];
        input.okTarget = id % 8 + 1;
        input.errorTarget = (id + 3) % 8 + 1;
        input.cancelTarget = id % 2 ? id : badTargets[id % 5];
        text.push_back(input.WriteRecord());
        ++id;
    }
    // A ReadKey read without a measurer: its "E" exit has an empty span, but
    // a connection that is not drawn anyway is not reported.
    TItcReadKeyMenu key;
    key.id = 9;
    key.row = 7;
    key.enterTarget = 9;
    key.cancelTarget = 1000;
    key.digit0Target = 1;
    text.push_back(key.WriteRecord());
    TItcReadKeyMenu beside;
    beside.id = 10;
    beside.row = 7;
    beside.enterTarget = 9; // same cell
    text.push_back(beside.WriteRecord());

    ScriptedMessages messages;
    TitcItemsList list(text, messages);
    ASSERT_EQ(list.Count(), 10) << messages.transcript();
    ASSERT_EQ(list.ItemById(2)->row, INT_MAX);
    ASSERT_EQ(list.ItemById(3)->column, INT_MIN);

    ConnectionRouter router;
    router.Route(list, 1, {});
    EXPECT_TRUE(router.Messages().empty());
    EXPECT_GT(router.Lines().size(), 10u);
    for (const RoutedLine& line : router.Lines())
        ASSERT_GE(line.pointCount, 2);
    // From the entry item in row 0 to the one in row INT_MAX: down its
    // channel to the clamped bottom of the picture.
    bool clamped = false;
    for (const RoutedLine& line : router.Lines())
        for (int i = 0; i < line.pointCount; ++i)
            clamped = clamped || line.points[i].y == INT_MAX;
    EXPECT_TRUE(clamped);
}

TEST(ConnectionRouting, FullTablesDropFurtherEntriesAndTheirLinks)
{
    // 1000 items, 40 columns by 25 rows, every exit connected to an item far
    // away: far more than 1000 segments of each orientation.
    ScriptedMessages messages;
    TitcItemsList list(messages, &kMeasurer);
    for (std::int32_t id = 1; id <= kMaxItemId; ++id) {
        auto item = CreateItem(kItemKinds[id % kItemKinds.size()], &kMeasurer);
        item->id = id;
        item->row = (id - 1) / 40;
        item->column = (id - 1) % 40;
        ASSERT_TRUE(list.PutItem(std::move(item)));
    }
    std::uint32_t seed = 1;
    list.ForEachItem([&](TitcItem& item) {
        for (int slot = 0; slot < item.bottomExitCount + item.rightExitCount; ++slot) {
            seed = seed * 1103515245u + 12345u;
            const std::string label = slot < item.bottomExitCount ? item.bottomExits[slot].label
                                                                    : item.rightExits[slot - item.bottomExitCount].label;
            item.SetConnection(label, static_cast<std::int32_t>(seed >> 16) % kMaxItemId + 1, messages);
        }
    });
    ConnectionRouter router;
    router.Route(list, 500, {});
    const Tables& t = router.ScratchTables();
    EXPECT_EQ(t.horizontal.count, Tables::kCapacity);
    EXPECT_EQ(t.vertical.count, Tables::kCapacity);
    EXPECT_EQ(static_cast<int>(router.Lines().size()),
              t.dropCount + t.sideCount + t.horizontal.count + t.vertical.count);
    for (const auto* table : {&t.horizontal, &t.vertical})
        for (const auto& s : table->View()) {
            EXPECT_GE(s.link, -1);
            EXPECT_LT(s.link, Tables::kCapacity);
            EXPECT_FALSE(s.pushed);
        }
    // The vertical segments of bottom-exit routes that come after the
    // horizontal table filled up have no partner.
    bool unlinked = false;
    for (const auto& s : t.vertical.View())
        unlinked = unlinked || s.link == -1;
    EXPECT_TRUE(unlinked);
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();

    // A second routing of a smaller machine starts from empty tables.
    list.Clear();
    router.Route(list, -1, {});
    EXPECT_TRUE(router.Lines().empty());
    EXPECT_EQ(router.ScratchTables().horizontal.count, 0);
}

TEST(ConnectionRouting, OneColumnOfLongConnectionsFinishes)
{
    // Every item in column 0 and every exit to an item far above or below:
    // the vertical segments all share the channels 0 and 2 and overlap.
    ScriptedMessages messages;
    TitcItemsList list(messages, &kMeasurer);
    for (std::int32_t id = 1; id <= kMaxItemId; ++id) {
        auto item = CreateItem(KindNumCmp);
        item->id = id;
        item->row = id - 1;
        auto& cmp = static_cast<TItcNumCmp&>(*item);
        cmp.lessTarget = (id + 500) % kMaxItemId + 1;
        cmp.equalTarget = (id + 250) % kMaxItemId + 1;
        cmp.greaterTarget = (id + 750) % kMaxItemId + 1;
        ASSERT_TRUE(list.PutItem(std::move(item)));
    }
    ConnectionRouter router;
    router.Route(list, -1, {});
    EXPECT_EQ(router.ScratchTables().vertical.count, Tables::kCapacity);
}

TEST(ConnectionRouting, NoAllocationOnceWarm)
{
    Machine m;
    for (int row = 0; row < 6; ++row)
        for (int column = 0; column < 6; ++column)
            m.Place(kItemKinds[(row * 6 + column) % kItemKinds.size()], row, column);
    for (std::int32_t id = 1; id <= 36; ++id) {
        TitcItem& item = *m.list.ItemById(id);
        for (int slot = 0; slot < item.bottomExitCount; ++slot)
            m.Connect(id, item.bottomExits[slot].label, (id * 7 + slot) % 36 + 1);
        for (int slot = 0; slot < item.rightExitCount; ++slot)
            m.Connect(id, item.rightExits[slot].label, (id * 5 + slot) % 36 + 1);
    }
    m.Route(3, {});
    ASSERT_GT(m.router->Lines().size(), 20u);
    gAllocations = 0;
    gCountAllocations = true;
    m.Route(3, "OK");
    gCountAllocations = false;
    EXPECT_EQ(gAllocations.load(), 0);
}
