#pragma once

#include "Bitmap.h"
#include "ColorTypes.h"
#include "Graphics.h"

#include <QFont>
#include <QFontMetrics>
#include <QPoint>
#include <QSize>
#include <QString>
#include <memory>
#include <span>

class QPainter;
class QPainterPath;

enum TPenStyle { psSolid, psClear };
enum TBrushStyle { bsSolid, bsClear };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

// Left, top, right, bottom: the right column and the bottom row lie outside.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

inline TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }

// Drawing on a bitmap the way the instruments expect it: lines, shapes and
// bitmaps without antialiasing, so each of their pixels is exactly a pen or
// brush colour. Only the edges of glyphs are smoothed; code that reads colours
// back must not key on text. Boxes (left, top, right, bottom) exclude their
// right column and bottom row; a one-pixel line excludes its end point. Pen,
// brush and font apply to the next operation. Nothing is drawn on an empty
// bitmap.
class TCanvas {
public:
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    ~TCanvas();

    TPen Pen;
    TBrush Brush;
    TFontDesc Font;

    void MoveTo(int x, int y);
    // From the pen position to (x, y), which a one-pixel pen leaves unpainted
    // (wider pens have round ends); then the pen position is (x, y).
    void LineTo(int x, int y);
    QPoint PenPos() const { return m_penPos; }

    // Filled with the brush; outlined inside the box with the pen.
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    // The brush alone.
    void FillRect(const TRect& r);
    void Ellipse(int left, int top, int right, int bottom);
    // The part of the ellipse in the box (x1, y1)-(x2, y2) from the ray
    // through (x3, y3) counter-clockwise on the screen to the ray through
    // (x4, y4), rays taken from the box centre, closed by the two radii.
    // Equal rays give the whole ellipse.
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    // The edge of the same part, with the pen alone.
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    // Filled with the brush (alternate rule), outlined with the pen.
    void Polygon(std::span<const QPoint> points);

    // The top-left corner of the text cell at (x, y); the cell's background is
    // the brush colour when the brush is solid, untouched when it is clear.
    void TextOut(int x, int y, const QString& text);
    int TextWidth(const QString& text);
    int TextHeight(const QString& text);
    QSize TextExtent(const QString& text);

    // With its transparent colour left out when the bitmap is transparent.
    void Draw(int x, int y, const TBitmap& bitmap);
    // Scaled to the box (nearest pixel), transparency as with Draw.
    void StretchDraw(const TRect& dest, const TBitmap& bitmap);
    // Every pixel of the source box, scaled to the box dest. A source box
    // with left > right or top > bottom is taken mirrored on that axis.
    void CopyRect(const TRect& dest, const TBitmap& source, const TRect& sourceRect);

    // clNone outside the bitmap; writes outside are ignored.
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

private:
    friend class TBitmap;
    explicit TCanvas(TBitmap& owner);

    // The open painter, begun on first use; nullptr on an empty bitmap.
    QPainter* painter();
    // Ends the painter before the pixels are touched directly or replaced.
    void release();
    void applyPen(QPainter& p);
    void applyBrush(QPainter& p);
    const QFont& qfont();
    const QFontMetrics& metrics();
    void drawShape(const QPainterPath& path);
    // The ellipse of the box, shrunk by the pen's pixel when there is one.
    QRectF ellipseBox(int x1, int y1, int x2, int y2) const;
    // Copies src onto the bitmap at (x, y), leaving out the colour key.
    void blitKeyed(int x, int y, const QImage& src, TColor key);

    TBitmap& m_owner;
    std::unique_ptr<QPainter> m_painter;
    QPoint m_penPos;
    TFontDesc m_fontFor;
    std::unique_ptr<QFont> m_font;
    std::unique_ptr<QFontMetrics> m_metrics;
};
