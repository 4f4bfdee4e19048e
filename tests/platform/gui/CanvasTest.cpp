#include "Bitmap.h"
#include "Canvas.h"
#include "Exceptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The pixels of a column or row of a bitmap, as colours.
std::vector<TColor> row(TBitmap& b, int y, int x0, int x1)
{
    std::vector<TColor> r;
    for (int x = x0; x <= x1; ++x)
        r.push_back(b.Canvas().Pixel(x, y));
    return r;
}

std::vector<TColor> column(TBitmap& b, int x, int y0, int y1)
{
    std::vector<TColor> c;
    for (int y = y0; y <= y1; ++y)
        c.push_back(b.Canvas().Pixel(x, y));
    return c;
}

std::vector<TColor> times(int n, TColor c) { return std::vector<TColor>(static_cast<std::size_t>(n), c); }

} // namespace

TEST(CanvasTest, NewBitmapIsWhiteAndKeepsItsPictureWhenResized)
{
    TBitmap b(4, 3);
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Height(), 3);
    EXPECT_EQ(b.Canvas().Pixel(3, 2), clWhite);
    b.Canvas().SetPixel(1, 1, clRed);
    b.SetSize(6, 5);
    EXPECT_EQ(b.Canvas().Pixel(1, 1), clRed);
    EXPECT_EQ(b.Canvas().Pixel(5, 4), clWhite);
    EXPECT_EQ(b.Canvas().Pixel(6, 0), clNone);

    TBitmap copy(b);
    copy.Canvas().SetPixel(1, 1, clBlue);
    EXPECT_EQ(b.Canvas().Pixel(1, 1), clRed) << "a copy shares nothing visible";

    b.SetSize(0, 5);
    EXPECT_TRUE(b.Empty());
    b.Canvas().Rectangle(0, 0, 5, 5);   // nothing to draw on, nothing fails
}

TEST(CanvasTest, PieRunsCounterClockwiseFromFirstRayAndEqualRaysFillTheEllipse)
{
    TBitmap b(100, 100);
    TCanvas& c = b.Canvas();
    c.Pen.Style = psClear;
    c.Brush.Color = clRed;
    // The colours of the quarters: upper right, upper left, lower left, lower right.
    auto viertel = [&c] {
        return std::vector<TColor>{c.Pixel(75, 25), c.Pixel(25, 25), c.Pixel(25, 75), c.Pixel(75, 75)};
    };
    // From east to north: the upper right quarter.
    c.Pie(0, 0, 100, 100, 100, 50, 50, 0);
    EXPECT_EQ(viertel(), (std::vector<TColor>{clRed, clWhite, clWhite, clWhite}));
    // From north to east: the other three quarters.
    c.Brush.Color = clBlue;
    c.Pie(0, 0, 100, 100, 50, 0, 100, 50);
    EXPECT_EQ(viertel(), (std::vector<TColor>{clRed, clBlue, clBlue, clBlue}));

    // Both rays through the same point: the whole disc, nothing outside it.
    c.Brush.Color = clLime;
    c.Pie(10, 10, 90, 90, 0, 100, 0, 100);
    for (QPoint p : {QPoint(70, 30), QPoint(30, 30), QPoint(30, 70), QPoint(70, 70), QPoint(50, 50)})
        EXPECT_EQ(c.Pixel(p.x(), p.y()), clLime) << p.x() << "," << p.y();
    EXPECT_EQ(c.Pixel(20, 20), clBlue);

    // The arc is the edge alone: its inside stays.
    c.Pen = TPen{clBlack, 1, psSolid};
    c.Arc(10, 10, 90, 90, 90, 90, 10, 90);   // lower right, counter-clockwise over the top, lower left
    EXPECT_EQ(c.Pixel(50, 10), clBlack);
    EXPECT_EQ(c.Pixel(50, 89), clLime) << "the bottom gap stays open";
    EXPECT_EQ(c.Pixel(50, 50), clLime);
}

TEST(CanvasTest, RectanglesExcludeRightColumnAndBottomRow)
{
    TBitmap b(12, 12);
    TCanvas& c = b.Canvas();
    c.Brush.Color = clRed;
    c.Rectangle(2, 2, 8, 6);
    EXPECT_EQ(row(b, 2, 1, 8), (std::vector<TColor>{clWhite, clBlack, clBlack, clBlack, clBlack, clBlack, clBlack, clWhite}));
    EXPECT_EQ(column(b, 7, 1, 6), (std::vector<TColor>{clWhite, clBlack, clBlack, clBlack, clBlack, clWhite}));
    EXPECT_EQ(row(b, 4, 3, 6), times(4, clRed));

    // Without a pen the brush fills the whole box; FillRect likewise.
    c.Pen.Style = psClear;
    c.Brush.Color = clBlue;
    c.Rectangle(2, 2, 8, 6);
    EXPECT_EQ(row(b, 2, 1, 8), (std::vector<TColor>{clWhite, clBlue, clBlue, clBlue, clBlue, clBlue, clBlue, clWhite}));
    c.Brush.Color = clLime;
    c.FillRect(Rect(0, 8, 3, 10));
    EXPECT_EQ(column(b, 2, 7, 10), (std::vector<TColor>{clWhite, clLime, clLime, clWhite}));
    EXPECT_EQ(c.Pixel(3, 9), clWhite);

    // A wide pen frames inside the box; a clear brush leaves the inside.
    c.Pen = TPen{clBlack, 2, psSolid};
    c.Brush.Style = bsClear;
    c.Rectangle(4, 0, 12, 12);
    EXPECT_EQ(row(b, 4, 3, 11), (std::vector<TColor>{clBlue, clBlack, clBlack, clBlue, clBlue, clWhite, clWhite, clBlack, clBlack}));
}

TEST(CanvasTest, LineToLeavesItsEndPointUnpainted)
{
    TBitmap b(10, 10);
    TCanvas& c = b.Canvas();
    c.MoveTo(1, 1);
    c.LineTo(6, 1);
    EXPECT_EQ(row(b, 1, 0, 7), (std::vector<TColor>{clWhite, clBlack, clBlack, clBlack, clBlack, clBlack, clWhite, clWhite}));
    // The next line starts on the pixel the last one left out.
    c.LineTo(6, 5);
    EXPECT_EQ(column(b, 6, 0, 6), (std::vector<TColor>{clWhite, clBlack, clBlack, clBlack, clBlack, clWhite, clWhite}));
    EXPECT_EQ(c.PenPos(), QPoint(6, 5));

    c.Pen.Style = psClear;
    c.LineTo(1, 8);
    EXPECT_EQ(c.Pixel(4, 4), clWhite);
    EXPECT_EQ(c.PenPos(), QPoint(1, 8));
}

TEST(CanvasTest, TextOutPutsTheTopOfTheCellAtY)
{
    TBitmap b(120, 60);
    TCanvas& c = b.Canvas();
    c.Font.SetSize(14);
    c.Font.Color = clRed;
    c.Brush.Color = clBlue;
    const QString text = QStringLiteral("MMM");
    const int w = c.TextWidth(text);
    const int h = c.TextHeight(text);
    ASSERT_EQ(c.TextExtent(text), QSize(w, h));
    ASSERT_GT(w, 20);
    c.TextOut(10, 20, text);
    // The cell's top and bottom rows hold no ink of capitals: background only.
    EXPECT_EQ(row(b, 20, 10, 10 + w - 1), times(w, clBlue));
    EXPECT_EQ(row(b, 20 + h - 1, 10, 10 + w - 1), times(w, clBlue));
    EXPECT_EQ(row(b, 19, 10, 10 + w - 1), times(w, clWhite));
    EXPECT_EQ(row(b, 20 + h, 10, 10 + w - 1), times(w, clWhite));
    EXPECT_EQ(c.Pixel(9, 21), clWhite);
    EXPECT_EQ(c.Pixel(10 + w, 21), clWhite);

    // A clear brush leaves the background of the cell.
    b.SetSize(0, 0);
    b.SetSize(120, 60);
    c.Brush.Style = bsClear;
    c.TextOut(10, 20, text);
    EXPECT_EQ(row(b, 20, 10, 10 + w - 1), times(w, clWhite));
    int tinte = 0;
    for (int y = 20; y < 20 + h; ++y)
        for (int x = 10; x < 10 + w; ++x)
            tinte += c.Pixel(x, y) == clRed;
    EXPECT_GT(tinte, 3 * h) << "the glyphs are drawn in the font colour";
}

TEST(CanvasTest, TransparentDrawLeavesOutTheBottomLeftColour)
{
    TBitmap src(3, 3);
    src.Canvas().Brush.Color = clLime;
    src.Canvas().FillRect(Rect(0, 0, 3, 3));
    src.Canvas().SetPixel(1, 1, clRed);
    src.Canvas().SetPixel(2, 0, clBlue);
    src.SetTransparent(true);

    TBitmap dst(5, 5);
    dst.Canvas().Draw(1, 1, src);
    EXPECT_EQ(dst.Canvas().Pixel(2, 2), clRed);
    EXPECT_EQ(dst.Canvas().Pixel(3, 1), clBlue);
    EXPECT_EQ(dst.Canvas().Pixel(1, 1), clWhite);
    EXPECT_EQ(dst.Canvas().Pixel(1, 3), clWhite);

    // The key is read when drawn: a new bottom-left colour keys that one.
    src.Canvas().SetPixel(0, 2, clBlue);
    EXPECT_EQ(src.TransparentColor(), clBlue);
    dst.Canvas().Draw(1, 1, src);
    EXPECT_EQ(dst.Canvas().Pixel(1, 1), clLime);
    EXPECT_EQ(dst.Canvas().Pixel(3, 1), clBlue) << "left from the first draw";

    // A fixed key; half outside the target is clipped.
    src.SetTransparentColor(clLime);
    EXPECT_EQ(src.TransparentMode(), tmFixed);
    TBitmap dst2(5, 5);
    dst2.Canvas().Draw(-1, 3, src);
    EXPECT_EQ(dst2.Canvas().Pixel(0, 4), clRed);
    EXPECT_EQ(dst2.Canvas().Pixel(1, 3), clBlue);
    EXPECT_EQ(dst2.Canvas().Pixel(0, 3), clWhite);

    // Not transparent: every pixel.
    src.SetTransparent(false);
    dst2.Canvas().Draw(0, 0, src);
    EXPECT_EQ(dst2.Canvas().Pixel(0, 0), clLime);
}

TEST(CanvasTest, CopyRectMirrorsAReversedSourceBox)
{
    TBitmap src(3, 2);
    const TColor top[] = {clRed, clLime, clBlue};
    const TColor bottom[] = {clYellow, clAqua, clFuchsia};
    for (int x = 0; x < 3; ++x) {
        src.Canvas().SetPixel(x, 0, top[x]);
        src.Canvas().SetPixel(x, 1, bottom[x]);
    }
    TBitmap dst(3, 2);
    dst.Canvas().CopyRect(Rect(0, 0, 3, 2), src, Rect(0, 2, 3, 0));
    EXPECT_EQ(row(dst, 0, 0, 2), (std::vector<TColor>{clYellow, clAqua, clFuchsia}));
    EXPECT_EQ(row(dst, 1, 0, 2), (std::vector<TColor>{clRed, clLime, clBlue}));

    dst.Canvas().CopyRect(Rect(0, 0, 3, 2), src, Rect(3, 0, 0, 2));
    EXPECT_EQ(row(dst, 0, 0, 2), (std::vector<TColor>{clBlue, clLime, clRed}));
    // A reversed destination mirrors too; reversed on both sides it does not.
    dst.Canvas().CopyRect(Rect(3, 0, 0, 2), src, Rect(0, 0, 3, 2));
    EXPECT_EQ(row(dst, 0, 0, 2), (std::vector<TColor>{clBlue, clLime, clRed}));
    dst.Canvas().CopyRect(Rect(3, 0, 0, 2), src, Rect(3, 0, 0, 2));
    EXPECT_EQ(row(dst, 0, 0, 2), (std::vector<TColor>{clRed, clLime, clBlue}));

    // Onto itself, one column across, transparency ignored.
    src.SetTransparent(true);
    src.Canvas().CopyRect(Rect(1, 0, 2, 2), src, Rect(0, 0, 1, 2));
    EXPECT_EQ(row(src, 1, 0, 2), (std::vector<TColor>{clYellow, clYellow, clFuchsia}));
}

TEST(CanvasTest, ScanLinesGiveBlueGreenRedBytes)
{
    TBitmap b(3, 2);
    b.Canvas().SetPixel(1, 1, 0x00332211);   // red 11, green 22, blue 33
    TScanLine line = b.ScanLine(1);
    ASSERT_EQ(line.Width(), 3);
    const uchar* p = line.Pixel(1);
    EXPECT_EQ(p[0], 0x33);
    EXPECT_EQ(p[1], 0x22);
    EXPECT_EQ(p[2], 0x11);
    EXPECT_EQ(line.Pixel(2) - line.Pixel(1), TScanLine::BytesPerPixel);

    // Writes through the row show in the picture and survive more drawing.
    line.Blue(0) = 0;
    line.Green(0) = 0;
    line.Red(0) = 0xFF;
    b.Canvas().MoveTo(0, 0);
    b.Canvas().LineTo(2, 0);
    EXPECT_EQ(b.Canvas().Pixel(0, 1), clRed);
    EXPECT_EQ(b.Canvas().Pixel(1, 0), clBlack);

    EXPECT_THROW(b.ScanLine(2), ERangeError);
    EXPECT_THROW(b.ScanLine(-1), ERangeError);
}

TEST(CanvasTest, StretchDrawScalesToTheBoxAndHonoursTransparency)
{
    TBitmap src(2, 2);
    src.Canvas().SetPixel(0, 0, clRed);
    src.Canvas().SetPixel(1, 0, clLime);
    src.Canvas().SetPixel(0, 1, clBlue);
    src.Canvas().SetPixel(1, 1, clYellow);
    TBitmap dst(8, 6);
    dst.Canvas().StretchDraw(Rect(1, 1, 7, 5), src);
    EXPECT_EQ(row(dst, 1, 0, 7), (std::vector<TColor>{clWhite, clRed, clRed, clRed, clLime, clLime, clLime, clWhite}));
    EXPECT_EQ(column(dst, 1, 0, 5), (std::vector<TColor>{clWhite, clRed, clRed, clBlue, clBlue, clWhite}));

    src.SetTransparent(true);   // keyed on blue, the bottom-left pixel
    TBitmap dst2(8, 6);
    dst2.Canvas().StretchDraw(Rect(0, 0, 8, 6), src);
    EXPECT_EQ(dst2.Canvas().Pixel(0, 5), clWhite);
    EXPECT_EQ(dst2.Canvas().Pixel(7, 5), clYellow);
    EXPECT_EQ(dst2.Canvas().Pixel(0, 0), clRed);
}

TEST(CanvasTest, PolygonAndEllipseFillWithTheBrushInsideThePen)
{
    TBitmap b(40, 40);
    TCanvas& c = b.Canvas();
    c.Brush.Color = clRed;
    const std::vector<QPoint> tri{{2, 2}, {30, 2}, {30, 30}};
    c.Polygon(tri);
    EXPECT_EQ(c.Pixel(2, 2), clBlack);
    EXPECT_EQ(c.Pixel(25, 8), clRed);
    EXPECT_EQ(c.Pixel(8, 25), clWhite);

    c.Pen.Style = psClear;
    c.Brush.Color = clBlue;
    c.Ellipse(20, 20, 40, 40);
    EXPECT_EQ(c.Pixel(30, 30), clBlue);
    EXPECT_EQ(c.Pixel(38, 21), clWhite);

    // With a pen the outline stays inside the box too: its right column and
    // bottom row are left out.
    TBitmap e(30, 30);
    e.Canvas().Brush.Color = clLime;
    e.Canvas().Ellipse(5, 5, 25, 25);
    EXPECT_EQ(row(e, 15, 3, 6), (std::vector<TColor>{clWhite, clWhite, clBlack, clLime}));
    EXPECT_EQ(column(e, 15, 3, 6), (std::vector<TColor>{clWhite, clWhite, clBlack, clLime}));
    EXPECT_EQ(row(e, 15, 25, 26), times(2, clWhite));
    EXPECT_EQ(column(e, 15, 25, 26), times(2, clWhite));
    EXPECT_TRUE(e.Canvas().Pixel(23, 15) == clBlack || e.Canvas().Pixel(24, 15) == clBlack);
}

TEST(CanvasTest, MissingResourceRaisesGermanError)
{
    TBitmap b(2, 2);
    try {
        b.LoadFromResourceName(QStringLiteral("GIBTESNICHT"));
        FAIL() << "no error";
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Ressource GIBTESNICHT nicht gefunden"));
    }
    EXPECT_EQ(b.Width(), 2) << "the picture stays";
}
