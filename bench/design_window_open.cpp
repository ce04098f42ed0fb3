// Opening the full machine (full_machine.h) in the design window and scrolling
// it from top to bottom, offscreen, each timed by the clock and by the
// process's CPU time:
//
//   first painted frame  from creating the window (reading the machine's
//                        text, routing, building the picture) and showing it
//                        until its canvas has painted once
//   scroll               each step one viewport height down, with a forced
//                        repaint of the canvas (QWidget::repaint)
//   peak resident memory of the whole process (getrusage), at the end
//
//   design_window_open [--quick] [--open PROJECT.zmk] [--grab OUT.png]
//
// --quick (or any --benchmark_* argument, as the benchmark smoke run passes)
// scrolls only a few steps. --open measures the Online machine of a project
// file instead; --grab saves the window as it first showed.

#include "full_machine.h"

#include "core/file_dialogs.h"
#include "core/headless_messages.h"
#include "project/project_file.h"
#include "shell/design_canvas.h"
#include "shell/design_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPixmap>
#include <QScrollBar>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace qvt;
using Clock = std::chrono::steady_clock;

class NoDialogs : public FileDialogs {
public:
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

// Counts the paint events the canvas's viewport receives.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// CPU time of the whole process, which other processes on the machine do not
// stretch as they do the clock.
double ProcessCpuMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

long PeakResidentKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss; // kilobytes on Linux
}

int Fail(const char* reason)
{
    std::fprintf(stderr, "design_window_open: %s\n", reason);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    bool quick = false;
    std::string projectPath, grabPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--quick" || arg.rfind("--benchmark_", 0) == 0)
            quick = true;
        else if (arg == "--open" && i + 1 < argc)
            projectPath = argv[++i];
        else if (arg == "--grab" && i + 1 < argc)
            grabPath = argv[++i];
        else {
            std::fprintf(stderr, "usage: design_window_open [--quick] [--open PROJECT.zmk] [--grab OUT.png]\n");
            return 2;
        }
    }

    ProjectState project;
    SilentMessages messages;
    if (projectPath.empty()) {
        bench::Machine machine;
        machine.PutInto(project);
        if (machine.messages.errorCount != 0)
            return Fail("the generated machine has errors");
    } else if (LoadProjectFile(projectPath, project, messages) != LoadResult::Opened) {
        return Fail("the project cannot be read");
    }
    NoDialogs dialogs;
    PaintCounter counter;

    const Clock::time_point opening = Clock::now();
    const double openingCpu = ProcessCpuMilliseconds();
    std::unique_ptr<TFTasarim> window = TFTasarim::Create(project, MachineId::Online, messages, dialogs);
    if (!window)
        return Fail("the machine did not open");
    QWidget* viewport = window->canvas().viewport();
    viewport->installEventFilter(&counter);
    window->setGeometry(0, 0, 1600, 1000);
    window->show();
    QElapsedTimer waited;
    waited.start();
    // The paint has returned once the round of events that delivered it has.
    while (counter.paints == 0 && waited.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const Clock::time_point painted = Clock::now();
    const double paintedCpu = ProcessCpuMilliseconds();
    if (counter.paints == 0)
        return Fail("the canvas never painted");
    const int items = window->document().items().Count();

    if (!grabPath.empty() && !window->grab().save(QString::fromLocal8Bit(grabPath.c_str()), "PNG"))
        return Fail("the window's picture could not be saved");

    QScrollBar* bar = window->canvas().verticalScrollBar();
    const int step = std::max(1, viewport->height());
    std::vector<double> steps, stepsCpu;
    const int maxSteps = quick ? 3 : 1 << 20;
    bar->setValue(0);
    QCoreApplication::processEvents();
    while (bar->value() < bar->maximum() && int(steps.size()) < maxSteps) {
        const Clock::time_point t0 = Clock::now();
        const double cpu0 = ProcessCpuMilliseconds();
        bar->setValue(std::min(bar->maximum(), bar->value() + step));
        viewport->repaint();
        steps.push_back(Milliseconds(Clock::now() - t0));
        stepsCpu.push_back(ProcessCpuMilliseconds() - cpu0);
        QCoreApplication::processEvents();
    }

    const double worst = steps.empty() ? 0 : *std::max_element(steps.begin(), steps.end());
    double total = 0;
    for (double s : steps)
        total += s;

    std::printf("design window: %d items, picture %d x %d, viewport %d x %d\n", items,
                window->picture().width, window->picture().height, viewport->width(), viewport->height());
    std::printf("first painted frame: %.1f ms (CPU %.1f ms)\n", Milliseconds(painted - opening),
                paintedCpu - openingCpu);
    std::printf("scroll: %zu steps of %d px%s, median %.2f ms (CPU %.2f ms), worst %.2f ms, total %.1f ms\n",
                steps.size(), step, quick ? " (quick)" : "", Median(steps), Median(stepsCpu), worst, total);
    std::printf("peak resident memory: %.1f MB\n", PeakResidentKilobytes() / 1024.0);
    return 0;
}
