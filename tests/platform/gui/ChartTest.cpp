#include "Chart.h"
#include "Screen.h"
#include "TestSupport.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace {

TDateTime at(int h, int m = 0) { return EncodeDate(2026, 7, 14) + h / 24.0 + m / 1440.0; }

QImage render(const TChart& chart)
{
    QImage img(chart.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    chart.Draw(p, img.rect());
    return img;
}

QColor pixel(const QImage& img, QPointF p) { return img.pixelColor(p.toPoint()); }

// Two blue bars and a red line at 2 across them, on a white wall.
void fill(TChart& chart)
{
    chart.resize(400, 250);
    chart.LeftAxis().SetMinMax(0, 10);
    TBarSeries* bars = chart.AddBarSeries();
    bars->SetSeriesColor(clBlue);
    bars->AddXY(at(12), 8);
    bars->AddXY(at(14), 6, QString(), clGreen);
    TLineSeries* line = chart.AddLineSeries();
    line->AddXY(at(11), 2);
    line->AddXY(at(15), 2);
}

} // namespace

class ChartTest : public GermanSettings {};

TEST_F(ChartTest, DrawsWallBarsAndLineInTheirColours)
{
    TChart chart;
    fill(chart);
    const TChartLayout l = chart.Layout();
    const QImage img = render(chart);

    EXPECT_EQ(pixel(img, {2, 2}), ColorToQColor(clBtnFace));
    const std::vector<TPlotBar> bars = BarRects(*chart.Series(0), l);
    EXPECT_EQ(pixel(img, bars[0].Rect.center() - QPointF(0, 30)), QColor(0, 0, 255));
    EXPECT_EQ(pixel(img, bars[1].Rect.center() - QPointF(0, 30)), QColor(0, 128, 0));

    // Shaded bars: their colour at the top, paler towards the bottom.
    static_cast<TBarSeries*>(chart.Series(0))->SetGradient(true);
    const QImage shaded = render(chart);
    const QColor oben = pixel(shaded, bars[0].Rect.topLeft() + QPointF(bars[0].Rect.width() / 2, 2));
    const QColor unten = pixel(shaded, bars[0].Rect.bottomLeft() + QPointF(bars[0].Rect.width() / 2, -2));
    EXPECT_EQ(oben.blue(), 255);
    EXPECT_LT(oben.red(), 10);
    EXPECT_EQ(unten.blue(), 255);
    EXPECT_GT(unten.red(), 150);
    static_cast<TBarSeries*>(chart.Series(0))->SetGradient(false);

    // Between two grid lines, beside the bars: the wall.
    const double x = (l.XToPixel(at(12)) + l.XToPixel(at(14))) / 2;
    const double y = l.YToPixel(9.5);
    ASSERT_FALSE(bars[0].Rect.contains(x, y) || bars[1].Rect.contains(x, y));
    EXPECT_EQ(pixel(img, {x, y}), QColor(255, 255, 255));

    // The line is antialiased: its strongest pixel near 2 is red.
    const QPointF onLine(l.XToPixel(at(13)), l.YToPixel(2));
    int reddest = 0;
    for (int dy = -1; dy <= 1; ++dy) {
        const QColor c = pixel(img, onLine + QPointF(0, dy));
        if (c.green() < 100)
            reddest = std::max(reddest, c.red());
    }
    EXPECT_GE(reddest, 200);

    // A clear wall lets the chart's colour show.
    chart.SetBackWallTransparent(true);
    chart.SetColor(clYellow);
    EXPECT_EQ(pixel(render(chart), {x, y}), QColor(255, 255, 0));

    chart.SetBevelInnerRaised(true);
    const QImage bevelled = render(chart);
    EXPECT_EQ(pixel(bevelled, {40, 1}), QColor(255, 255, 255));
    EXPECT_EQ(pixel(bevelled, {40, 248}), QColor(128, 128, 128));

    // Too small for axes or labels, but no failure.
    chart.resize(3, 3);
    EXPECT_EQ(render(chart).size(), QSize(3, 3));
}

TEST_F(ChartTest, PaintsFromItsPictureAndRedrawsOnChange)
{
    TChart chart;
    fill(chart);
    const QImage grabbed = chart.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(grabbed, render(chart));
    EXPECT_FALSE(chart.Model().NeedsRedraw());
    chart.Series(1)->AddXY(at(16), 3);
    EXPECT_TRUE(chart.Model().NeedsRedraw());
    chart.Title().Add(QStringLiteral("Titel"));
    EXPECT_NE(chart.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied), grabbed);
}

TEST_F(ChartTest, MouseAndContextMenuGoToTheWindow)
{
    TChart chart;
    chart.resize(200, 100);
    std::vector<int> presses, moves;
    chart.OnMouseDown = [&](Qt::MouseButton b, int x, int y) { presses = {int(b), x, y}; };
    chart.OnMouseMove = [&](Qt::MouseButtons s, int x, int y) { moves = {int(s), x, y}; };

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 20), QPointF(110, 120), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&chart, &press);
    EXPECT_EQ(presses, (std::vector<int>{int(Qt::RightButton), 10, 20}));
    QMouseEvent move(QEvent::MouseMove, QPointF(30, 40), QPointF(130, 140), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&chart, &move);
    EXPECT_EQ(moves, (std::vector<int>{int(Qt::LeftButton), 30, 40}));

    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(10, 20), QPoint(110, 120));
    QCoreApplication::sendEvent(&chart, &request);
    EXPECT_FALSE(request.isAccepted());   // no menu: the parent may have one

    FixedScreenInfo screen(1024, 768, QPoint(300, 200));
    SetScreenInfo(&screen);
    QMenu menu;
    menu.addAction(QStringLiteral("Optionen..."));
    chart.PopupMenu = &menu;
    QContextMenuEvent again(QContextMenuEvent::Mouse, QPoint(10, 20), QPoint(110, 120));
    QCoreApplication::sendEvent(&chart, &again);
    EXPECT_TRUE(again.isAccepted());
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.pos(), QPoint(300, 200));
    menu.hide();
    SetScreenInfo(nullptr);
}
