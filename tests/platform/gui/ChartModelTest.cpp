#include "ChartModel.h"
#include "TestSupport.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <map>
#include <random>

namespace {

// Six pixels a character, ten high: label sizes that no font changes.
TTextMeasure fixedMeasure() { return {[](const QString& s) { return 6 * static_cast<int>(s.size()); }, 10}; }
TChartMeasures fixedMeasures() { return {fixedMeasure(), fixedMeasure(), fixedMeasure()}; }

TTextMeasure fontMeasure()
{
    const QFontMetrics fm(ToQFont(TFontDesc{}));
    return {[fm](const QString& s) { return fm.horizontalAdvance(s); }, fm.height()};
}

TDateTime at(int h, int m = 0) { return EncodeDate(2026, 7, 14) + h / 24.0 + m / 1440.0; }

bool isNice(double step)
{
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    return std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 || std::fabs(mantissa - 5) < 1e-9;
}

// Labels side by side: [centre - w/2, centre + w/2] must not meet.
void expectApart(const TAxisTicks& ticks, double scale, const TTextMeasure& m)
{
    for (size_t i = 1; i < ticks.Values.size(); ++i) {
        const double distance = (ticks.Values[i] - ticks.Values[i - 1]) * scale;
        const double half = (m.Width(ticks.Texts[qsizetype(i - 1)]) + m.Width(ticks.Texts[qsizetype(i)])) / 2.0;
        EXPECT_GT(distance, half + 1) << ticks.Texts[qsizetype(i)].toStdString();
    }
}

// Vertical extent of a polyline within each strip [c, c + 1) * width.
std::map<long, std::pair<double, double>> stripExtents(const std::vector<TPlotPoint>& pts, double width)
{
    std::map<long, std::pair<double, double>> out;
    auto add = [&](double c, double y) {
        auto [it, fresh] = out.try_emplace(long(c), y, y);
        it->second.first = std::min(it->second.first, y);
        it->second.second = std::max(it->second.second, y);
    };
    for (size_t i = 1; i < pts.size(); ++i) {
        QPointF a = pts[i - 1].P / width, b = pts[i].P / width;
        if (a.x() > b.x())
            std::swap(a, b);
        if (a.x() == b.x()) {
            add(std::floor(a.x()), a.y());
            add(std::floor(a.x()), b.y());
            continue;
        }
        for (double c = std::floor(a.x()); c <= std::ceil(b.x()) - 1; ++c)
            for (double x : {std::max(a.x(), c), std::min(b.x(), c + 1)})
                add(c, a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x()));
    }
    return out;
}

// Topmost and lowest painted row of each pixel column, drawn as the chart
// draws its lines.
std::vector<std::pair<int, int>> paintedRows(const std::vector<TPlotPoint>& pts, QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(Qt::black, 1);
    pen.setCosmetic(true);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    std::vector<QPointF> line;
    for (const TPlotPoint& pt : pts)
        line.push_back(pt.P);
    p.drawPolyline(line.data(), int(line.size()));
    p.end();
    std::vector<std::pair<int, int>> rows(size_t(size.width()), {-1, -1});
    for (int x = 0; x < size.width(); ++x)
        for (int y = 0; y < size.height(); ++y)
            if (img.pixel(x, y) != qRgb(255, 255, 255)) {
                if (rows[size_t(x)].first < 0)
                    rows[size_t(x)].first = y;
                rows[size_t(x)].second = y;
            }
    return rows;
}

} // namespace

class ChartModelTest : public GermanSettings {};

TEST_F(ChartModelTest, PointsKeepXOrderAndTheirColours)
{
    TChartModel model;
    int changes = 0;
    model.SetOnChange([&] { ++changes; });
    model.MarkDrawn();
    TLineSeries* line = model.AddLineSeries();
    EXPECT_EQ(line->AddXY(at(2), 5, QString(), clBlue), 0);
    EXPECT_EQ(line->AddXY(at(1), 3, QStringLiteral("a")), 0);   // goes before
    EXPECT_EQ(line->AddXY(at(2), 7, QString(), clGreen), 2);    // after the equal X
    // Out of order onto an X already there: after the points of that X.
    EXPECT_EQ(line->AddXY(at(1), 4, QString(), TColor(0x20000000)), 1);
    EXPECT_EQ(line->AddXY(NAN, 1), -1);
    EXPECT_EQ(line->AddXY(at(3), INFINITY), -1);
    EXPECT_EQ(changes, 1);   // one redraw however many points
    EXPECT_TRUE(model.NeedsRedraw());

    ASSERT_EQ(line->Count(), 4);
    EXPECT_DOUBLE_EQ(line->Points()[0].X, at(1));
    EXPECT_EQ(line->Points()[1].Y, 4);
    EXPECT_EQ(line->Label(0), QStringLiteral("a"));
    EXPECT_EQ(line->Label(1), QString());
    // No colour and the colour value 20000000 hex both mean the series' own.
    EXPECT_EQ(line->ValueColor(0), clRed);
    EXPECT_EQ(line->ValueColor(1), clRed);
    EXPECT_EQ(line->SegmentColor(2), clBlue);   // the end point's
    EXPECT_EQ(line->SegmentColor(3), clGreen);
    line->SetSeriesColor(clLime);
    EXPECT_EQ(line->ValueColor(0), clLime);
    EXPECT_EQ(line->ValueColor(1), clLime);
    EXPECT_EQ(line->MinY(), 3);
    EXPECT_EQ(line->MaxY(), 7);
    line->Clear();
    EXPECT_EQ(line->Count(), 0);
}

TEST_F(ChartModelTest, AxesSpanTheDataOrTheirFixedLimits)
{
    TChartModel model;
    TLineSeries* line = model.AddLineSeries();
    line->AddXY(at(1), -2);
    line->AddXY(at(5), 8);
    TLineSeries* hidden = model.AddLineSeries();
    hidden->AddXY(at(0), 100);
    hidden->SetVisible(false);
    EXPECT_DOUBLE_EQ(model.LeftRange().Min, -2);
    EXPECT_DOUBLE_EQ(model.LeftRange().Max, 8);
    EXPECT_DOUBLE_EQ(model.BottomRange().Min, at(1));
    EXPECT_DOUBLE_EQ(model.BottomRange().Max, at(5));

    TChartAxis& left = model.LeftAxis();
    left.SetMinMax(0, 30);
    EXPECT_FALSE(left.Automatic());
    EXPECT_DOUBLE_EQ(model.LeftRange().Max, 30);
    left.SetMaximum(8.3);   // the minimum stays
    EXPECT_DOUBLE_EQ(model.LeftRange().Min, 0);
    EXPECT_DOUBLE_EQ(model.LeftRange().Max, 8.3);
    left.SetMinMax(NAN, 5);   // ignored
    EXPECT_DOUBLE_EQ(left.Maximum(), 8.3);
    left.SetMinMax(30, 10);
    EXPECT_DOUBLE_EQ(model.LeftRange().Min, 10);
    EXPECT_DOUBLE_EQ(model.LeftRange().Max, 30);
    left.SetAutomatic(true);
    EXPECT_DOUBLE_EQ(model.LeftRange().Max, 8);

    // Bars stand on 0 and keep half their space free at both ends.
    TChartModel bars;
    TBarSeries* b = bars.AddBarSeries();
    for (int h = 1; h <= 3; ++h)
        b->AddXY(at(h), h + 2);
    EXPECT_DOUBLE_EQ(bars.LeftRange().Min, 0);
    EXPECT_DOUBLE_EQ(bars.LeftRange().Max, 5);
    EXPECT_NEAR(bars.BottomRange().Min, at(0, 30), 1e-9);
    EXPECT_NEAR(bars.BottomRange().Max, at(3, 30), 1e-9);
}

TEST_F(ChartModelTest, EmptyRangesAreWidenedNeverDividedByZero)
{
    TChartModel model;
    const TChartLayout none = model.Layout(QSize(300, 200), fixedMeasures());
    EXPECT_DOUBLE_EQ(none.LeftRange.Min, -1);
    EXPECT_DOUBLE_EQ(none.LeftRange.Max, 1);
    EXPECT_FALSE(none.LeftTicks.Values.empty());
    // Its time axis reads forward from midnight, not "01:00 00:30 00:00 ...",
    // over the two hours an empty time axis spans.
    EXPECT_DOUBLE_EQ(none.BottomRange.Min, 0);
    EXPECT_DOUBLE_EQ(none.BottomRange.Max, 2.0 / 24);
    QStringList zeiten = none.BottomTicks.Texts;
    zeiten.removeAll(QString());
    ASSERT_GE(zeiten.size(), 2);
    EXPECT_EQ(zeiten.first(), QStringLiteral("00:00"));
    for (qsizetype i = 1; i < zeiten.size(); ++i)
        EXPECT_LT(zeiten[i - 1], zeiten[i]);

    TLineSeries* line = model.AddLineSeries();
    line->AddXY(at(12), 5);
    const TChartLayout one = model.Layout(QSize(300, 200), fixedMeasures());
    EXPECT_DOUBLE_EQ(one.LeftRange.Min, 4);
    EXPECT_DOUBLE_EQ(one.LeftRange.Max, 6);
    EXPECT_NEAR(one.BottomRange.Min, at(11), 1e-9);
    EXPECT_NEAR(one.BottomRange.Max, at(13), 1e-9);
    EXPECT_TRUE(std::isfinite(one.YToPixel(5)) && std::isfinite(one.XToPixel(at(12))));
    EXPECT_EQ(DecimatedLine(*line, one).size(), 1u);

    model.LeftAxis().SetMinMax(5, 5);   // a single range 5..5
    EXPECT_DOUBLE_EQ(model.LeftRange().Min, 4);
    EXPECT_DOUBLE_EQ(model.LeftRange().Max, 6);

    const TAxisRange huge = WidenedRange(-1e308, 1e308, false);
    EXPECT_DOUBLE_EQ(huge.Max, 1e300);
    const TAxisRange far = WidenedRange(1e12, 1e12, false);
    EXPECT_LT(far.Min, 1e12);
    EXPECT_GT(far.Max, 1e12);
    TChartAxis axis;
    const TAxisTicks ticks = ComputeTicks(axis, huge, 300 / (huge.Max - huge.Min), true, fixedMeasure());
    EXPECT_FALSE(ticks.Values.empty());
}

TEST_F(ChartModelTest, ValueLabelsTakeTheSmallestNiceStepThatFits)
{
    TChartAxis axis;
    const TTextMeasure m = fixedMeasure();   // needs 10 + 5 pixels a label
    TAxisTicks t = ComputeTicks(axis, {0, 30}, 10, true, m);
    EXPECT_DOUBLE_EQ(t.Step, 2);
    EXPECT_EQ(t.Texts.size(), 16);
    EXPECT_EQ(t.Texts.back(), QStringLiteral("30"));

    t = ComputeTicks(axis, {0, 1}, 300, true, m);
    EXPECT_DOUBLE_EQ(t.Step, 0.05);
    EXPECT_EQ(t.Texts[1], QStringLiteral("0,05"));
    EXPECT_EQ(t.Texts[2], QStringLiteral("0,10"));

    axis.SetIncrement(50);
    EXPECT_DOUBLE_EQ(ComputeTicks(axis, {27, 359}, 1, true, m).Step, 50);
    axis.SetIncrement(0);

    // Whatever the range and height: a nice step, labels apart, and the
    // next smaller nice step would crowd them.
    for (double span : {0.003, 0.7, 13.0, 332.0, 1013.0, 4.2e7})
        for (int pixels : {40, 150, 400}) {
            const TAxisTicks ticks = ComputeTicks(axis, {-span / 3, span}, pixels / (span * 4 / 3), true, m);
            ASSERT_GT(ticks.Step, 0) << span << " " << pixels;
            EXPECT_TRUE(isNice(ticks.Step));
            const double scale = pixels / (span * 4 / 3);
            EXPECT_GE(ticks.Step * scale, 15 - 1e-9);
            const double smaller = isNice(ticks.Step / 2) ? ticks.Step / 2 : ticks.Step / 2.5;
            EXPECT_LT(smaller * scale, 15);
        }
}

TEST_F(ChartModelTest, TimeLabelsAreWholeMinutesHoursOrDaysInHhNn)
{
    TChartModel model;
    TChartAxis& axis = model.BottomAxis();
    EXPECT_TRUE(axis.DateTime());
    const TTextMeasure m = fixedMeasure();   // "hh:nn" is 30 pixels, plus 8
    TAxisTicks t = ComputeTicks(axis, {at(0), at(24)}, 550.0, false, m);
    EXPECT_NEAR(t.Step, 2.0 / 24, 1e-12);
    ASSERT_EQ(t.Texts.size(), 13);
    EXPECT_EQ(t.Texts[0], QStringLiteral("00:00"));
    EXPECT_EQ(t.Texts[1], QStringLiteral("02:00"));
    EXPECT_EQ(t.Texts[12], QStringLiteral("00:00"));

    t = ComputeTicks(axis, {at(10, 2), at(10, 42)}, 550 / (40 / 1440.0), false, m);
    EXPECT_NEAR(t.Step, 5 / 1440.0, 1e-12);
    EXPECT_EQ(t.Texts[0], QStringLiteral("10:05"));

    t = ComputeTicks(axis, {at(0), at(0) + 10}, 55, false, m);
    EXPECT_DOUBLE_EQ(t.Step, 1);

    // Neighbouring labels keep three quarters of a line (8 pixels with the
    // one for rounding) between them: 37 pixels an hour are too few for
    // hourly labels, 38 are enough.
    EXPECT_NEAR(ComputeTicks(axis, {at(0), at(24)}, 37.0 * 24, false, m).Step, 2.0 / 24, 1e-12);
    EXPECT_NEAR(ComputeTicks(axis, {at(0), at(24)}, 38.0 * 24, false, m).Step, 1.0 / 24, 1e-12);

    // With a real font, at any width: steps from the list, labels apart.
    const TTextMeasure font = fontMeasure();
    const double allowed[] = {1, 2, 5, 10, 15, 30, 60, 120, 180, 360, 720, 1440, 2880, 7200};
    for (double hours : {0.5, 3.0, 24.0, 24.0 * 7})
        for (int pixels : {120, 300, 607, 1500}) {
            const double scale = pixels / (hours / 24);
            const TAxisTicks ticks = ComputeTicks(axis, {at(7, 13), at(7, 13) + hours / 24}, scale, false, font);
            ASSERT_GT(ticks.Step, 0);
            EXPECT_NE(std::find_if(std::begin(allowed), std::end(allowed),
                                   [&](double a) { return std::fabs(a / 1440 - ticks.Step) < 1e-9; }),
                      std::end(allowed))
                << ticks.Step * 1440;
            expectApart(ticks, scale, font);
        }
}

TEST_F(ChartModelTest, LayoutKeepsTitleAxesAndLabelsApart)
{
    TChartModel model;
    model.Title().SetText({QString(), QStringLiteral("Temperatur"), QStringLiteral("°C")});
    model.LeftAxis().SetMinMax(27, 359);
    model.LeftAxis().SetStartPosition(3);
    model.LeftAxis().SetEndPosition(97);
    model.AddLineSeries()->AddXY(at(0), 50);
    model.Series(0)->AddXY(at(24), 300);
    const TChartMeasures ms = fixedMeasures();
    const TChartLayout l = model.Layout(QSize(607, 328), ms);

    EXPECT_GE(l.Plot.top(), l.TitleTop + 3 * ms.Title.Height);
    EXPECT_NEAR(l.YOfMax, l.Plot.top() + 0.03 * l.Plot.height(), 1e-9);
    EXPECT_NEAR(l.YOfMin, l.Plot.top() + 0.97 * l.Plot.height(), 1e-9);
    EXPECT_NEAR(l.YToPixel(359), l.YOfMax, 1e-9);
    EXPECT_NEAR(l.XToPixel(at(24)), l.Plot.right(), 1e-9);
    EXPECT_LT(l.LeftLabelRight, l.Plot.left());
    EXPECT_GT(l.BottomLabelTop, l.Plot.bottom());
    EXPECT_LE(l.BottomLabelTop + ms.Bottom.Height, 328);
    for (qsizetype i = 0; i < l.BottomTicks.Texts.size(); ++i) {
        const double x = l.XToPixel(l.BottomTicks.Values[size_t(i)]);
        const double half = ms.Bottom.Width(l.BottomTicks.Texts[i]) / 2.0;
        EXPECT_GE(x - half, 0);
        EXPECT_LE(x + half, 607);
    }

    // A value axis below whose last label is wider than its end value: the
    // label that would run off the right edge is left out, its tick stays.
    TChartModel zahlen;
    zahlen.BottomAxis().SetDateTime(false);
    zahlen.AddLineSeries()->AddXY(0, 0);
    zahlen.Series(0)->AddXY(1, 1);
    const TChartLayout z = zahlen.Layout(QSize(900, 200), ms);
    ASSERT_FALSE(z.BottomTicks.Values.empty());
    EXPECT_EQ(z.BottomTicks.Values.back(), 1);
    EXPECT_EQ(z.BottomTicks.Texts.back(), QString());
    EXPECT_FALSE(z.BottomTicks.Texts.front().isEmpty());
}

TEST_F(ChartModelTest, BarsStandAtTheirTimes)
{
    TChartModel model;
    model.LeftAxis().SetMinMax(0, 8.3);
    TBarSeries* bars = model.AddBarSeries();
    for (int i = 0; i <= 24; ++i)   // newest first, as the rain periods come
        bars->AddXY(at(24 - i), (24 - i) % 8, QString(), i == 3 ? clBlue : clTeeColor);
    const TChartLayout l = model.Layout(QSize(607, 328), fixedMeasures());
    const std::vector<TPlotBar> rects = BarRects(*bars, l);
    ASSERT_EQ(rects.size(), 25u);
    const double hour = l.XToPixel(at(1)) - l.XToPixel(at(0));
    for (int h = 0; h <= 24; ++h) {
        const QRectF& r = rects[size_t(h)].Rect;
        EXPECT_NEAR(r.center().x(), l.XToPixel(at(h)), 1e-6);
        EXPECT_NEAR(r.width(), hour * 0.7, 1e-6);
        EXPECT_NEAR(r.bottom(), l.YToPixel(0), 1e-6);
        EXPECT_NEAR(r.top(), l.YToPixel(h % 8), 1e-6);
        EXPECT_EQ(rects[size_t(h)].Color, h == 21 ? clBlue : clRed);
    }
    EXPECT_GE(rects.front().Rect.left(), l.Plot.left());
    EXPECT_LE(rects.back().Rect.right(), l.Plot.right());

    // Unevenly spaced bars take their width from the narrowest space, and
    // the automatic axis keeps half of it free at each end.
    TChartModel uneben;
    TBarSeries* u = uneben.AddBarSeries();
    for (int h : {0, 1, 3})
        u->AddXY(at(h), 2);
    EXPECT_NEAR(uneben.BottomRange().Min, at(0) - 0.5 / 24, 1e-9);
    EXPECT_NEAR(uneben.BottomRange().Max, at(3) + 0.5 / 24, 1e-9);
    const TChartLayout ul = uneben.Layout(QSize(607, 328), fixedMeasures());
    const double stunde = ul.XToPixel(at(1)) - ul.XToPixel(at(0));
    for (const TPlotBar& b : BarRects(*u, ul))
        EXPECT_NEAR(b.Rect.width(), stunde * 0.7, 1e-6);

    // A lone bar is 70 % of half the axis wide.
    TChartModel allein;
    TBarSeries* a = allein.AddBarSeries();
    a->AddXY(at(5), 2);
    const TChartLayout al = allein.Layout(QSize(607, 328), fixedMeasures());
    ASSERT_EQ(BarRects(*a, al).size(), 1u);
    EXPECT_NEAR(BarRects(*a, al)[0].Rect.width(), (al.XOfMax - al.XOfMin) / 2 * 0.7, 1e-6);

    // Bars beyond a fixed axis end a pixel past the plot, above or below.
    TChartModel fest;
    fest.LeftAxis().SetMinMax(0, 8);
    TBarSeries* f = fest.AddBarSeries();
    f->AddXY(at(1), 20);
    f->AddXY(at(2), -3);
    const TChartLayout fl = fest.Layout(QSize(607, 328), fixedMeasures());
    const std::vector<TPlotBar> ueber = BarRects(*f, fl);
    ASSERT_EQ(ueber.size(), 2u);
    EXPECT_NEAR(ueber[0].Rect.top(), fl.Plot.top() - 1, 1e-6);
    EXPECT_NEAR(ueber[0].Rect.bottom(), fl.YToPixel(0), 1e-6);
    EXPECT_NEAR(ueber[1].Rect.top(), fl.YToPixel(0), 1e-6);
    EXPECT_NEAR(ueber[1].Rect.bottom(), fl.Plot.bottom() + 1, 1e-6);
}

TEST_F(ChartModelTest, DecimationKeepsEveryColumnsExtent)
{
    TChartModel model;
    TLineSeries* line = model.AddLineSeries();
    std::mt19937 random(7);
    std::uniform_real_distribution<double> step(-0.5, 0.5);
    const TColor colours[] = {clRed, clBlue, clTeeColor};
    double y = 15;
    for (int i = 0; i < 86400; ++i) {
        y += step(random);
        if (i == 40000)
            y += 30;   // a spike must survive
        line->AddXY(at(0) + i / 86400.0, y, QString(), colours[(i / 97) % 3]);
    }
    const TChartLayout l = model.Layout(QSize(607, 328), fixedMeasures());
    const std::vector<TPlotPoint> all = AllLinePoints(*line, l);
    const std::vector<TPlotPoint> few = DecimatedLine(*line, l);
    EXPECT_LE(few.size(), size_t(8 * (l.Plot.width() + 2)));

    // The line itself covers the same rows in every pixel column and in
    // every half column (an antialiased pen reaches half a pixel aside).
    for (double width : {1.0, 0.5}) {
        const auto exact = stripExtents(all, width);
        const auto kept = stripExtents(few, width);
        ASSERT_EQ(exact.size(), kept.size());
        for (const auto& [strip, extent] : exact) {
            EXPECT_NEAR(kept.at(strip).first, extent.first, 1e-9) << strip;
            EXPECT_NEAR(kept.at(strip).second, extent.second, 1e-9) << strip;
        }
    }

    // Drawn: the same columns, and the same extent up to the faint edge
    // pixels where one long stroke and many short ones share out coverage.
    const auto rowsAll = paintedRows(all, l.Chart.size().toSize());
    const auto rowsFew = paintedRows(few, l.Chart.size().toSize());
    int close = 0;
    for (size_t x = 0; x < rowsAll.size(); ++x) {
        ASSERT_EQ(rowsAll[x].first < 0, rowsFew[x].first < 0) << x;
        const int off = std::max(std::abs(rowsAll[x].first - rowsFew[x].first),
                                 std::abs(rowsAll[x].second - rowsFew[x].second));
        EXPECT_LE(off, 4) << x;
        close += off <= 1;
    }
    EXPECT_GE(close, int(rowsAll.size() * 95 / 100));

    // Kept in X order: the line never runs back.
    for (size_t i = 1; i < few.size(); ++i)
        ASSERT_LE(few[i - 1].P.x(), few[i].P.x()) << i;

    // Colours stay with their points.
    EXPECT_EQ(few.front().Color, clRed);
    EXPECT_EQ(few.back().Color, all.back().Color);
}
