// One Position write with its full redraw, at the sizes the windows use.
#include "Meter.h"

#include "support/OffscreenBenchMain.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

struct Anzeige {
    int breite;
    int hoehe;
    int minimum;
    int maximum;
    int schritt;
    bool zusatz;
    double wert;
};

// Relative humidity, wind speed, air pressure.
constexpr Anzeige kAnzeigen[] = {
    {177, 161, 0, 100, 10, false, 55.0},
    {241, 211, 0, 12, 1, true, 5.3},
    {297, 257, 800, 1100, 25, true, 1013.25},
};

void PositionMitNeuzeichnen(benchmark::State& state)
{
    const Anzeige& a = kAnzeigen[state.range(0)];
    TMeter m;
    m.resize(a.breite, a.hoehe);
    TFontDesc f;
    f.Bold = true;
    m.SetFont(f);
    m.SetMinimum(a.minimum);
    m.SetMaximum(a.maximum);
    m.SetBeschriftungSchritt(a.schritt);
    m.SetAnzeigeSchritt(0.1);
    m.SetAnzahlKommastellen(1);
    m.SetZusatzBeschriftung(a.zusatz);
    m.SetBeschriftung(QStringLiteral("Luftdruck (hPa)"));
    const double spanne = a.maximum - a.minimum;
    m.Bereiche().Add(clYellow, a.minimum, a.minimum + spanne / 3);
    m.Bereiche().Add(clLime, a.minimum + spanne / 3, a.minimum + 2 * spanne / 3);
    m.Bereiche().Add(clAqua, a.minimum + 2 * spanne / 3, a.maximum);
    m.Zeichne();
    int i = 0;
    for (auto _ : state) {
        m.SetPosition(a.wert + (i++ % 7) * spanne / 50);
        benchmark::DoNotOptimize(m.Bild().Image().constBits());
    }
    state.SetLabel(QStringLiteral("%1x%2").arg(a.breite).arg(a.hoehe).toStdString());
}

} // namespace

BENCHMARK(PositionMitNeuzeichnen)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    return OffscreenBenchMain(argc, argv);
}
