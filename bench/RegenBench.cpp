// The rain total of a full day at a one-second interval, as the rain windows
// ask for it on every tick.
#include "RegenMesserFensterUnit.h"

#include "support/OffscreenBenchMain.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kTag = 86400;

// Date, time, rain and seven other columns; a shower now and then.
QString zeile(int s)
{
    const double regen = (s / 600) % 9 == 0 ? 0.1 * (s % 600 / 60) : 0.0;
    return QStringLiteral("08.12.2026\t%1:%2:%3\t%4\t12.5\t80\t1013.2\t3.4\t180\t2.1\t45")
        .arg(s / 3600, 2, 10, QChar(u'0'))
        .arg(s / 60 % 60, 2, 10, QChar(u'0'))
        .arg(s % 60, 2, 10, QChar(u'0'))
        .arg(regen, 0, 'f', 1);
}

struct Tag {
    QTemporaryDir dir;
    std::unique_ptr<TDatenLoader> loader;
};

Tag& tag()
{
    static Tag t;
    if (t.loader)
        return t;
    const QString pfad = t.dir.filePath(QStringLiteral("tag.txt"));
    QFile f(pfad);
    f.open(QIODevice::WriteOnly);
    f.write("Datum\tUhrzeit\trr   [mm  ]\tt2m  [C   ]\trf   [%   ]\tp    [hPa ]\tff   [m/s ]\tdd   [Grad]"
            "\tfx   [m/s ]\tgs   [W/m2]\n");
    f.write(zeile(0).toUtf8() + '\n');
    f.close();
    t.loader = std::make_unique<TDatenLoader>(pfad, 2000, 2.0, u'\t', false);
    for (int s = 1; s < kTag; ++s)
        t.loader->NeuerDatensatz(zeile(s));
    t.loader->Meldungen.clear();
    return t;
}

// 24 hours in periods of state.range(0) minutes.
void RegenSummeTag(benchmark::State& state)
{
    TDatenLoader& loader = *tag().loader;
    const QString spalte = QStringLiteral("rr   [mm  ]");
    const int minuten = static_cast<int>(state.range(0));
    double summe = 0;
    for (auto _ : state) {
        summe = RegenSumme(loader, spalte, 24, minuten);
        benchmark::DoNotOptimize(summe);
    }
    state.counters["Datensaetze"] = loader.Datensaetze();
    state.counters["Summe"] = summe;
}
BENCHMARK(RegenSummeTag)->Arg(10)->Arg(60)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return OffscreenBenchMain(argc, argv);
}
