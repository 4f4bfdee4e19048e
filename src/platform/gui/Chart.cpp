#include "Chart.h"

#include "AppErrors.h"
#include "Screen.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace {

constexpr double kLineWidth = 1.0;

TTextMeasure measureOf(const TFontDesc& font)
{
    const QFontMetrics fm(ToQFont(font));
    return {[fm](const QString& s) { return fm.horizontalAdvance(s); }, fm.height()};
}

QPen cosmeticPen(TColor color, Qt::PenStyle style = Qt::SolidLine)
{
    QPen pen(ColorToQColor(color), 0, style);
    pen.setCosmetic(true);
    return pen;
}

void drawTextIn(QPainter& p, const TFontDesc& font, const QRectF& rect, int flags, const QString& text)
{
    p.setFont(ToQFont(font));
    p.setPen(ColorToQColor(font.Color));
    p.drawText(rect, flags | Qt::TextDontClip, text);
}

void drawBackground(QPainter& p, const TChartModel& m, const TChartLayout& l)
{
    p.fillRect(l.Chart, ColorToQColor(m.Color()));
    if (!m.BackWallTransparent())
        p.fillRect(l.Plot, ColorToQColor(m.BackWallColor()));
}

void drawBevel(QPainter& p, const TChartLayout& l)
{
    const QRect r = l.Chart.toRect().adjusted(1, 1, -1, -1);
    p.setPen(cosmeticPen(clBtnHighlight));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(cosmeticPen(clBtnShadow));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

void drawGrid(QPainter& p, const TChartLayout& l)
{
    p.setPen(cosmeticPen(clSilver, Qt::DotLine));
    for (double v : l.LeftTicks.Values) {
        const double y = std::round(l.YToPixel(v)) + 0.5;
        p.drawLine(QPointF(l.Plot.left(), y), QPointF(l.Plot.right(), y));
    }
    for (double v : l.BottomTicks.Values) {
        const double x = std::round(l.XToPixel(v)) + 0.5;
        p.drawLine(QPointF(x, l.Plot.top()), QPointF(x, l.Plot.bottom()));
    }
}

// Consecutive segments of one colour go out as one polyline.
void drawLine(QPainter& p, const std::vector<TPlotPoint>& pts)
{
    if (pts.size() < 2)
        return;
    QPen pen(Qt::black, kLineWidth);
    pen.setCosmetic(true);
    pen.setJoinStyle(Qt::RoundJoin);
    std::vector<QPointF> run;
    TColor colour = pts[1].Color;
    auto flush = [&] {
        pen.setColor(ColorToQColor(colour));
        p.setPen(pen);
        p.drawPolyline(run.data(), static_cast<int>(run.size()));
        run.clear();
    };
    for (size_t i = 1; i < pts.size(); ++i) {
        if (pts[i].Color != colour && !run.empty())
            flush();
        if (run.empty()) {
            run.push_back(pts[i - 1].P);
            colour = pts[i].Color;
        }
        run.push_back(pts[i].P);
    }
    flush();
}

void drawBars(QPainter& p, const std::vector<TPlotBar>& bars)
{
    for (const TPlotBar& bar : bars) {
        const QRect r(QPoint(static_cast<int>(std::lround(bar.Rect.left())), static_cast<int>(std::lround(bar.Rect.top()))),
                      QPoint(static_cast<int>(std::lround(bar.Rect.right())) - 1,
                             static_cast<int>(std::lround(bar.Rect.bottom())) - 1));
        const QColor c = ColorToQColor(bar.Color);
        if (bar.Gradient) {
            QLinearGradient verlauf(r.topLeft(), r.bottomLeft());
            verlauf.setColorAt(0, c);
            verlauf.setColorAt(1, QColor((c.red() + 3 * 255) / 4, (c.green() + 3 * 255) / 4, (c.blue() + 3 * 255) / 4));
            p.fillRect(r, verlauf);
        } else {
            p.fillRect(r, c);
        }
        p.setPen(QPen(c.darker(150), 0));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
}

void drawSeries(QPainter& p, const TChartModel& m, const TChartLayout& l)
{
    p.save();
    p.setClipRect(l.Plot);
    for (int i = 0; i < m.SeriesCount(); ++i) {
        const TChartSeries& s = *m.Series(i);
        if (!s.Visible())
            continue;
        if (s.Kind() == TChartSeries::TKind::Bar) {
            p.setRenderHint(QPainter::Antialiasing, false);
            drawBars(p, BarRects(s, l));
        } else {
            p.setRenderHint(QPainter::Antialiasing, true);
            drawLine(p, DecimatedLine(s, l));
        }
    }
    p.restore();
}

void drawAxes(QPainter& p, const TChartModel& m, const TChartLayout& l)
{
    const double left = std::round(l.Plot.left()) - 0.5;
    const double bottom = std::round(l.Plot.bottom()) + 0.5;
    p.setPen(cosmeticPen(m.LeftAxis().AxisColor()));
    p.drawLine(QPointF(left, l.Plot.top()), QPointF(left, bottom));
    for (double v : l.LeftTicks.Values) {
        const double y = std::round(l.YToPixel(v)) + 0.5;
        p.drawLine(QPointF(left - TChartLayout::TickLength, y), QPointF(left, y));
    }
    p.setPen(cosmeticPen(m.BottomAxis().AxisColor()));
    p.drawLine(QPointF(left, bottom), QPointF(l.Plot.right(), bottom));
    for (double v : l.BottomTicks.Values) {
        const double x = std::round(l.XToPixel(v)) + 0.5;
        p.drawLine(QPointF(x, bottom), QPointF(x, bottom + TChartLayout::TickLength));
    }
}

void drawLabels(QPainter& p, const TChartModel& m, const TChartLayout& l, const TChartMeasures& ms)
{
    for (size_t i = 0; i < l.LeftTicks.Values.size(); ++i) {
        const double y = std::round(l.YToPixel(l.LeftTicks.Values[i])) + 0.5;
        const QRectF r(0, y - ms.Left.Height / 2.0, l.LeftLabelRight, ms.Left.Height);
        drawTextIn(p, m.LeftAxis().LabelsFont(), r, Qt::AlignRight | Qt::AlignVCenter,
                   l.LeftTicks.Texts[static_cast<qsizetype>(i)]);
    }
    for (size_t i = 0; i < l.BottomTicks.Values.size(); ++i) {
        const QString& text = l.BottomTicks.Texts[static_cast<qsizetype>(i)];
        if (text.isEmpty())
            continue;
        const double x = std::round(l.XToPixel(l.BottomTicks.Values[i])) + 0.5;
        const double w = ms.Bottom.Width(text) + 2;
        drawTextIn(p, m.BottomAxis().LabelsFont(), QRectF(x - w / 2, l.BottomLabelTop, w, ms.Bottom.Height),
                   Qt::AlignHCenter | Qt::AlignTop, text);
    }
}

void drawTitle(QPainter& p, const TChartModel& m, const TChartLayout& l)
{
    const QStringList& lines = m.Title().Text();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const QRectF r(0, l.TitleTop + i * l.TitleLineHeight, l.Chart.width(), l.TitleLineHeight);
        drawTextIn(p, m.Title().Font(), r, Qt::AlignHCenter | Qt::AlignTop, lines[i]);
    }
}

} // namespace

TChart::TChart(QWidget* parent) : QWidget(parent)
{
    m_model.SetOnChange([this] { update(); });
}

TChartMeasures TChart::Measures() const
{
    return {measureOf(m_model.Title().Font()), measureOf(m_model.LeftAxis().LabelsFont()),
            measureOf(m_model.BottomAxis().LabelsFont())};
}

TChartLayout TChart::Layout() const { return m_model.Layout(size(), Measures()); }

void TChart::Draw(QPainter& painter, const QRect& rect) const
{
    const TChartMeasures measures = Measures();
    const TChartLayout l = m_model.Layout(rect.size(), measures);
    painter.save();
    painter.translate(rect.topLeft());
    painter.setClipRect(l.Chart);
    drawBackground(painter, m_model, l);
    if (m_model.BevelInnerRaised())
        drawBevel(painter, l);
    drawGrid(painter, l);
    drawSeries(painter, m_model, l);
    drawAxes(painter, m_model, l);
    drawLabels(painter, m_model, l, measures);
    drawTitle(painter, m_model, l);
    painter.restore();
}

void TChart::paintEvent(QPaintEvent*)
{
    Guarded([&] {
        const qreal ratio = devicePixelRatioF();
        const QSize pixels = size() * ratio;
        if (m_model.NeedsRedraw() || m_picture.size() != pixels) {
            m_picture = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
            m_picture.setDevicePixelRatio(ratio);
            QPainter p(&m_picture);
            Draw(p, rect());
            m_model.MarkDrawn();
        }
        QPainter(this).drawImage(0, 0, m_picture);
    });
}

void TChart::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    Guarded([&] {
        if (OnMouseDown)
            OnMouseDown(event->button(), p.x(), p.y());
    });
}

void TChart::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    Guarded([&] {
        if (OnMouseMove)
            OnMouseMove(event->buttons(), p.x(), p.y());
    });
}

void TChart::contextMenuEvent(QContextMenuEvent* event)
{
    if (!PopupMenu) {
        event->ignore();
        return;
    }
    event->accept();
    Guarded([&] { PopupMenu->popup(Screen().CursorPos()); });
}
