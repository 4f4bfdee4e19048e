#include "Chart.h"
#include "SysUtils.h"

#include "support/OffscreenBenchMain.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

constexpr int kPoints = 86400;

// A day of temperatures at one second, coloured by three ranges, a few
// points in the series' own colour.
void fuelleTag(TLineSeries& series)
{
    const TDateTime tag = EncodeDate(2026, 7, 14);
    for (int i = 0; i < kPoints; ++i) {
        const double wert = 18 + 8 * std::sin(i * 2 * M_PI / kPoints) + 0.4 * std::sin(i * 0.37);
        TColor farbe = wert < 14 ? clBlue : wert < 22 ? clGreen : clRed;
        if (i % 5000 == 0)
            farbe = clTeeColor;
        series.AddXY(tag + i / 86400.0, wert, QString(), farbe);
    }
}

void richteEin(TChart& chart)
{
    chart.resize(607, 328);
    TFontDesc titel;
    titel.Bold = true;
    titel.Height = -16;
    titel.Color = clBlack;
    chart.Title().SetFont(titel);
    chart.Title().SetText({QString(), QStringLiteral("Temperatur"), QStringLiteral("°C")});
    chart.LeftAxis().SetMinMax(0, 40);
    chart.LeftAxis().SetStartPosition(3);
    chart.LeftAxis().SetEndPosition(97);
    chart.SetBackWallTransparent(true);
}

// What opening the 24-hour chart costs: a day's points in, one picture out.
void BM_Tag86400PunkteAufbauenUndZeichnen(benchmark::State& state)
{
    QImage bild(607, 328, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        TChart chart;
        richteEin(chart);
        TLineSeries* series = chart.AddLineSeries();
        fuelleTag(*series);
        QPainter p(&bild);
        chart.Draw(p, bild.rect());
        p.end();
        benchmark::DoNotOptimize(bild.constBits());
    }
}
BENCHMARK(BM_Tag86400PunkteAufbauenUndZeichnen)->Unit(benchmark::kMillisecond);

// The refresh alone: clearing and refilling the series.
void BM_Tag86400PunkteAddXY(benchmark::State& state)
{
    TChart chart;
    richteEin(chart);
    TLineSeries* series = chart.AddLineSeries();
    for (auto _ : state) {
        series->Clear();
        fuelleTag(*series);
    }
}
BENCHMARK(BM_Tag86400PunkteAddXY)->Unit(benchmark::kMillisecond);

// A repaint of a full day.
void BM_Tag86400PunkteZeichnen(benchmark::State& state)
{
    TChart chart;
    richteEin(chart);
    fuelleTag(*chart.AddLineSeries());
    QImage bild(607, 328, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&bild);
        chart.Draw(p, bild.rect());
    }
}
BENCHMARK(BM_Tag86400PunkteZeichnen)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return OffscreenBenchMain(argc, argv);
}
