// The design picture of a full machine: routing every connection and building
// the display list, and painting one window-sized view of it.
//
// The machine has 1000 items on 8 columns x 125 rows, the kinds taken in turn,
// every exit of every item connected to another item, with variables and
// screens filled in so that every item has its title and body texts.

#include "core/display_painter.h"
#include "core/headless_messages.h"
#include "core/project_state.h"
#include "editor/canvas_measurer.h"
#include "editor/connection_routing.h"
#include "editor/machine_picture.h"
#include "model/item_kinds.h"
#include "model/items_list.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace qvt;

constexpr int kColumns = 8;
constexpr int kRows = 125;

struct Machine {
    SilentMessages messages;
    PainterFontMetrics metrics;
    CanvasMeasurer measurer{metrics};
    VariableTable variables;
    std::unique_ptr<TitcItemsList> items;

    Machine()
    {
        ResetVariables(variables);
        items = std::make_unique<TitcItemsList>(messages, &measurer);
        for (int id = 1; id <= kColumns * kRows; ++id) {
            const std::int32_t kind = kItemKinds[static_cast<std::size_t>(id - 1) % kItemKinds.size()];
            std::unique_ptr<TitcItem> item = CreateItem(kind, &measurer);
            item->id = id;
            item->row = (id - 1) / kColumns;
            item->column = (id - 1) % kColumns;
            Fill(*item);
            items->PutItem(std::move(item));
        }
        // Every exit to some other item, near and far ones mixed.
        int n = 0;
        items->ForEachItem([&](TitcItem& item) {
            auto connect = [&](const TBag& exit) {
                const int step = 1 + (n++ * 7919) % 997;
                const std::int32_t target = (item.id - 1 + step) % (kColumns * kRows) + 1;
                item.SetConnection(exit.label, target, messages);
            };
            for (int i = 0; i < item.bottomExitCount; ++i)
                connect(item.bottomExits[i]);
            for (int j = 0; j < item.rightExitCount; ++j)
                connect(item.rightExits[j]);
        });
    }

    static void Fill(TitcItem& item)
    {
        const std::string screen = "ITEM CODE\r\n\xB2" "B########\r\nQUANTITY\r\n\xB2" "d####";
        switch (item.KindNumber()) {
        case KindInput: {
            auto& it = static_cast<TItcInputMenu&>(item);
            it.stateNumber = item.id % 256;
            it.screenText = screen;
            break;
        }
        case KindReadKey: {
            auto& it = static_cast<TItcReadKeyMenu&>(item);
            it.stateNumber = item.id % 256;
            it.screenText = screen;
            break;
        }
        case KindProcess: {
            auto& it = static_cast<TItcProcess&>(item);
            it.target = 31;
            it.operation = OpAdd;
            it.constValue = 1234.5;
            break;
        }
        case KindStrCopy:
        case KindStrCat: {
            auto& it = static_cast<TItcStrCopyOrCat&>(item);
            it.target = 1;
            it.source = 2;
            it.constStart = 1;
            it.constEnd = 5;
            break;
        }
        case KindWriteToFlash: {
            auto& it = static_cast<TItcWriteToFlash&>(item);
            it.tag = 3;
            it.source1 = 1;
            it.source2 = 31;
            break;
        }
        default: break;
        }
    }
};

Machine& TheMachine()
{
    static Machine machine;
    return machine;
}

void BM_RouteAndBuildPicture(benchmark::State& state)
{
    Machine& m = TheMachine();
    auto router = std::make_unique<ConnectionRouter>();
    DisplayList list;
    const MachineSelection selection{10, 3, 84, ""};
    for (auto _ : state) {
        router->Route(*m.items, selection.itemId, selection.exit);
        BuildMachinePicture(list, *m.items, m.variables, kColumns, kRows, selection, m.metrics, router->Lines());
        benchmark::DoNotOptimize(list.Primitives().data());
    }
    state.counters["primitives"] = static_cast<double>(list.Primitives().size());
    state.counters["lines"] = static_cast<double>(router->Lines().size());
}
BENCHMARK(BM_RouteAndBuildPicture)->Unit(benchmark::kMillisecond);

void BM_PaintViewport(benchmark::State& state)
{
    Machine& m = TheMachine();
    auto router = std::make_unique<ConnectionRouter>();
    DisplayList list;
    const MachineSelection selection{10, 3, 84, ""};
    router->Route(*m.items, selection.itemId, selection.exit);
    BuildMachinePicture(list, *m.items, m.variables, kColumns, kRows, selection, m.metrics, router->Lines());

    // A window of 1600 x 1000 scrolled into the middle of the machine.
    const QRect view(0, 10000, 1600, 1000);
    QImage image(view.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.translate(-view.topLeft());
        PaintDisplayList(painter, list, view);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintViewport)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
