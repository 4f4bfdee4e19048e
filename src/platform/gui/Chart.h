#pragma once

#include "ChartModel.h"

#include <QImage>
#include <QWidget>
#include <functional>

class QMenu;
class QPainter;

// Our chart control: title lines, a value axis on the left, a date-time
// axis at the bottom, line and bar series with a colour per point. No
// legend, no zoom, no panning. The model holds everything but the pixels;
// a change redraws the off-screen picture at the next paint.
class TChart : public QWidget {
public:
    explicit TChart(QWidget* parent = nullptr);

    TChartModel& Model() { return m_model; }
    const TChartModel& Model() const { return m_model; }
    TChartTitle& Title() { return m_model.Title(); }
    TChartAxis& LeftAxis() { return m_model.LeftAxis(); }
    TChartAxis& BottomAxis() { return m_model.BottomAxis(); }
    TLineSeries* AddLineSeries() { return m_model.AddLineSeries(); }
    TBarSeries* AddBarSeries() { return m_model.AddBarSeries(); }
    int SeriesCount() const { return m_model.SeriesCount(); }
    TChartSeries* Series(int index) const { return m_model.Series(index); }

    TColor Color() const { return m_model.Color(); }
    void SetColor(TColor color) { m_model.SetColor(color); }
    void SetBackWallColor(TColor color) { m_model.SetBackWallColor(color); }
    void SetBackWallTransparent(bool value) { m_model.SetBackWallTransparent(value); }
    void SetBevelInnerRaised(bool value) { m_model.SetBevelInnerRaised(value); }

    // Text sizes in the title and label fonts.
    TChartMeasures Measures() const;
    // The layout at the control's size.
    TChartLayout Layout() const;
    // Draws the whole chart into rect, laid out for rect's size.
    void Draw(QPainter& painter, const QRect& rect) const;

    // The window's handlers for presses and moves anywhere on the chart.
    std::function<void(Qt::MouseButton Button, int X, int Y)> OnMouseDown;
    std::function<void(Qt::MouseButtons Shift, int X, int Y)> OnMouseMove;
    // Shown at the mouse cursor on a context-menu request; not owned.
    QMenu* PopupMenu = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    TChartModel m_model;
    QImage m_picture;
};
