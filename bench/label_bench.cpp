// The label window with a full label of 100 elements: building and painting
// the print preview (label text, printer stream, stream read back, bars from
// zint, painted into an image), and one step of dragging an element in the
// window, from the mouse event to the painted surface and preview.
//
// The label is "Et100x125", horizontal: 15 barcodes (all 30 variable slots),
// 40 fixed texts and 45 lines. Each frame has 16 ms.

#include "core/display_painter.h"
#include "core/headless_messages.h"
#include "core/project_state.h"
#include "label/label_design.h"
#include "label/label_preview.h"
#include "label/label_text.h"
#include "shell/label_window.h"
#include "bench_main.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace qvt;

constexpr double kScreen96 = 96.0 / 25.4;

VariableTable benchVariables()
{
    VariableTable vars;
    ResetVariables(vars);
    for (int i = kFirstString; i <= kLastString; ++i)
        vars[size_t(i)].initialValue = "QVT" + std::to_string(1000 + i);
    return vars;
}

LabelDesign fullLabel()
{
    LabelDesign d;
    d.LabelType = "Et100x125";
    d.Direction = "Horizontal";
    d.BarcodeType = "CODE39";
    if (auto size = surfaceSizeOf(d.LabelType, d.Direction, kScreen96)) {
        d.SurfaceWidth = size->first;
        d.SurfaceHeight = size->second;
    }
    for (int i = 0; i < 15; ++i) {
        const int x = 10 + (i % 3) * 150, y = 80 + (i / 3) * 75;
        addElement(d, ElementKind::Barcode, x, y, x + 40, y - 60, "str" + std::string(i + 1 < 10 ? "0" : "") +
                                                                    std::to_string(i + 1), 3);
    }
    for (int i = 0; i < 40; ++i) {
        const int x = 10 + (i % 4) * 110, y = 400 + (i / 4) * 7;
        addElement(d, ElementKind::Text, x, y, x + 60, y - 11, "ITEM " + std::to_string(i), 3 + i % 3);
    }
    for (int i = 0; i < 45; ++i)
        addElement(d, ElementKind::Line, 5 + i * 10, 470, 7 + i * 10, 380);
    return d;
}

struct NoDialogs : FileDialogs {
    std::optional<std::string> getOpenFileName(std::string_view, std::string_view, std::string_view) override
    {
        return std::nullopt;
    }
    std::optional<std::string> getSaveFileName(std::string_view, std::string_view, std::string_view,
                                               std::string_view, bool) override
    {
        return std::nullopt;
    }
};

struct NoPrinter : PrinterOutput {
    bool Send(std::string_view, std::string_view, std::string&) override { return true; }
};

void BM_PreviewBuild(benchmark::State& state)
{
    const VariableTable vars = benchVariables();
    const std::string text = BuildLabelText(fullLabel(), vars);
    PainterFontMetrics metrics;
    LabelPreviewer previewer(metrics);
    DisplayList list;
    for (auto _ : state) {
        if (!previewer.BuildFromLabelText(text, vars, 96, list)) {
            state.SkipWithError("the label does not compile");
            return;
        }
        benchmark::DoNotOptimize(list.Primitives().data());
    }
    state.counters["primitives"] = double(list.Primitives().size());
}
BENCHMARK(BM_PreviewBuild)->Unit(benchmark::kMillisecond);

// What the window does for the preview after each edit: build the label
// text, compile, read back, build and paint the whole preview.
void BM_PreviewBuildAndPaint(benchmark::State& state)
{
    const VariableTable vars = benchVariables();
    const LabelDesign design = fullLabel();
    PainterFontMetrics metrics;
    LabelPreviewer previewer(metrics);
    DisplayList list;
    QImage image;
    for (auto _ : state) {
        if (!previewer.BuildFromLabelText(BuildLabelText(design, vars), vars, 96, list)) {
            state.SkipWithError("the label does not compile");
            return;
        }
        if (image.width() != list.width || image.height() != list.height)
            image = QImage(list.width, list.height, QImage::Format_RGB32);
        QPainter painter(&image);
        PaintDisplayList(painter, list, QRect(0, 0, list.width, list.height));
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PreviewBuildAndPaint)->Unit(benchmark::kMillisecond);

// One mouse move of a drag in the window, with everything it repaints.
void BM_DragInWindow(benchmark::State& state)
{
    ProjectState project;
    project.newProject();
    project.variables = benchVariables();
    project.defaultFolder.clear();
    project.labelText = BuildLabelText(fullLabel(), project.variables);
    SilentMessages messages;
    NoDialogs dialogs;
    NoPrinter printer;
    TFEtiketDuzenle window(project, messages, dialogs, printer, PrinterPortMap{}, nullptr, kScreen96);
    window.LoadLabel(project.labelText);
    window.resize(1400, 900);
    window.show();
    QApplication::processEvents();

    QWidget* surface = window.surface();
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, surface->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(surface, &event);
    };
    // Catch the first text (on top of nothing else) and drag it to and fro.
    const Tbase& caught = *window.document().design().Elements[15];
    const QPoint start(caught.X + 2, caught.Y - 2);
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    if (!window.document().dragging()) {
        state.SkipWithError("no element under the mouse");
        return;
    }
    int step = 0;
    for (auto _ : state) {
        const int offset = (step++ % 20) - 10;
        send(QEvent::MouseMove, start + QPoint(offset, offset), Qt::LeftButton);
        QApplication::processEvents();
    }
    send(QEvent::MouseButtonRelease, start, Qt::NoButton);
    window.document().Reset(LabelDesign());
    window.LoadLabel(project.labelText);
    window.close();
}
BENCHMARK(BM_DragInWindow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    UseOffscreenUnlessSet();
    QApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
