// Routing every connection of a 1000-item machine with every exit connected,
// as the design window does after each edit (lines included, no drawing).
//
//   Near  8 columns by 125 rows, every kind in turn, each exit to an item
//         at most three rows away: the shape of a drawn machine.
//   Far   the same items, each exit to an item anywhere: long segments that
//         overlap in every channel; the segment tables fill up.
//   OneColumn  1000 NumCmp items in one column, each exit 250 to 750 rows
//         away: every vertical segment in one channel.
#include "editor/connection_routing.h"
#include "model/item_kinds.h"
#include "model/items_list.h"
#include "model/text_measurer.h"
#include "core/headless_messages.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>

namespace {

using namespace qvt;

class FixedMeasurer : public TextMeasurer {
public:
    int TextWidth(std::string_view text) const override { return 7 * static_cast<int>(text.size()); }
    int TextHeight(std::string_view) const override { return 14; }
};

const FixedMeasurer kMeasurer;
SilentMessages gMessages;

enum class Shape { Near, Far, OneColumn };

std::unique_ptr<TitcItemsList> MakeMachine(Shape shape)
{
    auto list = std::make_unique<TitcItemsList>(gMessages, &kMeasurer);
    std::uint32_t seed = 12345;
    auto random = [&seed](std::uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<std::int32_t>((seed >> 8) % n);
    };
    for (std::int32_t id = 1; id <= kMaxItemId; ++id) {
        const std::int32_t kind = shape == Shape::OneColumn ? KindNumCmp : kItemKinds[(id - 1) % kItemKinds.size()];
        auto item = CreateItem(kind, &kMeasurer);
        item->id = id;
        item->row = shape == Shape::OneColumn ? id - 1 : (id - 1) / 8;
        item->column = shape == Shape::OneColumn ? 0 : (id - 1) % 8;
        list->PutItem(std::move(item));
    }
    list->ForEachItem([&](TitcItem& item) {
        const int exits = item.bottomExitCount + item.rightExitCount;
        for (int slot = 0; slot < exits; ++slot) {
            const std::string& label = slot < item.bottomExitCount
                                           ? item.bottomExits[slot].label
                                           : item.rightExits[slot - item.bottomExitCount].label;
            std::int32_t target = 0;
            switch (shape) {
            case Shape::Near: target = item.id + random(49) - 24; break;
            case Shape::Far: target = 1 + random(kMaxItemId); break;
            case Shape::OneColumn: target = item.id + 250 + 250 * slot; break;
            }
            target = (target - 1 + 2 * kMaxItemId) % kMaxItemId + 1;
            if (target == item.id)
                target = item.id % kMaxItemId + 1;
            item.SetConnection(label, target, gMessages);
        }
    });
    return list;
}

void Route(benchmark::State& state, Shape shape)
{
    const auto machine = MakeMachine(shape);
    auto router = std::make_unique<ConnectionRouter>();
    for (auto _ : state) {
        router->Route(*machine, 17, {});
        benchmark::DoNotOptimize(router->Lines().data());
    }
    const auto& t = router->ScratchTables();
    state.counters["lines"] = static_cast<double>(router->Lines().size());
    state.counters["hsegments"] = t.horizontal.count;
    state.counters["vsegments"] = t.vertical.count;
    if (!router->Messages().empty() || gMessages.errorCount != 0)
        state.SkipWithError("the generated machine routed with messages");
}

void BM_RouteNear(benchmark::State& state) { Route(state, Shape::Near); }
void BM_RouteFar(benchmark::State& state) { Route(state, Shape::Far); }
void BM_RouteOneColumn(benchmark::State& state) { Route(state, Shape::OneColumn); }

BENCHMARK(BM_RouteNear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RouteFar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RouteOneColumn)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
