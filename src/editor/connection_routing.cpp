#include "editor/connection_routing.h"

#include "model/item_kinds.h"
#include "model/items_list.h"

#include <algorithm>
#include <climits>

namespace qvt {

namespace {

using Tables = ConnectionRouter::Tables;
using Segment = Tables::Segment;
using SegmentTable = Tables::SegmentTable;
using End = Tables::End;

constexpr std::int64_t kCellW = kCellWidth;
constexpr std::int64_t kCellH = kCellHeight;

// Exits of one item: at most 13 along the bottom and 13 along the right edge.
constexpr int kMaxExits = 2 * kExitSlots;

int ToPixel(std::int64_t v)
{
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

bool IsOdd(std::int64_t v) { return v % 2 != 0; }

// Targets of an item's exits in slot order (bottom exits, then right exits),
// read straight from the kind's fields so that routing allocates nothing.
// Returns how many were written.
int ReadTargets(const TitcItem& item, std::array<std::int32_t, kMaxExits>& out)
{
    int n = 0;
    auto put = [&](std::initializer_list<std::int32_t> targets) {
        for (std::int32_t t : targets)
            out[n++] = t;
    };
    switch (item.KindNumber()) {
    case KindInput: {
        const auto& k = static_cast<const TItcInputMenu&>(item);
        put({k.okTarget, k.errorTarget, k.cancelTarget});
        return n;
    }
    case KindReadKey: {
        const auto& k = static_cast<const TItcReadKeyMenu&>(item);
        put({k.f1Target, k.f2Target, k.f3Target, k.f4Target, k.f5Target, k.cancelTarget, k.enterTarget,
             k.spaceTarget, k.deleteTarget, k.upTarget, k.downTarget, k.leftTarget, k.rightTarget,
             k.digit1Target, k.digit2Target, k.digit3Target, k.digit4Target, k.digit5Target, k.digit6Target,
             k.digit7Target, k.digit8Target, k.digit9Target, k.digit0Target});
        return n;
    }
    case KindGetSequence: put({static_cast<const TItcGetSequence&>(item).nextTarget}); return n;
    case KindSecOfCentury: put({static_cast<const TitcSecOfCentury&>(item).nextTarget}); return n;
    case KindWriteToFlash: {
        const auto& k = static_cast<const TItcWriteToFlash&>(item);
        put({k.okTarget, k.errorTarget});
        return n;
    }
    case KindStrCopy:
    case KindStrCat: put({static_cast<const TItcStrCopyOrCat&>(item).nextTarget}); return n;
    case KindStrLen: put({static_cast<const TItcStrLen&>(item).nextTarget}); return n;
    case KindStrPos: put({static_cast<const TItcStrPos&>(item).nextTarget}); return n;
    case KindStrCmp: {
        const auto& k = static_cast<const TItcStrCmp&>(item);
        put({k.equalTarget, k.notEqualTarget});
        return n;
    }
    case KindProcess: put({static_cast<const TItcProcess&>(item).nextTarget}); return n;
    case KindNumCmp: {
        const auto& k = static_cast<const TItcNumCmp&>(item);
        put({k.lessTarget, k.equalTarget, k.greaterTarget});
        return n;
    }
    case KindGetDate: put({static_cast<const TItcGetDate&>(item).nextTarget}); return n;
    case KindGetTime: put({static_cast<const TItcGetTime&>(item).nextTarget}); return n;
    case KindWdt: put({static_cast<const TItcWdt&>(item).nextTarget}); return n;
    case KindSync:
    case KindTmrReturn: return 0;
    }
    // A kind this file does not know yet: ask the item (one allocation).
    for (std::int32_t t : item.ExitTargets()) {
        if (n == kMaxExits)
            break;
        out[n++] = t;
    }
    return n;
}

// Offset of an exit from the start of its edge: positive along the bottom,
// negative along the right; 0 for a degenerate span.
std::int64_t BottomOffset(const TBag& exit)
{
    const std::int64_t x1 = exit.first, x2 = exit.last;
    return x1 + (x2 - x1 - 1) / 2 - 1;
}

std::int64_t RightOffset(const TBag& exit)
{
    const std::int64_t y1 = exit.first, y2 = exit.last;
    return -(y1 + (y2 - y1 - 1) / 2 - 1);
}

int ExitCount(std::int32_t count) { return std::clamp<std::int32_t>(count, 0, kExitSlots); }

// The offset of the exit named `label`: the first bottom exit with that label,
// else (also when its offset is 0) the first right exit with it; 0 when none.
std::int64_t ExitOffset(const TitcItem& item, std::string_view label)
{
    const int bottom = ExitCount(item.bottomExitCount);
    for (int i = 0; i < bottom; ++i) {
        if (item.bottomExits[i].label == label) {
            if (const std::int64_t offset = BottomOffset(item.bottomExits[i]))
                return offset;
            break;
        }
    }
    const int right = ExitCount(item.rightExitCount);
    for (int j = 0; j < right; ++j)
        if (item.rightExits[j].label == label)
            return RightOffset(item.rightExits[j]);
    return 0;
}

// Position order of segments in one channel: an end is (coordinate, offset).
bool LiesBefore(const Segment& a, const Segment& b)
{
    return a.hi < b.lo || (a.hi == b.lo && a.hiEnd.offset < b.loEnd.offset);
}

bool Overlap(const Segment& a, const Segment& b) { return !LiesBefore(a, b) && !LiesBefore(b, a); }

// The lane rules of one orientation. Horizontal segments continue down (first
// direction) or up (second); vertical ones right (first) or left (second).
struct LaneRules {
    bool horizontal;
    Tables::Direction first;
    Tables::Direction second;
    const SegmentTable& partners;

    bool HasLink(const Segment& s) const { return s.link >= 0 && s.link < partners.count; }
    int PartnerLane(const Segment& s) const { return partners.entries[s.link].lane; }
    bool BothLinked(const Segment& n, const Segment& s) const { return HasLink(n) && HasLink(s); }

    // Whether S must lie on a higher lane than the new segment N.
    bool Push(const Segment& n, const Segment& s) const
    {
        if (n.loEnd.direction == first && s.loEnd.direction == first) {
            if (s.lo != n.lo)
                return s.lo > n.lo;
            if (horizontal && !n.loEnd.leg && BothLinked(n, s) && PartnerLane(n) < PartnerLane(s))
                return true;
            return HiRule(n, s);
        }
        if (n.loEnd.direction == second && s.loEnd.direction == second) {
            if (s.lo != n.lo)
                return s.lo < n.lo;
            if (s.loEnd.offset < n.loEnd.offset)
                return true;
            return HiRule(n, s);
        }
        return n.loEnd.direction == second;
    }

    // Only asked when both start at the same coordinate.
    bool HiRule(const Segment& n, const Segment& s) const
    {
        if (n.hiEnd.direction == first) {
            if (s.hiEnd.direction != first)
                return false;
            if (s.hi < n.hi)
                return true;
            return s.hi == n.hi && !n.hiEnd.leg && BothLinked(n, s) && PartnerLane(n) > PartnerLane(s);
        }
        if (n.hiEnd.direction == second) {
            if (s.hiEnd.direction != second)
                return true;
            if (s.hi > n.hi)
                return true;
            return s.hi == n.hi && !n.hiEnd.leg && BothLinked(n, s) && PartnerLane(n) < PartnerLane(s);
        }
        return false;
    }
};

std::size_t ChannelHash(std::int64_t channel)
{
    const std::uint64_t h = static_cast<std::uint64_t>(channel) * 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(h >> 53); // 11 bits: 2048 slots
}
static_assert(SegmentTable::kChannelSlots == 2048);

// Appends N to `table` and gives it its lane; the partner lanes come from
// `partners`. Returns N's index, or -1 when the table is full.
int AddSegment(SegmentTable& table, const SegmentTable& partners, bool horizontal, Segment n,
               std::array<int, Tables::kCapacity>& pushedList, std::array<int, Tables::kCapacity>& candidates)
{
    if (table.count == Tables::kCapacity)
        return -1;
    const LaneRules rules{horizontal, horizontal ? Tables::kDown : Tables::kRight,
                          horizontal ? Tables::kUp : Tables::kLeft, partners};
    int& head = table.HeadSlot(n.channel);
    auto& e = table.entries;
    auto& next = table.nextInChannel;

    // Every overlapping segment of the channel sets the lane above them all;
    // those the rules put above N are pushed.
    int r = 0;
    int lowestPushed = INT_MAX;
    int pushedCount = 0;
    for (int si = head; si != -1; si = next[si]) {
        Segment& s = e[si];
        if (!Overlap(n, s))
            continue;
        r = std::max(r, s.lane + 1);
        if (rules.Push(n, s)) {
            s.pushed = true;
            lowestPushed = std::min(lowestPushed, s.lane);
            pushedList[pushedCount++] = si;
        }
    }
    n.lane = std::min(r, lowestPushed);

    // Whatever overlaps a pushed segment at or above its lane is pushed too,
    // anywhere in the channel. Only segments at or above the lowest pushed
    // lane can ever qualify; each leaves the candidates once pushed. N is not
    // in the chain yet, so it takes no part.
    if (pushedCount > 0) {
        int candidateCount = 0;
        for (int qi = head; qi != -1; qi = next[qi])
            if (!e[qi].pushed && e[qi].lane >= lowestPushed)
                candidates[candidateCount++] = qi;
        for (int k = 0; k < pushedCount && candidateCount > 0; ++k) {
            const Segment& p = e[pushedList[k]];
            for (int c = 0; c < candidateCount;) {
                Segment& q = e[candidates[c]];
                if (q.lane >= p.lane && Overlap(p, q)) {
                    q.pushed = true;
                    pushedList[pushedCount++] = candidates[c];
                    candidates[c] = candidates[--candidateCount];
                } else {
                    ++c;
                }
            }
        }
    }
    for (int k = 0; k < pushedCount; ++k) {
        Segment& p = e[pushedList[k]];
        ++p.lane;
        p.pushed = false;
    }

    const int index = table.count++;
    n.pushed = false;
    e[index] = n;
    next[index] = head;
    head = index;
    return index;
}

Segment MakeSegment(std::int64_t channel, std::int64_t start, End startEnd, std::int64_t far, End farEnd,
                    int highlight, int link)
{
    Segment s;
    s.channel = channel;
    s.highlight = highlight;
    s.link = link;
    if (start <= far) {
        s.lo = start, s.loEnd = startEnd;
        s.hi = far, s.hiEnd = farEnd;
    } else {
        s.lo = far, s.loEnd = farEnd;
        s.hi = start, s.hiEnd = startEnd;
    }
    return s;
}

// Leg point of a segment's end at pixel (x, y).
PixelPoint LegPoint(const End& end, std::int64_t x, std::int64_t y, bool vertical)
{
    if (end.leg) {
        switch (end.direction) {
        case Tables::kDown: return {ToPixel(x), ToPixel(y / kCellH * kCellH + 34)};
        case Tables::kUp: return {ToPixel(x), ToPixel(y / kCellH * kCellH + 1)};
        case Tables::kLeft: return {ToPixel(x / kCellW * kCellW + 1), ToPixel(y)};
        case Tables::kRight: return {ToPixel(x / kCellW * kCellW + 34), ToPixel(y)};
        }
    } else if (vertical) {
        // Joins the lane line to the end of the horizontal partner.
        if (end.direction == Tables::kLeft)
            return {ToPixel(x / kCellW * kCellW), ToPixel(y)};
        if (end.direction == Tables::kRight)
            return {ToPixel(x / kCellW * kCellW + 35), ToPixel(y)};
    }
    return {ToPixel(x), ToPixel(y)};
}

void SegmentLine(RoutedLine& line, int highlight, PixelPoint loLeg, PixelPoint lo, PixelPoint hi, PixelPoint hiLeg)
{
    line.highlight = highlight;
    int n = 0;
    if (loLeg != lo)
        line.points[n++] = loLeg;
    line.points[n++] = lo;
    line.points[n++] = hi;
    if (hiLeg != hi)
        line.points[n++] = hiLeg;
    line.pointCount = n;
}

// Routes the connection from `label` of `source` to the item `target`.
void RouteConnection(Tables& t, const TitcItemsList& items, const TitcItem& source, const std::string& label,
                     std::int32_t target, std::int32_t selectedItemId, std::string_view selectedExit)
{
    if (target == 0 || target == source.id)
        return;
    const TitcItem* to = items.ItemById(target);
    if (!to || (to->row == source.row && to->column == source.column))
        return;

    int highlight = 0;
    if (source.id == selectedItemId)
        highlight = label == selectedExit ? 2 : selectedExit.empty() ? 1 : 0;

    const std::int64_t offset = ExitOffset(source, label);
    if (offset == 0) {
        t.messages.push_back("Connection (" + label + ") is incorrect");
        return;
    }

    const std::int64_t sr = source.row, sc = source.column, tr = to->row, tc = to->column;
    using D = Tables::Direction;
    auto end = [](bool leg, D direction, std::int64_t off = 0) { return End{leg, direction, off}; };

    if (offset > 0) {
        // Down into the channel below the source, along it, then (unless the
        // target is in the next row) along the channel left of the target.
        if (tr == sr + 1 && tc == sc) {
            t.AddDropStub({2 * sr + 2, 2 * sc + 1, offset, highlight});
        } else if (tr == sr + 1) {
            t.AddHorizontal(2 * sr + 2, 2 * sc + 1, end(true, Tables::kUp, offset), 2 * tc + 1,
                            end(true, Tables::kDown), highlight, -1);
        } else {
            const D across = tr > sr + 1 ? Tables::kDown : Tables::kUp;
            const int h = t.AddHorizontal(2 * sr + 2, 2 * sc + 1, end(true, Tables::kUp, offset), 2 * tc,
                                          end(false, across), highlight, -1);
            const D from = tc > sc ? Tables::kLeft : Tables::kRight;
            t.AddVertical(2 * tc, 2 * sr + 2, end(false, from, offset), 2 * tr + 1, end(true, Tables::kRight),
                          highlight, h);
        }
    } else {
        // Right into the channel beside the source, up or down it, then
        // (unless the target is in the next column) along the channel above
        // the target.
        if (tr == sr && tc == sc + 1) {
            t.AddSideStub({2 * sc + 2, 2 * sr + 1, -offset, highlight});
        } else if (tc == sc + 1) {
            t.AddVertical(2 * sc + 2, 2 * sr + 1, end(true, Tables::kLeft, offset), 2 * tr + 1,
                          end(true, Tables::kRight), highlight, -1);
        } else {
            const D across = tc > sc + 1 ? Tables::kRight : Tables::kLeft;
            const int v = t.AddVertical(2 * sc + 2, 2 * sr + 1, end(true, Tables::kLeft, offset), 2 * tr,
                                        end(false, across), highlight, -1);
            const D from = tr > sr ? Tables::kUp : Tables::kDown;
            const int h = t.AddHorizontal(2 * tr, 2 * sc + 2, end(false, from, offset), 2 * tc + 1,
                                          end(true, Tables::kDown), highlight, v);
            if (v >= 0)
                t.vertical.entries[v].link = h;
        }
    }
}

} // namespace

void Tables::SegmentTable::Clear()
{
    count = 0;
    channelHeads.fill(-1);
}

int& Tables::SegmentTable::HeadSlot(std::int64_t channel)
{
    // Each channel holds at least one segment, so at most kCapacity slots are
    // ever taken and a free one is always found.
    for (std::size_t slot = ChannelHash(channel);; slot = (slot + 1) % kChannelSlots) {
        if (channelHeads[slot] == -1) {
            channelKeys[slot] = channel;
            return channelHeads[slot];
        }
        if (channelKeys[slot] == channel)
            return channelHeads[slot];
    }
}

void Tables::Clear()
{
    dropCount = 0;
    sideCount = 0;
    horizontal.Clear();
    vertical.Clear();
    lineCount = 0;
    messages.clear();
}

int Tables::AddHorizontal(std::int64_t channel, std::int64_t start, End startEnd, std::int64_t far, End farEnd,
                          int highlight, int link)
{
    startEnd.offset = std::max<std::int64_t>(startEnd.offset, 0);
    farEnd.offset = std::max<std::int64_t>(farEnd.offset, 0);
    return AddSegment(horizontal, vertical, true, MakeSegment(channel, start, startEnd, far, farEnd, highlight, link),
                      pushedList, closureCandidates);
}

int Tables::AddVertical(std::int64_t channel, std::int64_t start, End startEnd, std::int64_t far, End farEnd,
                        int highlight, int link)
{
    startEnd.offset = startEnd.offset <= 0 ? -startEnd.offset : 0;
    farEnd.offset = farEnd.offset <= 0 ? -farEnd.offset : 0;
    return AddSegment(vertical, horizontal, false, MakeSegment(channel, start, startEnd, far, farEnd, highlight, link),
                      pushedList, closureCandidates);
}

void Tables::AddDropStub(const DropStub& stub)
{
    if (dropCount < kCapacity)
        drops[dropCount++] = stub;
}

void Tables::AddSideStub(const SideStub& stub)
{
    if (sideCount < kCapacity)
        sides[sideCount++] = stub;
}

void Tables::BuildLines()
{
    lineCount = 0;
    for (const DropStub& d : Drops()) {
        const std::int64_t x = d.boxColumn / 2 * kCellW + 39 + d.offset;
        const std::int64_t y = d.channelRow / 2 * kCellH;
        RoutedLine& line = lines[lineCount++];
        line.highlight = d.highlight;
        line.points[0] = {ToPixel(x), ToPixel(y)};
        line.points[1] = {ToPixel(x), ToPixel(y + 34)};
        line.pointCount = 2;
    }
    for (const SideStub& s : Sides()) {
        const std::int64_t x = s.channelColumn / 2 * kCellW;
        const std::int64_t y = s.boxRow / 2 * kCellH + 39 + s.offset;
        RoutedLine& line = lines[lineCount++];
        line.highlight = s.highlight;
        line.points[0] = {ToPixel(x), ToPixel(y)};
        line.points[1] = {ToPixel(x + 34), ToPixel(y)};
        line.pointCount = 2;
    }
    for (const Segment& s : horizontal.View()) {
        const std::int64_t lane = s.lane;
        const std::int64_t y = s.channel / 2 * kCellH + 4 * (lane + 1);
        const std::int64_t loX = s.loEnd.leg && s.loEnd.direction == kDown
                                     ? (s.lo / 2 + 1) * kCellW - 36 + 4 * lane
                                     : s.lo / 2 * kCellW + 35 + s.loEnd.offset;
        const std::int64_t hiX = s.hiEnd.leg && s.hiEnd.direction == kDown
                                     ? s.hi / 2 * kCellW + 71 - 4 * lane
                                     : s.hi / 2 * kCellW + 4 + s.hiEnd.offset + (IsOdd(s.hi) ? 35 : 0);
        SegmentLine(lines[lineCount++], s.highlight, LegPoint(s.loEnd, loX, y, false), {ToPixel(loX), ToPixel(y)},
                    {ToPixel(hiX), ToPixel(y)}, LegPoint(s.hiEnd, hiX, y, false));
    }
    for (const Segment& s : vertical.View()) {
        const std::int64_t lane = s.lane;
        const std::int64_t x = s.channel / 2 * kCellW + 4 * (lane + 1);
        std::int64_t loY = s.loEnd.leg && s.loEnd.direction == kRight
                               ? (s.lo / 2 + 1) * kCellH - 35 + 4 * lane
                               : s.lo / 2 * kCellH + 4 + s.loEnd.offset + (IsOdd(s.lo) ? 35 : 0);
        std::int64_t hiY = s.hiEnd.leg && s.hiEnd.direction == kRight
                               ? s.hi / 2 * kCellH + 56 - 4 * lane
                               : s.hi / 2 * kCellH + 4 + s.hiEnd.offset + (IsOdd(s.hi) ? 35 : 0);
        // The end that meets the horizontal partner follows that one's lane.
        if (s.link >= 0 && s.link < horizontal.count) {
            const std::int64_t shift = 4 * static_cast<std::int64_t>(horizontal.entries[s.link].lane);
            if (!s.loEnd.leg)
                loY += shift;
            if (!s.hiEnd.leg)
                hiY += shift;
        }
        SegmentLine(lines[lineCount++], s.highlight, LegPoint(s.loEnd, x, loY, true), {ToPixel(x), ToPixel(loY)},
                    {ToPixel(x), ToPixel(hiY)}, LegPoint(s.hiEnd, x, hiY, true));
    }
}

ConnectionRouter::ConnectionRouter() : tables_(new Tables)
{
    tables_->Clear();
}

ConnectionRouter::~ConnectionRouter() { delete tables_; }

void ConnectionRouter::Route(const TitcItemsList& items, std::int32_t selectedItemId, std::string_view selectedExit)
{
    Tables& t = *tables_;
    t.Clear();
    items.ForEachItem([&](const TitcItem& source) {
        std::array<std::int32_t, kMaxExits> targets;
        const int targetCount = ReadTargets(source, targets);
        const int bottom = ExitCount(source.bottomExitCount);
        const int right = ExitCount(source.rightExitCount);
        for (int slot = 0; slot < bottom + right; ++slot) {
            const TBag& exit = slot < bottom ? source.bottomExits[slot] : source.rightExits[slot - bottom];
            const std::int32_t target = slot < targetCount ? targets[slot] : 0;
            RouteConnection(t, items, source, exit.label, target, selectedItemId, selectedExit);
        }
    });
    t.BuildLines();
}

std::span<const RoutedLine> ConnectionRouter::Lines() const
{
    return {tables_->lines.data(), static_cast<std::size_t>(tables_->lineCount)};
}

const std::vector<std::string>& ConnectionRouter::Messages() const { return tables_->messages; }

const ConnectionRouter::Tables& ConnectionRouter::ScratchTables() const { return *tables_; }

} // namespace qvt
