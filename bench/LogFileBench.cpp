#include "LogFile.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

// One loader tick's worth of messages into a log that is already full.
static void BM_SchreibeAlle30InVolles1000ZeilenLog(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString pfad = dir.filePath(QStringLiteral("vantorel.log"));
    QByteArray voll;
    for (int i = 0; i < 1000; ++i)
        voll += "07.12.2026 22:31:05.042 - Zeile " + QByteArray::number(i)
            + ": Datensatz verworfen, Wert außerhalb des Bereichs\n";
    QStringList texte;
    for (int i = 0; i < 30; ++i)
        texte << QStringLiteral("Meldung %1: Datei konnte nicht gelesen werden").arg(i);

    for (auto _ : state) {
        state.PauseTiming();
        {
            QFile f(pfad);
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(voll) != voll.size()) {
                state.SkipWithError("Log-Datei nicht anlegbar");
                break;
            }
        }
        TLogFile log(pfad, 1000, true);
        state.ResumeTiming();
        log.SchreibeAlle(texte);
    }
}
BENCHMARK(BM_SchreibeAlle30InVolles1000ZeilenLog)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
