#include "ChartModel.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

namespace {

constexpr int kPad = 6;
// Pixel coordinates stay within this distance of the chart, so a point far
// off a fixed axis can't overflow the painter.
constexpr double kFar = 1e5;

// The narrowest space between neighbouring X values; 0 for fewer than two.
double narrowestSpace(const std::vector<TChartPoint>& points)
{
    double space = 0;
    for (size_t i = 1; i < points.size(); ++i) {
        const double d = points[i].X - points[i - 1].X;
        if (d > 0 && (space == 0 || d < space))
            space = d;
    }
    return space;
}

double clampPixel(double v, double lo, double hi) { return std::clamp(v, lo - kFar, hi + kFar); }

QPointF pixelOf(const TChartPoint& p, const TChartLayout& l)
{
    return {clampPixel(l.XToPixel(p.X), l.Chart.left(), l.Chart.right()),
            clampPixel(l.YToPixel(p.Y), l.Chart.top(), l.Chart.bottom())};
}

// Pixels of the axis' start and end positions between from and to.
std::pair<double, double> positions(const TChartAxis& axis, double from, double to)
{
    const double start = std::min(axis.StartPosition(), axis.EndPosition()) / 100;
    const double end = std::max(axis.StartPosition(), axis.EndPosition()) / 100;
    return {from + (to - from) * start, from + (to - from) * end};
}

int widest(const QStringList& texts, const TTextMeasure& m)
{
    int w = 0;
    for (const QString& t : texts)
        w = std::max(w, m.Width(t));
    return w;
}

} // namespace

// --- Series ---------------------------------------------------------------

int TChartSeries::AddXY(double X, double Y, const QString& Label, TColor Color)
{
    if (!std::isfinite(X) || !std::isfinite(Y))
        return -1;
    if (m_points.empty()) {
        m_minX = m_maxX = X;
        m_minY = m_maxY = Y;
    } else {
        m_minX = std::min(m_minX, X);
        m_maxX = std::max(m_maxX, X);
        m_minY = std::min(m_minY, Y);
        m_maxY = std::max(m_maxY, Y);
    }
    size_t index = m_points.size();
    if (!m_points.empty() && X < m_points.back().X) {
        const auto at = std::upper_bound(m_points.begin(), m_points.end(), X,
                                         [](double x, const TChartPoint& p) { return x < p.X; });
        index = static_cast<size_t>(at - m_points.begin());
        m_points.insert(at, TChartPoint{X, Y, Color});
    } else {
        m_points.push_back(TChartPoint{X, Y, Color});
    }
    if (!Label.isEmpty() && m_labels.empty())
        m_labels.resize(m_points.size() - 1);
    if (!m_labels.empty())
        m_labels.insert(m_labels.begin() + static_cast<std::ptrdiff_t>(index), Label);
    Changed();
    return static_cast<int>(index);
}

void TChartSeries::Clear()
{
    m_points.clear();
    m_labels.clear();
    Changed();
}

TColor TChartSeries::ValueColor(int index) const
{
    const TColor c = m_points.at(static_cast<size_t>(index)).Color;
    return c == clTeeColor ? m_color : c;
}

QString TChartSeries::Label(int index) const
{
    return m_labels.empty() ? QString() : m_labels.at(static_cast<size_t>(index));
}

void TChartSeries::SetSeriesColor(TColor color) { Assign(m_color, color); }

void TChartSeries::SetVisible(bool value) { Assign(m_visible, value); }

// --- Title ----------------------------------------------------------------

void TChartTitle::SetText(const QStringList& lines) { Assign(m_text, lines); }

void TChartTitle::Add(const QString& line)
{
    m_text << line;
    Changed();
}

void TChartTitle::Clear()
{
    m_text.clear();
    Changed();
}

void TChartTitle::SetFont(const TFontDesc& font) { Assign(m_font, font); }

// --- Layout ---------------------------------------------------------------

double TChartLayout::XToPixel(double x) const
{
    return XOfMin + (x - BottomRange.Min) * (XOfMax - XOfMin) / (BottomRange.Max - BottomRange.Min);
}

double TChartLayout::YToPixel(double y) const
{
    return YOfMin - (y - LeftRange.Min) * (YOfMin - YOfMax) / (LeftRange.Max - LeftRange.Min);
}

// --- Model ----------------------------------------------------------------

TChartModel::TChartModel()
{
    m_title.SetOwner(this);
    m_left.SetOwner(this);
    m_bottom.SetOwner(this);
    m_bottom.SetDateTime(true);
}

template<class S>
S* TChartModel::addSeries()
{
    auto series = std::make_unique<S>();
    series->SetOwner(this);
    S* raw = series.get();
    m_series.push_back(std::move(series));
    Changed();
    return raw;
}

TLineSeries* TChartModel::AddLineSeries() { return addSeries<TLineSeries>(); }

TBarSeries* TChartModel::AddBarSeries() { return addSeries<TBarSeries>(); }

void TChartModel::SetColor(TColor color) { Assign(m_color, color); }

void TChartModel::SetBackWallColor(TColor color) { Assign(m_backWallColor, color); }

void TChartModel::SetBackWallTransparent(bool value) { Assign(m_backWallTransparent, value); }

void TChartModel::SetBevelInnerRaised(bool value) { Assign(m_bevelInnerRaised, value); }

void TChartModel::Changed()
{
    if (m_dirty)
        return;
    m_dirty = true;
    if (m_onChange)
        m_onChange();
}

TAxisRange TChartModel::rangeOf(const TChartAxis& axis, bool horizontal) const
{
    if (!axis.Automatic())
        return WidenedRange(axis.Minimum(), axis.Maximum(), axis.DateTime());
    double lo = std::numeric_limits<double>::infinity();
    double hi = -lo;
    for (const auto& s : m_series) {
        if (!s->Visible() || s->Count() == 0)
            continue;
        const bool bar = s->Kind() == TChartSeries::TKind::Bar;
        if (horizontal) {
            const double half = bar ? narrowestSpace(s->Points()) / 2 : 0;
            lo = std::min(lo, s->MinX() - half);
            hi = std::max(hi, s->MaxX() + half);
        } else {
            lo = std::min({lo, s->MinY(), bar ? 0.0 : lo});
            hi = std::max({hi, s->MaxY(), bar ? 0.0 : hi});
        }
    }
    if (lo > hi)
        lo = hi = 0;
    return WidenedRange(lo, hi, axis.DateTime());
}

TAxisRange TChartModel::LeftRange() const { return rangeOf(m_left, false); }

TAxisRange TChartModel::BottomRange() const { return rangeOf(m_bottom, true); }

TChartLayout TChartModel::Layout(QSize size, const TChartMeasures& measures) const
{
    TChartLayout l;
    const double w = std::max(1, size.width());
    const double h = std::max(1, size.height());
    l.Chart = QRectF(0, 0, w, h);
    l.LeftRange = LeftRange();
    l.BottomRange = BottomRange();

    const bool titled = std::any_of(m_title.Text().begin(), m_title.Text().end(),
                                    [](const QString& t) { return !t.isEmpty(); });
    l.TitleTop = kPad;
    l.TitleLineHeight = measures.Title.Height;
    const double titleHeight = titled ? m_title.Text().size() * l.TitleLineHeight + 4 : 0;

    // Half a label above the top and below the bottom, for the outermost labels.
    const double halfLabel = std::ceil(measures.Left.Height / 2.0);
    const double top = kPad + titleHeight + halfLabel;
    const double below = std::max<double>(TChartLayout::TickLength + 2, halfLabel + 1);
    const double bottom = std::max(top + 1, h - kPad - measures.Bottom.Height - below);
    std::tie(l.YOfMax, l.YOfMin) = positions(m_left, top, bottom);
    const double yScale = (l.YOfMin - l.YOfMax) / (l.LeftRange.Max - l.LeftRange.Min);
    l.LeftTicks = ComputeTicks(m_left, l.LeftRange, yScale, true, measures.Left);

    const double left = kPad + widest(l.LeftTicks.Texts, measures.Left) + 3 + TChartLayout::TickLength;
    const QString lastText = TickText(m_bottom, l.BottomRange.Max, 0);
    const double right = std::max(left + 1, w - kPad - std::ceil(measures.Bottom.Width(lastText) / 2.0));
    l.Plot = QRectF(left, top, right - left, bottom - top);
    l.LeftLabelRight = left - TChartLayout::TickLength - 3;
    l.BottomLabelTop = bottom + below;

    std::tie(l.XOfMin, l.XOfMax) = positions(m_bottom, left, right);
    const double xScale = (l.XOfMax - l.XOfMin) / (l.BottomRange.Max - l.BottomRange.Min);
    l.BottomTicks = ComputeTicks(m_bottom, l.BottomRange, xScale, false, measures.Bottom);
    // A label that would run off the chart is left out; its tick stays.
    for (size_t i = 0; i < l.BottomTicks.Values.size(); ++i) {
        QString& text = l.BottomTicks.Texts[static_cast<qsizetype>(i)];
        const double x = l.XToPixel(l.BottomTicks.Values[i]);
        const double half = measures.Bottom.Width(text) / 2.0;
        if (x - half < 0 || x + half > w)
            text.clear();
    }
    return l;
}

// --- What is drawn ----------------------------------------------------------

std::vector<TPlotPoint> AllLinePoints(const TChartSeries& series, const TChartLayout& layout)
{
    std::vector<TPlotPoint> out;
    out.reserve(series.Points().size());
    for (int i = 0; i < series.Count(); ++i)
        out.push_back({pixelOf(series.Points()[static_cast<size_t>(i)], layout), series.ValueColor(i)});
    return out;
}

std::vector<TPlotPoint> DecimatedLine(const TChartSeries& series, const TChartLayout& layout)
{
    const std::vector<TChartPoint>& pts = series.Points();
    const size_t n = pts.size();
    std::vector<TPlotPoint> out;
    out.reserve(std::min(n, static_cast<size_t>(8 * (layout.Chart.width() + 4))));
    // Numbered half columns.
    auto columnOf = [&](size_t i) {
        return std::floor(2 * clampPixel(layout.XToPixel(pts[i].X), layout.Chart.left(), layout.Chart.right()));
    };
    auto keepPoint = [&](size_t i) {
        out.push_back({pixelOf(pts[i], layout), series.ValueColor(static_cast<int>(i))});
    };
    size_t i = 0;
    double column = n ? columnOf(0) : 0;
    while (i < n) {
        size_t lo = i, hi = i, j = i + 1;
        double next = column;
        for (; j < n; ++j) {
            next = columnOf(j);
            if (next != column)
                break;
            if (pts[j].Y < pts[lo].Y)
                lo = j;
            if (pts[j].Y > pts[hi].Y)
                hi = j;
        }
        const size_t last = j - 1;
        size_t keep[4] = {i, std::min(lo, hi), std::max(lo, hi), last};
        size_t previous = n;
        for (size_t k : keep) {
            if (k != previous)
                keepPoint(k);
            previous = k;
        }
        i = j;
        column = next;
    }
    return out;
}

std::vector<TPlotBar> BarRects(const TChartSeries& series, const TChartLayout& layout)
{
    std::vector<TPlotBar> out;
    const std::vector<TChartPoint>& pts = series.Points();
    if (pts.empty())
        return out;
    double space = narrowestSpace(pts) * std::fabs(layout.XOfMax - layout.XOfMin)
        / (layout.BottomRange.Max - layout.BottomRange.Min);
    if (!(space > 0))
        space = std::fabs(layout.XOfMax - layout.XOfMin) / 2;
    const double width = std::max(1.0, space * TBarSeries::BarWidthPercent / 100);
    const QRectF& plot = layout.Plot;
    auto inPlot = [&](double y) { return std::clamp(y, plot.top() - 1, plot.bottom() + 1); };
    const double base = inPlot(layout.YToPixel(0));
    const auto* bars = dynamic_cast<const TBarSeries*>(&series);
    const bool gradient = bars && bars->Gradient();
    out.reserve(pts.size());
    for (size_t i = 0; i < pts.size(); ++i) {
        const double x = clampPixel(layout.XToPixel(pts[i].X), plot.left(), plot.right());
        const double y = inPlot(layout.YToPixel(pts[i].Y));
        out.push_back({QRectF(QPointF(x - width / 2, std::min(base, y)), QPointF(x + width / 2, std::max(base, y))),
                       series.ValueColor(static_cast<int>(i)), gradient});
    }
    return out;
}
