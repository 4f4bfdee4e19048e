#include "Canvas.h"

#include "Bitmap.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

bool sameFont(const TFontDesc& a, const TFontDesc& b)
{
    return a.Name == b.Name && a.Height == b.Height && a.Bold == b.Bold && a.Italic == b.Italic
           && a.Underline == b.Underline && a.StrikeOut == b.StrikeOut;
}

QRgb rgbOf(TColor color)
{
    return ColorToQColor(color).rgb() & 0xFFFFFFu;
}

QRect boxOf(const TRect& r)
{
    return QRect(QPoint(std::min(r.Left, r.Right), std::min(r.Top, r.Bottom)),
                 QSize(std::abs(r.Right - r.Left), std::abs(r.Bottom - r.Top)));
}

// Angle in degrees of the point on the ellipse's edge that lies on the screen
// ray from the centre through (x, y), in the parameter form QPainterPath's
// arcs take (counter-clockwise, 0 at three o'clock).
double arcAngle(const QRectF& box, double cx, double cy, int x, int y)
{
    const double ux = x - cx;
    const double uy = -(y - cy);
    const double a = std::max(box.width(), 1.0);
    const double b = std::max(box.height(), 1.0);
    return std::atan2(uy * a, ux * b) * 180.0 / std::numbers::pi;
}

// Counter-clockwise sweep from start to end; equal rays sweep all round.
double sweep(double start, double end)
{
    constexpr double eps = 1e-7;
    double s = std::fmod(end - start, 360.0);
    if (s < 0)
        s += 360.0;
    if (s < eps || s > 360.0 - eps)
        s = 360.0;
    return s;
}

} // namespace

TCanvas::TCanvas(TBitmap& owner) : m_owner(owner) {}

TCanvas::~TCanvas() = default;

QPainter* TCanvas::painter()
{
    if (m_painter)
        return m_painter.get();
    if (m_owner.m_image.isNull())
        return nullptr;
    m_painter = std::make_unique<QPainter>(&m_owner.m_image);
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    // Unsmoothed glyphs of the substitute fonts are hard to read at 11 pixels.
    m_painter->setRenderHint(QPainter::TextAntialiasing, true);
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    return m_painter.get();
}

void TCanvas::release()
{
    m_painter.reset();
}

void TCanvas::applyPen(QPainter& p)
{
    if (Pen.Style == psClear) {
        p.setPen(Qt::NoPen);
        return;
    }
    QPen pen(ColorToQColor(Pen.Color));
    pen.setCosmetic(true);
    if (Pen.Width <= 1) {
        // Flat ends leave the end point of a line unpainted.
        pen.setWidth(1);
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
    } else {
        pen.setWidth(Pen.Width);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    }
    p.setPen(pen);
}

void TCanvas::applyBrush(QPainter& p)
{
    if (Brush.Style == bsClear)
        p.setBrush(Qt::NoBrush);
    else
        p.setBrush(ColorToQColor(Brush.Color));
}

const QFont& TCanvas::qfont()
{
    if (!m_font || !sameFont(Font, m_fontFor)) {
        m_font = std::make_unique<QFont>(ToQFont(Font));
        m_metrics = std::make_unique<QFontMetrics>(*m_font);
        m_fontFor = Font;
    }
    return *m_font;
}

const QFontMetrics& TCanvas::metrics()
{
    qfont();
    return *m_metrics;
}

void TCanvas::MoveTo(int x, int y)
{
    m_penPos = QPoint(x, y);
}

void TCanvas::LineTo(int x, int y)
{
    const QPoint from = m_penPos;
    m_penPos = QPoint(x, y);
    QPainter* p = painter();
    if (!p || Pen.Style == psClear)
        return;
    applyPen(*p);
    p->drawLine(from, m_penPos);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom)
{
    QPainter* p = painter();
    if (!p)
        return;
    const QRect box = boxOf(Rect(left, top, right, bottom));
    if (Brush.Style == bsSolid)
        p->fillRect(box, ColorToQColor(Brush.Color));
    if (Pen.Style == psSolid) {
        // The frame lies inside the box, Pen.Width pixels deep.
        const QColor c = ColorToQColor(Pen.Color);
        const int w = std::min({std::max(1, Pen.Width), box.width(), box.height()});
        p->fillRect(QRect(box.left(), box.top(), box.width(), w), c);
        p->fillRect(QRect(box.left(), box.bottom() - w + 1, box.width(), w), c);
        p->fillRect(QRect(box.left(), box.top(), w, box.height()), c);
        p->fillRect(QRect(box.right() - w + 1, box.top(), w, box.height()), c);
    }
}

void TCanvas::FillRect(const TRect& r)
{
    QPainter* p = painter();
    if (p && Brush.Style == bsSolid)
        p->fillRect(boxOf(r), ColorToQColor(Brush.Color));
}

QRectF TCanvas::ellipseBox(int x1, int y1, int x2, int y2) const
{
    const QRect box = boxOf(Rect(x1, y1, x2, y2));
    // A stroke covers one pixel more than its path to the right and below.
    const int shrink = Pen.Style == psSolid ? 1 : 0;
    return QRectF(box.left(), box.top(), std::max(0, box.width() - shrink), std::max(0, box.height() - shrink));
}

void TCanvas::drawShape(const QPainterPath& path)
{
    QPainter* p = painter();
    if (!p)
        return;
    applyPen(*p);
    applyBrush(*p);
    p->drawPath(path);
}

void TCanvas::Ellipse(int left, int top, int right, int bottom)
{
    QPainterPath path;
    path.addEllipse(ellipseBox(left, top, right, bottom));
    drawShape(path);
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    const QRectF box = ellipseBox(x1, y1, x2, y2);
    const double cx = (x1 + x2) / 2.0;
    const double cy = (y1 + y2) / 2.0;
    const double start = arcAngle(box, cx, cy, x3, y3);
    QPainterPath path;
    path.moveTo(box.center());
    path.arcTo(box, start, sweep(start, arcAngle(box, cx, cy, x4, y4)));
    path.closeSubpath();
    drawShape(path);
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    QPainter* p = painter();
    if (!p || Pen.Style == psClear)
        return;
    const QRectF box = ellipseBox(x1, y1, x2, y2);
    const double cx = (x1 + x2) / 2.0;
    const double cy = (y1 + y2) / 2.0;
    const double start = arcAngle(box, cx, cy, x3, y3);
    QPainterPath path;
    path.arcMoveTo(box, start);
    path.arcTo(box, start, sweep(start, arcAngle(box, cx, cy, x4, y4)));
    applyPen(*p);
    p->setBrush(Qt::NoBrush);
    p->drawPath(path);
}

void TCanvas::Polygon(std::span<const QPoint> points)
{
    QPainter* p = painter();
    if (!p || points.empty())
        return;
    applyPen(*p);
    applyBrush(*p);
    p->drawPolygon(points.data(), static_cast<int>(points.size()), Qt::OddEvenFill);
}

void TCanvas::TextOut(int x, int y, const QString& text)
{
    QPainter* p = painter();
    if (!p)
        return;
    const QFontMetrics& fm = metrics();
    if (Brush.Style == bsSolid)
        p->fillRect(QRect(x, y, fm.horizontalAdvance(text), fm.height()), ColorToQColor(Brush.Color));
    p->setFont(qfont());
    p->setPen(ColorToQColor(Font.Color));
    p->drawText(QPoint(x, y + fm.ascent()), text);
}

int TCanvas::TextWidth(const QString& text)
{
    return metrics().horizontalAdvance(text);
}

int TCanvas::TextHeight(const QString&)
{
    return metrics().height();
}

QSize TCanvas::TextExtent(const QString& text)
{
    return QSize(TextWidth(text), TextHeight(text));
}

void TCanvas::blitKeyed(int x, int y, const QImage& src, TColor key)
{
    release();
    QImage& dst = m_owner.m_image;
    if (dst.isNull() || src.isNull())
        return;
    const QRect area = QRect(x, y, src.width(), src.height()).intersected(dst.rect());
    if (area.isEmpty())
        return;
    const QRgb k = rgbOf(key);
    for (int row = area.top(); row <= area.bottom(); ++row) {
        const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(row - y)) + (area.left() - x);
        QRgb* d = reinterpret_cast<QRgb*>(dst.scanLine(row)) + area.left();
        for (int i = 0; i < area.width(); ++i)
            if ((s[i] & 0xFFFFFFu) != k)
                d[i] = s[i] | 0xFF000000u;
    }
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap)
{
    if (bitmap.Empty())
        return;
    if (bitmap.Transparent()) {
        QImage src = bitmap.Image();
        blitKeyed(x, y, src, bitmap.TransparentColor());
        return;
    }
    QImage src = bitmap.Image();
    if (QPainter* p = painter())
        p->drawImage(x, y, src);
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap& bitmap)
{
    const QRect box = boxOf(dest);
    if (bitmap.Empty() || box.isEmpty())
        return;
    QImage src = bitmap.Image();
    if (src.size() != box.size())
        src = src.scaled(box.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (bitmap.Transparent()) {
        blitKeyed(box.left(), box.top(), src, bitmap.TransparentColor());
        return;
    }
    if (QPainter* p = painter())
        p->drawImage(box.topLeft(), src);
}

void TCanvas::CopyRect(const TRect& dest, const TBitmap& source, const TRect& sourceRect)
{
    const QRect to = boxOf(dest);
    const QRect from = boxOf(sourceRect);
    if (source.Empty() || to.isEmpty() || from.isEmpty())
        return;
    // A reversed box on either side mirrors; reversed on both cancels out.
    const bool mirrorX = (sourceRect.Left > sourceRect.Right) != (dest.Left > dest.Right);
    const bool mirrorY = (sourceRect.Top > sourceRect.Bottom) != (dest.Top > dest.Bottom);
    QImage part = source.Image().copy(from);
    if (mirrorX || mirrorY)
        part = part.mirrored(mirrorX, mirrorY);
    if (part.size() != to.size())
        part = part.scaled(to.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (QPainter* p = painter())
        p->drawImage(to.topLeft(), part);
}

TColor TCanvas::Pixel(int x, int y) const
{
    const QImage& img = m_owner.m_image;
    if (!img.valid(x, y))
        return clNone;
    const QRgb c = img.pixel(x, y);
    return static_cast<TColor>(qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16));
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    if (!m_owner.m_image.valid(x, y))
        return;
    release();
    m_owner.m_image.setPixel(x, y, rgbOf(color) | 0xFF000000u);
}
