#pragma once

#include "Graphics.h"
#include "SysUtils.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

class TChartModel;

// Something a chart is made of; every setter tells the chart to redraw.
class TChartPart {
public:
    virtual ~TChartPart() = default;
    void SetOwner(TChartModel* owner) { m_owner = owner; }

protected:
    void Changed() const;
    template<class T>
    void Assign(T& field, T value)
    {
        field = std::move(value);
        Changed();
    }

private:
    TChartModel* m_owner = nullptr;
};

// One axis. A fixed axis keeps Minimum..Maximum; an automatic one spans
// the data. The range is laid out from StartPosition to EndPosition, in
// percent of the plot's length (from the top for a vertical axis, so its
// maximum sits at the start; from the left for a horizontal one).
class TChartAxis : public TChartPart {
public:
    bool Automatic() const { return m_automatic; }
    void SetAutomatic(bool value);
    double Minimum() const { return m_minimum; }
    double Maximum() const { return m_maximum; }
    // Both switch the axis to fixed; values that are not finite are ignored.
    void SetMinMax(double minimum, double maximum);
    void SetMinimum(double value);
    void SetMaximum(double value);
    // The smallest label step; 0 lets the labels pick any step.
    double Increment() const { return m_increment; }
    void SetIncrement(double value);

    double StartPosition() const { return m_start; }
    double EndPosition() const { return m_end; }
    void SetStartPosition(double percent);
    void SetEndPosition(double percent);

    const TFontDesc& LabelsFont() const { return m_labelsFont; }
    void SetLabelsFont(const TFontDesc& font);
    TColor AxisColor() const { return m_axisColor; }
    void SetAxisColor(TColor color);

    // Date-time axes take day counts and label them with FormatDateTime.
    bool DateTime() const { return m_dateTime; }
    void SetDateTime(bool value);
    const QString& DateTimeFormat() const { return m_dateTimeFormat; }
    void SetDateTimeFormat(const QString& format);

private:
    bool m_automatic = true;
    double m_minimum = 0;
    double m_maximum = 1;
    double m_increment = 0;
    double m_start = 0;
    double m_end = 100;
    TFontDesc m_labelsFont;
    TColor m_axisColor = clBlack;
    bool m_dateTime = false;
    QString m_dateTimeFormat = QStringLiteral("hh:nn");
};

struct TAxisRange {
    double Min = 0;
    double Max = 1;
};

// Makes a range drawable: swapped bounds are put in order, bounds beyond
// +-1e300 are clamped, and an empty range is widened around its value
// (a value axis by 1 or a millionth of the value, a time axis by an hour;
// a time axis that would then reach below day 0 runs two hours from its
// value instead, so its labels read forward).
TAxisRange WidenedRange(double lo, double hi, bool dateTime);

// How large labels are in the axis font; the chart fills it from
// QFontMetrics, tests may count characters.
struct TTextMeasure {
    std::function<int(const QString&)> Width;
    int Height = 0;
};

struct TAxisTicks {
    double Step = 0;   // 0: no labels fit
    std::vector<double> Values;
    QStringList Texts;
};

// The label text of a tick: FormatDateTime on a date-time axis, else the
// value with as many decimals as the step needs.
QString TickText(const TChartAxis& axis, double value, double step);

// The smallest nice step whose labels fit without touching: 1, 2, 5 x 10^n
// for values; 1, 2, 5, 10, 15, 30 minutes, 1, 2, 3, 6, 12 hours, then 1, 2, 5
// x 10^n days for time. pixelsPerUnit is the axis scale; a vertical axis
// stacks its labels, a horizontal one sets them side by side.
TAxisTicks ComputeTicks(const TChartAxis& axis, TAxisRange range, double pixelsPerUnit, bool vertical,
                        const TTextMeasure& measure);

// Space kept between two neighbouring labels.
int LabelGap(const TTextMeasure& measure, bool vertical);
