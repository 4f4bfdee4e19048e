#pragma once

#include "ChartAxis.h"

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <functional>
#include <memory>
#include <vector>

// A point colour that stands for the series' own colour.
constexpr TColor clTeeColor = clDefault;

// Kept small: a day at one second is 86,400 of them.
struct TChartPoint {
    double X = 0;
    double Y = 0;
    TColor Color = clTeeColor;
};

// Points kept in ascending X; a point with the X of others goes after them.
class TChartSeries : public TChartPart {
public:
    enum class TKind { Line, Bar };

    TKind Kind() const { return m_kind; }

    // Returns the point's index, or -1 for a point that can't be drawn
    // (X or Y not finite), which is left out.
    int AddXY(double X, double Y, const QString& Label = {}, TColor Color = clTeeColor);
    void Clear();

    int Count() const { return static_cast<int>(m_points.size()); }
    const std::vector<TChartPoint>& Points() const { return m_points; }
    QString Label(int index) const;
    // The colour the point is drawn in: its own, or the series colour.
    TColor ValueColor(int index) const;

    TColor SeriesColor() const { return m_color; }
    void SetSeriesColor(TColor color);
    bool Visible() const { return m_visible; }
    void SetVisible(bool value);

    // Extent of the points; meaningful only while Count() > 0.
    double MinX() const { return m_minX; }
    double MaxX() const { return m_maxX; }
    double MinY() const { return m_minY; }
    double MaxY() const { return m_maxY; }

protected:
    explicit TChartSeries(TKind kind) : m_kind(kind) {}

private:
    TKind m_kind;
    std::vector<TChartPoint> m_points;
    std::vector<QString> m_labels;   // empty until a point brings a label
    TColor m_color = clRed;
    bool m_visible = true;
    double m_minX = 0, m_maxX = 0, m_minY = 0, m_maxY = 0;
};

// Points joined in X order; each segment takes its end point's colour.
class TLineSeries : public TChartSeries {
public:
    TLineSeries() : TChartSeries(TKind::Line) {}
    // Colour of the segment that ends at the point (index >= 1).
    TColor SegmentColor(int index) const { return ValueColor(index); }
};

// Bars rising from 0 at their X, each in its point's colour.
class TBarSeries : public TChartSeries {
public:
    TBarSeries() : TChartSeries(TKind::Bar) {}
    // Width of a bar in percent of the space between neighbouring bars.
    static constexpr int BarWidthPercent = 70;
    // Each bar shades from its colour at the top towards white at the bottom.
    bool Gradient() const { return m_gradient; }
    void SetGradient(bool value) { Assign(m_gradient, value); }

private:
    bool m_gradient = false;
};

class TChartTitle : public TChartPart {
public:
    const QStringList& Text() const { return m_text; }
    void SetText(const QStringList& lines);
    void Add(const QString& line);
    void Clear();
    const TFontDesc& Font() const { return m_font; }
    void SetFont(const TFontDesc& font);

private:
    QStringList m_text;
    TFontDesc m_font;
};

struct TChartMeasures {
    TTextMeasure Title;
    TTextMeasure Left;
    TTextMeasure Bottom;
};

// Where everything goes for one chart size; the painter only walks it.
struct TChartLayout {
    QRectF Chart;
    QRectF Plot;            // the back wall
    double TitleTop = 0;    // top of the first title line
    int TitleLineHeight = 0;
    TAxisRange LeftRange;
    TAxisRange BottomRange;
    TAxisTicks LeftTicks;
    TAxisTicks BottomTicks;
    // Pixel positions of each range's ends.
    double YOfMax = 0, YOfMin = 0;
    double XOfMin = 0, XOfMax = 0;
    double LeftLabelRight = 0;   // labels of the left axis end here
    double BottomLabelTop = 0;
    static constexpr int TickLength = 4;

    double XToPixel(double x) const;
    double YToPixel(double y) const;
};

// A point as drawn: pixel position and resolved colour.
struct TPlotPoint {
    QPointF P;
    TColor Color = clBlack;
};

// The chart without pixels: title, axes, series, colours, and the layout
// computed for a size. Every change marks the chart for redrawing.
class TChartModel {
public:
    TChartModel();
    TChartModel(const TChartModel&) = delete;
    TChartModel& operator=(const TChartModel&) = delete;

    TChartTitle& Title() { return m_title; }
    const TChartTitle& Title() const { return m_title; }
    TChartAxis& LeftAxis() { return m_left; }
    const TChartAxis& LeftAxis() const { return m_left; }
    TChartAxis& BottomAxis() { return m_bottom; }
    const TChartAxis& BottomAxis() const { return m_bottom; }

    TLineSeries* AddLineSeries();
    TBarSeries* AddBarSeries();
    int SeriesCount() const { return static_cast<int>(m_series.size()); }
    TChartSeries* Series(int index) const { return m_series.at(index).get(); }

    // The chart's own colour, which shows wherever nothing else is drawn.
    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    TColor BackWallColor() const { return m_backWallColor; }
    void SetBackWallColor(TColor color);
    // A clear back wall lets the chart's colour show through.
    bool BackWallTransparent() const { return m_backWallTransparent; }
    void SetBackWallTransparent(bool value);
    // A raised one-pixel bevel just inside the chart's edge.
    bool BevelInnerRaised() const { return m_bevelInnerRaised; }
    void SetBevelInnerRaised(bool value);

    // The range each axis shows: the fixed limits, or the extent of the
    // visible series (bars include 0 and half a bar's space on each side).
    TAxisRange LeftRange() const;
    TAxisRange BottomRange() const;
    TChartLayout Layout(QSize size, const TChartMeasures& measures) const;

    // Changes call the hook once until the chart is drawn again.
    void Changed();
    void SetOnChange(std::function<void()> hook) { m_onChange = std::move(hook); }
    bool NeedsRedraw() const { return m_dirty; }
    void MarkDrawn() { m_dirty = false; }

private:
    template<class S>
    S* addSeries();
    TAxisRange rangeOf(const TChartAxis& axis, bool horizontal) const;
    template<class T>
    void Assign(T& field, T value)
    {
        field = std::move(value);
        Changed();
    }

    TChartTitle m_title;
    TChartAxis m_left;
    TChartAxis m_bottom;
    std::vector<std::unique_ptr<TChartSeries>> m_series;
    TColor m_color = clBtnFace;
    TColor m_backWallColor = clWhite;
    bool m_backWallTransparent = false;
    bool m_bevelInnerRaised = false;
    std::function<void()> m_onChange;
    bool m_dirty = true;
};

// The line's points as drawn. Points that land on one half pixel column are
// cut down to the first, the lowest and the highest (in the order they came)
// and the last, so the extent of every column stays the same. Half columns,
// because an antialiased pen reaches half a pixel into the neighbours.
std::vector<TPlotPoint> DecimatedLine(const TChartSeries& series, const TChartLayout& layout);
// Every point, for comparison.
std::vector<TPlotPoint> AllLinePoints(const TChartSeries& series, const TChartLayout& layout);

struct TPlotBar {
    QRectF Rect;
    TColor Color = clBlack;
    bool Gradient = false;
};

// The bars of a series: centred on their X, BarWidthPercent of the
// narrowest space between neighbours wide, from 0 (or the plot's edge) to Y.
std::vector<TPlotBar> BarRects(const TChartSeries& series, const TChartLayout& layout);
