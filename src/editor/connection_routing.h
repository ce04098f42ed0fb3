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
// Keep one router per open machine (it is about 200 KB; hold it on the heap).
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

} // namespace qvt
