// The design picture of a full machine: routing every connection and building
// the display list, and painting one window-sized view of it.
//
// The machine is the full one of full_machine.h: 1000 items on 8 columns x
// 125 rows, every exit connected, every item with its texts.

#include "full_machine.h"

#include "core/display_painter.h"
#include "core/headless_messages.h"
#include "core/project_state.h"
#include "editor/canvas_measurer.h"
#include "editor/connection_routing.h"
#include "editor/machine_picture.h"
#include "model/item_kinds.h"
#include "model/items_list.h"
#include "bench_main.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace qvt;

using bench::kColumns;
using bench::kRows;
using bench::Machine;

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
    UseOffscreenUnlessSet();
    QGuiApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
