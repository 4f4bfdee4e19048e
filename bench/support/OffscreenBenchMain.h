#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdio>

// The main of every bench that draws: an offscreen QApplication around the
// registered benchmarks. The offscreen platform can't raise the windows it
// shows; that is all it would say, so that line is dropped.
inline int OffscreenBenchMain(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtWarningMsg || !text.contains(QLatin1String("does not support raise")))
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
