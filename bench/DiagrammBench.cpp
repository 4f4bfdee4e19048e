#include "ComponentNames.h"
#include "Diagramm24h.h"
#include "SchreiberFensterUnit.h"
#include "SysUtils.h"

#include "support/OffscreenBenchMain.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

namespace {

constexpr int kSekunden = 86400;
const QString kSpalte = QStringLiteral("t2m  [°C  ]");

// A loader holding a day at one-second interval: a daily swing with some
// noise, coloured by three ranges.
struct Tag {
    QTemporaryDir ordner;
    QString ini = ordner.filePath(QStringLiteral("v.ini"));
    std::unique_ptr<TDatenLoader> loader;
    TRanges bereiche;

    Tag()
    {
        const QString kopf = QStringLiteral("Datum\tUhrzeit\t") + kSpalte;
        const TDateTime tag = EncodeDate(2026, 7, 14);
        QStringList zeilen;
        zeilen.reserve(kSekunden);
        for (int i = 0; i < kSekunden; ++i) {
            const double wert = 18 + 8 * std::sin(i * 2 * M_PI / kSekunden) + 0.4 * std::sin(i * 0.37);
            const TDateTime t = tag + i / 86400.0;
            zeilen << FormatDateTime(QStringLiteral("dd.mm.yyyy\thh:nn:ss\t"), t) + FloatToStr(std::round(wert * 10) / 10);
        }
        const QString datei = ordner.filePath(QStringLiteral("d.txt"));
        QFile f(datei);
        f.open(QIODevice::WriteOnly);
        f.write((kopf + u'\n' + zeilen.first() + u'\n').toUtf8());
        f.close();
        loader = std::make_unique<TDatenLoader>(datei, 2000, 1.0, u'\t', false);
        for (const QString& z : zeilen)
            loader->NeuerDatensatz(z);
        loader->LoescheAeltesten();
        loader->Meldungen.clear();
        bereiche.Add(clBlue, 9, 14);
        bereiche.Add(clGreen, 14, 22);
        bereiche.Add(clRed, 22, 27);
    }
};

Tag& tag()
{
    static Tag t;
    return t;
}

class Owner : public TFensterOwner {
public:
    bool FensterFest() const override { return false; }
    TComponentOwner& Komponenten() override { return komponenten; }
    TComponentOwner komponenten;
};

// A full redraw of the chart, as after a change.
void zeichne(TChart& chart, QImage& bild)
{
    QPainter p(&bild);
    chart.Draw(p, bild.rect());
}

// Opening the 24-hour chart: built, filled from the day and painted once.
void BM_DiagrammOeffnen(benchmark::State& state)
{
    Tag& t = tag();
    for (auto _ : state) {
        auto* d = new TDiagrammFenster(nullptr, t.loader.get(), QStringLiteral("Temperatur"), QStringLiteral("°C"),
                                       kSpalte, t.ini, &t.bereiche);
        benchmark::DoNotOptimize(d->grab());
        state.PauseTiming();
        state.counters["Punkte"] = d->Series1->Count();
        delete d;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DiagrammOeffnen)->Unit(benchmark::kMillisecond);

// A repaint of the whole chart.
void BM_DiagrammNeuZeichnen(benchmark::State& state)
{
    Tag& t = tag();
    TDiagrammFenster d(nullptr, t.loader.get(), QString(), QString(), kSpalte, t.ini, &t.bereiche);
    QImage bild(d.VerlaufDiagramm->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        zeichne(*d.VerlaufDiagramm, bild);
}
BENCHMARK(BM_DiagrammNeuZeichnen)->Unit(benchmark::kMillisecond);

// A refresh while the chart is open: the whole history anew, then painted.
void BM_DiagrammAktualisieren(benchmark::State& state)
{
    Tag& t = tag();
    TDiagrammFenster d(nullptr, t.loader.get(), QString(), QString(), kSpalte, t.ini, &t.bereiche);
    QImage bild(d.VerlaufDiagramm->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        d.Aktualisiere(t.loader.get());
        zeichne(*d.VerlaufDiagramm, bild);
    }
}
BENCHMARK(BM_DiagrammAktualisieren)->Unit(benchmark::kMillisecond);

// A recorder over the day, refreshed and painted on a notification.
void BM_SchreiberAktualisieren(benchmark::State& state)
{
    Tag& t = tag();
    Owner owner;
    auto* f = Erzeuge<TSchreiberFenster>(owner, t.loader.get(), QStringLiteral("Temperatur"), QStringLiteral("°C"),
                                         kSpalte, t.ini, 1);
    QImage bild(f->SchreiberChart->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        f->Aktualisiere(t.loader.get());
        zeichne(*f->SchreiberChart, bild);
    }
    state.counters["Punkte"] = f->Series1->Count();
    f->Abbauen();
    delete f;
}
BENCHMARK(BM_SchreiberAktualisieren)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return OffscreenBenchMain(argc, argv);
}
