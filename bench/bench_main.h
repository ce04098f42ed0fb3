#pragma once

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QtGlobal>

// Runs the benchmarks registered in this program. Programs that paint make
// their (Gui or Widgets) application first; the offscreen platform is taken
// when none is set, so a benchmark never needs a display.
inline void UseOffscreenUnlessSet()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

inline int RunBenchmarks(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
