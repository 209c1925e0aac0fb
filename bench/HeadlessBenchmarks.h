#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

// Runs the registered benchmarks inside an application that needs no
// screen, so that windows can be built and shown.
inline int runHeadlessBenchmarks(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1; // the benchmark's own options are not Qt's
    QApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
