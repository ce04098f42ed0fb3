// One edit in the design window, from the release of the mouse button until
// the view shows the new picture, on the full machine (full_machine.h) with an
// empty row 63 in the middle to move items into:
//
//   edit   the document's MoveItem or SetConnection (one undo step), and the
//          selection of the edited cell, as the window does on the release
//   route  ConnectionRouter::Route of every connection
//   build  BuildMachinePicture, the display list of the whole picture
//   paint  PaintDisplayList of a 1600 x 1000 viewport around the edit into a QImage
//
// The counters give the median of each part and of their total in
// milliseconds, by the clock (NAME_ms) and by the thread's CPU time
// (NAME_cpu_ms, which other processes on the machine do not stretch); the
// iteration time is the clock's total. Each measured edit is undone
// outside the measurement, so the document stays the same from one iteration
// to the next.

#include "full_machine.h"

#include "core/display_painter.h"
#include "core/headless_messages.h"
#include "editor/connection_routing.h"
#include "editor/machine_document.h"
#include "editor/machine_picture.h"
#include "bench_main.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace qvt;
using Clock = std::chrono::steady_clock;

constexpr int kEmptyRow = 63;

struct Editor {
    bench::Machine machine;
    ProjectState project;
    SilentMessages messages;
    std::unique_ptr<MachineDocument> document;
    std::unique_ptr<ConnectionRouter> router = std::make_unique<ConnectionRouter>();
    DisplayList picture;
    // The viewport: rows 60 to 64, the empty row among them.
    QRect view{0, 60 * kCellHeight, 1600, 1000};
    QImage image{view.size(), QImage::Format_RGB32};

    Editor()
    {
        machine.items->ForEachItem([](TitcItem& item) {
            if (item.row >= kEmptyRow)
                ++item.row;
        });
        machine.PutInto(project);
        project.gridRows = bench::kRows + 1;
        document = MachineDocument::Open(project, MachineId::Online, messages, &machine.measurer);
    }

    MachineSelection Selection() const
    {
        return {document->selectedRow(), document->selectedColumn(), document->selectedItemId(),
                document->selectedExit()};
    }
};

Editor& TheEditor()
{
    static Editor editor;
    return editor;
}

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// CPU time of this thread, which the load of other processes does not stretch.
double ThreadCpuMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Runs `edit` (given the iteration number), then the re-route, the build and
// the paint, timing each part by the clock and by this thread's CPU time;
// undoes the edit untimed.
void MeasureEdit(benchmark::State& state, const std::function<void(Editor&, int)>& edit)
{
    Editor& e = TheEditor();
    if (!e.document) {
        state.SkipWithError("the generated machine did not open");
        return;
    }
    constexpr int kParts = 4; // edit, route, build, paint
    std::array<std::vector<double>, kParts + 1> wall, cpu; // the parts, then the total
    int iteration = 0;
    for (auto _ : state) {
        const int undoIndex = e.document->undoStack().index();
        std::array<Clock::time_point, kParts + 1> at;
        std::array<double, kParts + 1> cpuAt;
        const auto mark = [&](int i) {
            at[i] = Clock::now();
            cpuAt[i] = ThreadCpuMilliseconds();
        };
        mark(0);
        edit(e, iteration++);
        mark(1);
        const MachineSelection selection = e.Selection();
        e.router->Route(e.document->items(), selection.itemId, selection.exit);
        mark(2);
        BuildMachinePicture(e.picture, e.document->items(), e.project.variables, e.project.gridColumns,
                            e.project.gridRows, selection, e.machine.metrics, e.router->Lines());
        mark(3);
        {
            QPainter painter(&e.image);
            painter.translate(-e.view.topLeft());
            PaintDisplayList(painter, e.picture, e.view);
        }
        benchmark::DoNotOptimize(e.image.constBits());
        mark(4);

        for (int p = 0; p < kParts; ++p) {
            wall[p].push_back(Milliseconds(at[p + 1] - at[p]));
            cpu[p].push_back(cpuAt[p + 1] - cpuAt[p]);
        }
        wall[kParts].push_back(Milliseconds(at[kParts] - at[0]));
        cpu[kParts].push_back(cpuAt[kParts] - cpuAt[0]);
        state.SetIterationTime(std::chrono::duration<double>(at[kParts] - at[0]).count());

        if (e.document->undoStack().index() != undoIndex + 1) {
            state.SkipWithError("the edit was refused");
            break;
        }
        e.document->undoStack().undo();
    }
    const char* names[] = {"edit", "route", "build", "paint", "total"};
    for (int p = 0; p <= kParts; ++p) {
        state.counters[std::string(names[p]) + "_ms"] = Median(wall[p]);
        state.counters[std::string(names[p]) + "_cpu_ms"] = Median(cpu[p]);
    }
    state.counters["lines"] = static_cast<double>(e.router->Lines().size());
    if (!e.router->Messages().empty() || e.messages.errorCount != 0 || e.machine.messages.errorCount != 0)
        state.SkipWithError("the machine routed or opened with messages");
}

// Dragging the item in row 62, column 3 one row down into the empty row.
void BM_MoveItem(benchmark::State& state)
{
    MeasureEdit(state, [](Editor& e, int) {
        const std::int32_t id = e.document->items().IdAt(kEmptyRow - 1, 3);
        e.document->MoveItem(id, kEmptyRow, 3);
        e.document->SelectCell(kEmptyRow, 3);
    });
}
BENCHMARK(BM_MoveItem)->UseManualTime()->Unit(benchmark::kMillisecond);

// Dragging the first exit of the item in row 62, column 1 onto an item two
// rows up, a different one each time.
void BM_Connect(benchmark::State& state)
{
    MeasureEdit(state, [](Editor& e, int iteration) {
        const TitcItem* source = e.document->items().ItemAt(kEmptyRow - 1, 1);
        std::int32_t target = e.document->items().IdAt(kEmptyRow - 3, iteration % bench::kColumns);
        if (target == source->ExitTargets().front()) // the same target would be no edit
            target = e.document->items().IdAt(kEmptyRow - 4, iteration % bench::kColumns);
        e.document->SetConnection(source->id, source->bottomExits[0].label, target);
        e.document->SelectCell(source->row, source->column);
    });
}
BENCHMARK(BM_Connect)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    UseOffscreenUnlessSet();
    QGuiApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
