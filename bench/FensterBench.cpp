// One window of each kind, offscreen: a tick with a new record, then the
// repaint. Kinds are rows of one table; a new kind is one more row.
#include "ComponentNames.h"
#include "DatenLoaderUnit.h"
#include "GrafikRegenMesserUnit.h"
#include "Kompass.h"
#include "LuftdruckFensterUnit.h"
#include "RegenMesserFensterUnit.h"
#include "RelativeLuftfeuchteFenster.h"
#include "SchreiberFensterUnit.h"
#include "TendFensterUnit.h"
#include "TermometerFensterUnit.h"
#include "TextFensterUnit.h"
#include "WindGeschwindigkeitFensterUnit.h"
#include "WindrichtungFensterUnit.h"
#include "ZustandFensterUnit.h"

#include "support/OffscreenBenchMain.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string_view>

namespace {

class BenchOwner : public TFensterOwner {
public:
    bool FensterFest() const override { return false; }
    TComponentOwner& Komponenten() override { return komponenten; }
    TComponentOwner komponenten;
};

const QString kKopf = QStringLiteral("Datum\tUhrzeit\tt2m  [\xC2\xB0" "C  ]\twr   [\xC2\xB0   ]\tzz   [-   ]\ttr   [-   ]"
                                     "\trf   [%   ]\tp    [hPa ]\tff   [m/s ]\trr   [mm  ]");
// A day of records a minute apart: the loader's whole history.
constexpr int kTag = 1440;

// Record i: a temperature drifting over the scale, a veering wind, the
// state and the trend flipping.
QString datensatz(int i)
{
    const int tag = 8 + i / kTag;
    const int minute = i % kTag;
    const double t = 18 + 14 * std::sin(i * 0.013);
    const double wr = std::fmod(200 + 90 * std::sin(i * 0.021) + (i % 11) * 3, 360.0);
    return QStringLiteral("%1.12.2026\t%2:%3:00\t%4\t%5\t%6\t%7\t%8\t%9\t%10\t%11")
        .arg(tag, 2, 10, QChar(u'0'))
        .arg(minute / 60, 2, 10, QChar(u'0'))
        .arg(minute % 60, 2, 10, QChar(u'0'))
        .arg(t, 0, 'f', 2)
        .arg(wr, 0, 'f', 1)
        .arg(i % 2)
        .arg(i / 3 % 2)
        .arg(60 + 30 * std::sin(i * 0.017), 0, 'f', 0)
        .arg(1013 + 8 * std::sin(i * 0.003), 0, 'f', 1)
        .arg(6 + 5 * std::sin(i * 0.05), 0, 'f', 1)
        .arg((i % 60) * 0.1, 0, 'f', 1);
}

struct Umgebung {
    QTemporaryDir dir;
    QString ini = dir.filePath(QStringLiteral("v.ini"));
    BenchOwner owner;
    std::unique_ptr<TDatenLoader> loader;
    int naechster = 0;

    Umgebung()
    {
        const QString pfad = dir.filePath(QStringLiteral("d.txt"));
        QFile f(pfad);
        f.open(QIODevice::WriteOnly);
        f.write((kKopf + u'\n' + datensatz(0) + u'\n').toUtf8());
        f.close();
        loader = std::make_unique<TDatenLoader>(pfad, 2000, 1.0, u'\t', false);
        for (; naechster < kTag; ++naechster)
            loader->NeuerDatensatz(datensatz(naechster));
        loader->LoescheAeltesten();
    }
    // One tick's worth of data: the newest record in, the oldest out.
    void neuerDatensatz()
    {
        loader->NeuerDatensatz(datensatz(naechster++));
        loader->LoescheAeltesten();
        loader->Meldungen.clear();
    }
};

struct Art {
    const char* name;
    std::function<TSpaltenFenster*(Umgebung&)> erzeuge;
};

// Ranges in every window that has them, so each tick colours by range.
void MitBereichen(TSpaltenFenster* f, double von, double bis)
{
    const double d = (bis - von) / 3;
    f->Bereiche->Add(clBlue, von, von + d);
    f->Bereiche->Add(clGreen, von + d, von + 2 * d);
    f->Bereiche->Add(clRed, von + 2 * d, bis);
    if (TRanges* r = f->InstrumentBereiche()) {
        for (int i = 0; i < f->Bereiche->Count(); ++i)
            r->Add(f->Bereiche->GetBereich(i));
        f->ZeichneInstrument();
    }
}

template<class T>
TSpaltenFenster* Spaltenfenster(Umgebung& u, const char* beschriftung, const char* einheit, const char* spalte,
                                double von, double bis)
{
    auto* f = Erzeuge<T>(u.owner, u.loader.get(), QString::fromUtf8(beschriftung), QString::fromUtf8(einheit),
                         QString::fromUtf8(spalte), u.ini, 1);
    MitBereichen(f, von, bis);
    return f;
}

const Art kArten[] = {
    {"Standardanzeige",
     [](Umgebung& u) { return Spaltenfenster<TStandardfenster>(u, "Temperatur", "°C", "t2m  [°C  ]", -10, 40); }},
    {"RFSkala", [](Umgebung& u) { return Spaltenfenster<TRLFenster>(u, "Feuchte", "%", "rf   [%   ]", 0, 100); }},
    {"Barometer",
     [](Umgebung& u) { return Spaltenfenster<TLuftdruckFenster>(u, "Luftdruck", "hPa", "p    [hPa ]", 990, 1040); }},
    {"Beaufortskala",
     [](Umgebung& u) { return Spaltenfenster<TWindspeedFenster>(u, "Wind", "m/s", "ff   [m/s ]", 0, 30); }},
    {"Regenmesser",
     [](Umgebung& u) { return Spaltenfenster<TRegenMesserFenster>(u, "Regen", "mm", "rr   [mm  ]", 0, 500); }},
    {"Regenmessergrafik",
     [](Umgebung& u) {
         return Spaltenfenster<TGrafikRegenMesserFenster>(u, "Regen", "mm", "rr   [mm  ]", 0, 500);
     }},
    {"Schreiber",
     [](Umgebung& u) { return Spaltenfenster<TSchreiberFenster>(u, "Temperatur", "°C", "t2m  [°C  ]", -10, 40); }},
    {"Thermometer",
     [](Umgebung& u) {
         return Erzeuge<TTermometerFenster>(u.owner, u.loader.get(), QStringLiteral("Temperatur"),
                                            QStringLiteral("°C"), QStringLiteral("t2m  [°C  ]"), u.ini, 1);
     }},
    {"Kompass",
     [](Umgebung& u) {
         auto* f = Erzeuge<TWindrichtungFenster>(u.owner, u.loader.get(), QStringLiteral("Windrichtung"),
                                                 QStringLiteral("°"), QStringLiteral("wr   [°   ]"), u.ini, 0);
         f->SetVerlaufInterval(1.0);   // the whole day's history
         return f;
     }},
    {"Zustand",
     [](Umgebung& u) {
         return Erzeuge<TZustandFenster>(u.owner, u.loader.get(), QStringLiteral("Regen"),
                                         QStringLiteral("zz   [-   ]"), u.ini);
     }},
    {"Trend",
     [](Umgebung& u) {
         return Erzeuge<TTrendFenster>(u.owner, u.loader.get(), QStringLiteral("Luftdrucktrend"),
                                       QStringLiteral("tr   [-   ]"), u.ini);
     }},
};

const Art& ArtNamens(std::string_view name)
{
    for (const Art& art : kArten)
        if (art.name == name)
            return art;
    throw std::invalid_argument(std::string(name));
}

// The repaint renders the whole window, labels and all, as the screen
// would get it: offscreen windows are never exposed, so repaint() paints
// nothing there.
void TickUndNeuzeichnen(benchmark::State& state)
{
    const Art& art = kArten[state.range(0)];
    Umgebung u;
    TSpaltenFenster* f = art.erzeuge(u);
    QImage bildschirm(f->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        state.PauseTiming();
        u.neuerDatensatz();
        state.ResumeTiming();
        f->Aktualisiere(u.loader.get());
        f->render(&bildschirm);
        benchmark::DoNotOptimize(bildschirm.constBits());
    }
    state.SetLabel(art.name);
    f->Abbauen();
    delete f;
}
BENCHMARK(TickUndNeuzeichnen)->DenseRange(0, std::size(kArten) - 1)->Unit(benchmark::kMicrosecond);

// The pictures alone, as the targets count them: the compass with all 36
// sectors of a history and a new needle, the thermometer and the rain gauge
// for a new value.
void KompassMitVollemVerlauf(benchmark::State& state)
{
    TKompass k;
    k.resize(235, 236);
    for (int i = 0; i < KompassSektoren; ++i)
        k.Verlauf[static_cast<std::size_t>(i)] = {i * 7.0, 255, true};
    int i = 0;
    for (auto _ : state) {
        k.SetPosition(i++ % 360);
        benchmark::DoNotOptimize(k.Bild().Image().constBits());
    }
}
BENCHMARK(KompassMitVollemVerlauf)->Unit(benchmark::kMicrosecond);

void ThermometerZeichnen(benchmark::State& state)
{
    Umgebung u;
    auto* f = static_cast<TTermometerFenster*>(ArtNamens("Thermometer").erzeuge(u));
    int i = 0;
    for (auto _ : state) {
        f->ZeigeWert(18 + 14 * std::sin(i++ * 0.1));
        benchmark::DoNotOptimize(f->Image1->Picture().Image().constBits());
    }
    f->Abbauen();
    delete f;
}
BENCHMARK(ThermometerZeichnen)->Unit(benchmark::kMicrosecond);

// The rain gauge for a new amount, at the picture window's size.
void RegenMesserZeichnen(benchmark::State& state)
{
    TRegenMesser m;
    m.resize(111, 241);
    m.SetColor(clSilver);
    m.SetSkalaInterval(30);
    m.SetAnzeigeInterval(5);
    m.SetFarbe(clBlue);
    int i = 0;
    for (auto _ : state) {
        m.SetPosition(5.0 + (i++ % 7) * 2.5);
        benchmark::DoNotOptimize(m.Bild().Image().constBits());
    }
}
BENCHMARK(RegenMesserZeichnen)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return OffscreenBenchMain(argc, argv);
}
