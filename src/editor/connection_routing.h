#pragma once

#include "core/display_list.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qvt {

class TitcItemsList;

// One routed line as it is drawn: a stub's two end points, or a segment's leg
// point, end point, end point and leg point (a leg point equal to its end
// point left out). `highlight` picks the pen: 0 other connections, 1 the
// selected item's connections while no exit is selected, 2 the selected
// connection.
struct RoutedLine {
    int highlight = 0;
    std::array<PixelPoint, 4> points{};
    int pointCount = 0;
};

// Routes every connection of a machine through the channels between the cells
// and gives the lines in drawing order: drop stubs, side stubs, horizontal
// segments, vertical segments. The four scratch tables are fixed arrays of
// 1000 entries kept from one routing to the next, so routing allocates
// nothing; an entry offered to a full table is dropped.
//
// Keep one router per open machine (it is about 430 KB; hold it on the heap).
class ConnectionRouter {
public:
    ConnectionRouter();
    ~ConnectionRouter();
    ConnectionRouter(const ConnectionRouter&) = delete;
    ConnectionRouter& operator=(const ConnectionRouter&) = delete;

    // Routes every item's connections in ascending id order. A connection
    // whose exit label the item does not have adds
    // "Connection (<label>) is incorrect" to Messages() and is not drawn.
    void Route(const TitcItemsList& items, std::int32_t selectedItemId, std::string_view selectedExit);

    // The lines of the last routing, in drawing order. Valid until the next Route.
    std::span<const RoutedLine> Lines() const;
    const std::vector<std::string>& Messages() const;

    struct Tables;
    const Tables& ScratchTables() const; // for tests

private:
    Tables* tables_;
};

// The scratch tables of one routing. Coordinates are half-cell coordinates:
// along either axis 2k is the channel before cell k and 2k + 1 is the box of
// cell k. They are kept 64 bits wide so that items placed anywhere an int32
// row or column allows still route without overflow; pixel points are
// clamped to the int range when the lines are built.
struct ConnectionRouter::Tables {
    static constexpr int kCapacity = 1000;

    // Where a connection continues from the end of a segment.
    enum Direction : std::uint8_t { kDown = 0, kUp = 1, kLeft = 2, kRight = 3 };

    struct DropStub {
        std::int64_t channelRow = 0; // even
        std::int64_t boxColumn = 0;  // odd
        std::int64_t offset = 0;     // positive
        int highlight = 0;
    };
    struct SideStub {
        std::int64_t channelColumn = 0; // even
        std::int64_t boxRow = 0;        // odd
        std::int64_t offset = 0;        // made positive
        int highlight = 0;
    };
    struct End {
        bool leg = false;            // a short perpendicular leg into a box
        Direction direction = kDown;
        std::int64_t offset = 0;     // exit offset at this end, 0 elsewhere
    };
    struct Segment {
        std::int64_t channel = 0; // row coordinate (horizontal) or column coordinate (vertical), even
        int lane = 0;
        int link = -1;            // partner in the other segment table, -1 when none
        int highlight = 0;
        bool pushed = false;      // only set inside a lane assignment
        std::int64_t lo = 0;
        std::int64_t hi = 0;
        End loEnd;
        End hiEnd;
    };

    // Segments of one orientation, with their channels chained for the lane
    // assignment.
    struct SegmentTable {
        std::array<Segment, kCapacity> entries;
        int count = 0;
        // The segments of one channel are chained from its head through
        // nextInChannel, newest first.
        std::array<int, kCapacity> nextInChannel;

        static constexpr int kChannelSlots = 2048; // open addressing, > kCapacity
        std::array<std::int64_t, kChannelSlots> channelKeys;
        std::array<int, kChannelSlots> channelHeads; // -1: free slot

        std::span<const Segment> View() const { return {entries.data(), static_cast<std::size_t>(count)}; }
        void Clear();
        // Head of the chain of `channel` (-1 while it holds no segment); a
        // new channel takes a slot.
        int& HeadSlot(std::int64_t channel);
    };

    std::array<DropStub, kCapacity> drops;
    int dropCount = 0;
    std::array<SideStub, kCapacity> sides;
    int sideCount = 0;
    SegmentTable horizontal;
    SegmentTable vertical;

    std::array<RoutedLine, std::size_t{4} * kCapacity> lines;
    int lineCount = 0;
    std::vector<std::string> messages;

    // Indexes of the segments pushed during one lane assignment, and of those
    // that may still be pushed.
    std::array<int, kCapacity> pushedList;
    std::array<int, kCapacity> closureCandidates;

    std::span<const DropStub> Drops() const { return {drops.data(), static_cast<std::size_t>(dropCount)}; }
    std::span<const SideStub> Sides() const { return {sides.data(), static_cast<std::size_t>(sideCount)}; }

    // Empties every table, the lines and the messages.
    void Clear();

    // Adds a segment running in `channel` from coordinate `start` to `far`
    // (either order) and assigns its lane; `link` is its partner in the other
    // table (-1 for none). Horizontal segments keep only a non-negative start
    // offset, vertical ones the magnitude of a non-positive one. Returns the
    // new index, or -1 when the table is full and the segment was dropped.
    int AddHorizontal(std::int64_t channel, std::int64_t start, End startEnd, std::int64_t far, End farEnd,
                      int highlight, int link);
    int AddVertical(std::int64_t channel, std::int64_t start, End startEnd, std::int64_t far, End farEnd,
                    int highlight, int link);
    void AddDropStub(const DropStub& stub);
    void AddSideStub(const SideStub& stub);

    // Fills `lines` from the tables in drawing order.
    void BuildLines();
};

} // namespace qvt
